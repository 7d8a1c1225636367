#include "virtual_printer/paper_view.h"

#include "core/text_file.h"
#include "ui/file_dialog.h"
#include "ui/services.h"
#include "virtual_printer/paper_job_model.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

PaperView::PaperView(VirtualPrinter &printer, MessageSink &messages, QWidget *parent)
    : QWidget(parent)
    , m_printer(printer)
    , m_messages(messages)
    , m_jobs(new PaperJobModel(this))
    , m_list(new QListView(this))
    , m_picture(new QLabel(this))
    , m_scroll(new QScrollArea(this))
{
    setObjectName(QStringLiteral("papel"));
    m_list->setObjectName(QStringLiteral("trabalhos"));
    m_list->setModel(m_jobs);
    m_list->setUniformItemSizes(true);
    m_list->setMaximumHeight(fontMetrics().height() * 6);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &PaperView::scheduleRender);

    m_picture->setObjectName(QStringLiteral("figura"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setWidget(m_picture);
    m_scroll->setWidgetResizable(true);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *save = new QPushButton(QStringLiteral("Salvar imagem..."), this);
    save->setObjectName(QStringLiteral("salvarImagem"));
    connect(save, &QPushButton::clicked, this, &PaperView::saveImage);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Impresso"), this));
    layout->addWidget(m_list);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(buttons);

    connect(&m_printer, &VirtualPrinter::entryAdded, this, &PaperView::entryAdded);
    connect(&m_printer, &VirtualPrinter::journalCleared, this, &PaperView::rebuild);
    rebuild();
}

int PaperView::jobCount() const
{
    return m_jobs->rowCount();
}

void PaperView::selectJob(int row)
{
    m_list->setCurrentIndex(m_jobs->index(row));
}

const PaperJob *PaperView::currentJob() const
{
    return m_jobs->job(m_list->currentIndex().row());
}

void PaperView::entryAdded(int index)
{
    const QVector<PaperJob> jobs = m_collector.add(index, m_printer.journal().at(index));
    if (jobs.isEmpty())
        return;
    // Follow the newest job unless the operator is looking at an older one.
    const bool follow = m_list->currentIndex().row() == jobCount() - 1;
    m_jobs->append(jobs);
    if (follow)
        selectJob(jobCount() - 1);
}

void PaperView::rebuild()
{
    m_collector = JobCollector();
    QVector<PaperJob> jobs;
    const QVector<JournalEntry> &journal = m_printer.journal();
    for (int i = 0; i < journal.size(); ++i)
        jobs += m_collector.add(i, journal.at(i));
    m_jobs->reset(std::move(jobs));
    if (jobCount() > 0)
        selectJob(jobCount() - 1);
    else
        scheduleRender();
}

QImage PaperView::currentImage()
{
    renderNow();
    return m_image;
}

// Drawn when the calls stop coming, so a burst of jobs draws only the last one.
void PaperView::scheduleRender()
{
    if (m_stale)
        return;
    m_stale = true;
    QTimer::singleShot(0, this, &PaperView::renderNow);
}

void PaperView::renderNow()
{
    if (!m_stale)
        return;
    m_stale = false;
    const PaperJob *job = m_jobs->job(m_list->currentIndex().row());
    m_image = job ? paper_renderer::render(*job) : QImage();
    fitPicture();
}

// Shrunk to the width of the view; the saved picture keeps its full size.
void PaperView::fitPicture()
{
    const int width = m_scroll->viewport()->width();
    QPixmap pixmap = QPixmap::fromImage(m_image);
    if (!pixmap.isNull() && pixmap.width() > width && width > 0)
        pixmap = pixmap.scaledToWidth(width, Qt::SmoothTransformation);
    m_picture->setPixmap(pixmap);
}

void PaperView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitPicture();
}

QString PaperView::saveImageTo(const QString &path)
{
    renderNow();
    if (m_image.isNull())
        return QStringLiteral("Nada impresso para gravar em %1").arg(path);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // Written whole or not at all, as every other file of the program.
    const QString why = m_image.save(&buffer, "PNG")
        ? text_file::replace(path, png)
        : QStringLiteral("a imagem não pôde ser codificada");
    if (!why.isEmpty())
        return QStringLiteral("Não foi possível gravar %1: %2").arg(path, why);
    return {};
}

void PaperView::saveImage()
{
    const QString path = file_dialog::saveFileName(this, QStringLiteral("Salvar imagem"),
        QStringLiteral("impresso.png"), QStringLiteral("Imagem PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (const QString error = saveImageTo(path); !error.isEmpty())
        m_messages.show(this, error);
}
