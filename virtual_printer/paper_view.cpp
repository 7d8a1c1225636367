#include "virtual_printer/paper_view.h"

#include "core/text_file.h"
#include "ui/file_dialog.h"
#include "ui/services.h"
#include "virtual_printer/paper_job_model.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"

#include <QAction>
#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace {

constexpr double kZoomStep = 1.25;

QByteArray png(const PaperJob &job)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    return paper_renderer::render(job).save(&buffer, "PNG") ? out : QByteArray();
}

} // namespace

PaperView::PaperView(VirtualPrinter &printer, MessageSink &messages, QWidget *parent)
    : QWidget(parent)
    , m_printer(printer)
    , m_messages(messages)
    , m_jobs(new PaperJobModel(this))
    , m_list(new QListView(this))
    , m_picture(new QLabel(this))
    , m_scroll(new QScrollArea(this))
    , m_zoomShown(new QLabel(this))
{
    setObjectName(QStringLiteral("papel"));
    m_list->setObjectName(QStringLiteral("trabalhos"));
    m_list->setModel(m_jobs);
    m_list->setUniformItemSizes(true);
    m_list->setMaximumHeight(fontMetrics().height() * 4 + 2 * m_list->frameWidth() + 4);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &PaperView::scheduleRender);

    m_picture->setObjectName(QStringLiteral("figura"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setWidget(m_picture);
    m_scroll->setWidgetResizable(true);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->viewport()->installEventFilter(this);

    // Shortcuts for the whole window, so that they work wherever the focus is in it.
    const auto zoomAction = [this](const char *name, const QString &text, const QString &tip,
                                const QList<QKeySequence> &keys, auto slot) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(tip);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, slot);
        auto *button = new QToolButton(this);
        button->setDefaultAction(action);
        return button;
    };
    QToolButton *smaller
        = zoomAction("reduzir", QStringLiteral("−"), QStringLiteral("Reduzir (Ctrl+-)"),
            QKeySequence::keyBindings(QKeySequence::ZoomOut), [this] { zoomBy(-1); });
    QToolButton *larger = zoomAction("ampliar", QStringLiteral("+"),
        QStringLiteral("Ampliar (Ctrl++)"),
        QKeySequence::keyBindings(QKeySequence::ZoomIn) << QKeySequence(Qt::CTRL | Qt::Key_Equal),
        [this] { zoomBy(1); });
    QToolButton *fit = zoomAction("ajustar", QStringLiteral("Ajustar"),
        QStringLiteral("Ajustar à largura do painel (Ctrl+0)"),
        {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { setZoom(kFit); });
    m_zoomShown->setObjectName(QStringLiteral("zoom"));
    m_zoomShown->setToolTip(QStringLiteral("Ctrl + roda do mouse também muda o tamanho"));

    const auto jobButton = [this](const char *name, const QString &text, auto slot) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this, slot);
        m_jobButtons << button;
        return button;
    };
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(smaller);
    buttons->addWidget(larger);
    buttons->addWidget(fit);
    buttons->addWidget(m_zoomShown);
    buttons->addStretch();
    buttons->addWidget(
        jobButton("salvarImagem", QStringLiteral("Salvar imagem..."), &PaperView::saveImage));
    buttons->addWidget(
        jobButton("exportarPdf", QStringLiteral("Exportar PDF..."), &PaperView::exportPdf));
    buttons->addWidget(jobButton("imprimir", QStringLiteral("Imprimir..."), &PaperView::print));

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

QImage PaperView::currentImage() const
{
    const PaperJob *job = currentJob();
    return job ? paper_renderer::render(*job) : QImage();
}

double PaperView::pixelsPerMm() const
{
    constexpr double kPercent = paper_renderer::kPixelsPerMm / 100;
    if (m_zoom != kFit)
        return m_zoom * kPercent;
    PaperJob check;
    check.kind = PaperJob::Kind::CheckFront;
    const PaperJob *job = currentJob();
    const double widthMm = paper_renderer::pictureSizeMm(job ? *job : check).width();
    // Room is left for the vertical scroll bar, so that it coming and going never changes the
    // scale; and a pixel, for rounding up.
    const int room = m_scroll->width() - 2 * m_scroll->frameWidth()
        - m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll) - 1;
    return std::clamp(room / widthMm, kMinZoom * kPercent, kMaxZoom * kPercent);
}

void PaperView::setZoom(int percent)
{
    m_zoom = percent == kFit ? kFit : std::clamp(percent, kMinZoom, kMaxZoom);
    m_stale = false;
    scheduleRender();
}

void PaperView::zoomBy(int steps)
{
    const double now = pixelsPerMm() * 100 / paper_renderer::kPixelsPerMm;
    setZoom(qRound(now * std::pow(kZoomStep, steps)));
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
    const PaperJob *job = currentJob();
    const double ppm = pixelsPerMm();
    m_picture->setPixmap(job ? QPixmap::fromImage(paper_renderer::render(*job, ppm)) : QPixmap());
    const int percent = qRound(ppm * 100 / paper_renderer::kPixelsPerMm);
    m_zoomShown->setText(m_zoom == kFit ? QStringLiteral("ajustado (%1 %)").arg(percent)
                                        : QStringLiteral("%1 %").arg(percent));
    for (QPushButton *button : std::as_const(m_jobButtons))
        button->setEnabled(job);
}

void PaperView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_zoom == kFit)
        scheduleRender();
}

bool PaperView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (const int y = wheel->angleDelta().y())
                zoomBy(y > 0 ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString PaperView::writeCurrent(const QString &path,
    const std::function<QByteArray(const PaperJob &)> &encode, const QString &failure) const
{
    const PaperJob *job = currentJob();
    if (!job)
        return QStringLiteral("Nada impresso para gravar em %1").arg(path);
    const QByteArray bytes = encode(*job);
    // Written whole or not at all, as every other file of the program.
    const QString why = bytes.isEmpty() ? failure : text_file::replace(path, bytes);
    if (!why.isEmpty())
        return QStringLiteral("Não foi possível gravar %1: %2").arg(path, why);
    return {};
}

QString PaperView::saveImageTo(const QString &path)
{
    return writeCurrent(path, png, QStringLiteral("a imagem não pôde ser codificada"));
}

QString PaperView::exportPdfTo(const QString &path)
{
    return writeCurrent(path, paper_renderer::pdf, QStringLiteral("o PDF não pôde ser gerado"));
}

void PaperView::saveAs(const QString &caption, const QString &name, const QString &filter,
    QString (PaperView::*write)(const QString &))
{
    const QString path = file_dialog::saveFileName(this, caption, name, filter);
    if (path.isEmpty())
        return;
    if (const QString error = (this->*write)(path); !error.isEmpty())
        m_messages.show(this, error);
}

void PaperView::saveImage()
{
    saveAs(QStringLiteral("Salvar imagem"), QStringLiteral("impresso.png"),
        QStringLiteral("Imagem PNG (*.png)"), &PaperView::saveImageTo);
}

void PaperView::exportPdf()
{
    saveAs(QStringLiteral("Exportar PDF"), QStringLiteral("impresso.pdf"),
        QStringLiteral("Documento PDF (*.pdf)"), &PaperView::exportPdfTo);
}

void PaperView::print()
{
    const PaperJob *chosen = currentJob();
    if (!chosen)
        return;
    // A copy: calls may come, and the journal be cleared, while the dialog is up.
    const PaperJob job = *chosen;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(paper_renderer::heading(job));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!paper_renderer::paint(printer, job))
        m_messages.show(this,
            QStringLiteral("Não foi possível imprimir em %1: a impressora não aceitou o trabalho.")
                .arg(printer.printerName()));
}
