#include "virtual_printer/virtual_printer_window.h"

#include "core/text_file.h"
#include "printer_link/status.h"
#include "ui/file_dialog.h"
#include "ui/services.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/virtual_printer.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char *const kBitNames[8] = {"", "", "", "", "ON LINE", "PAPER END", "", "BUSY"};

} // namespace

VirtualPrinterWindow::VirtualPrinterWindow(
    VirtualPrinter &printer, MessageSink &messages, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_printer(printer)
    , m_messages(messages)
    , m_model(new JournalModel(printer, this))
    , m_view(new QTableView(this))
    , m_paper(new PaperView(printer, messages, this))
{
    setObjectName(QStringLiteral("ImpressoraVirtual"));
    setWindowTitle(QStringLiteral("Impressora virtual"));

    auto *statusBox = new QGroupBox(QStringLiteral("Estado da impressora"), this);
    auto *statusRow = new QHBoxLayout(statusBox);
    for (int bit = 7; bit >= 0; --bit) {
        QString caption = QString::number(bit);
        if (*kBitNames[bit])
            caption += QLatin1Char(' ') + QString::fromLatin1(kBitNames[bit]);
        m_bits[bit] = new QCheckBox(caption, statusBox);
        m_bits[bit]->setObjectName(QStringLiteral("bit%1").arg(bit));
        m_bits[bit]->setToolTip(status_line::meaning(bit));
        statusRow->addWidget(m_bits[bit]);
        connect(m_bits[bit], &QCheckBox::toggled, this,
            [this, bit](bool on) { m_printer.setStatusBit(bit, on); });
    }
    statusRow->addStretch();

    auto *fail = new QCheckBox(QStringLiteral("Falhar comandos"), this);
    fail->setObjectName(QStringLiteral("falharComandos"));
    connect(fail, &QCheckBox::toggled, &m_printer, &VirtualPrinter::setFailCommands);

    // Usable only while the printer waits for a document (monitored authentication).
    auto *insert = new QPushButton(QStringLiteral("Inserir documento"), this);
    insert->setObjectName(QStringLiteral("inserirDocumento"));
    insert->setEnabled(m_printer.monitoring());
    connect(insert, &QPushButton::clicked, &m_printer, &VirtualPrinter::insertDocument);
    connect(&m_printer, &VirtualPrinter::monitoringChanged, insert, &QWidget::setEnabled);

    m_view->setObjectName(QStringLiteral("journal"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_view->horizontalHeader()->setDefaultSectionSize(88);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->setWordWrap(false);
    m_view->setColumnWidth(JournalModel::Commands, 320);
    m_view->setColumnWidth(
        JournalModel::Call, fontMetrics().horizontalAdvance(QStringLiteral("Estado ×000000")) + 12);
    // Once per burst of calls rather than once per call: a check print makes nine at a time.
    auto *scroll = new QTimer(this);
    scroll->setSingleShot(true);
    connect(scroll, &QTimer::timeout, m_view, &QTableView::scrollToBottom);
    connect(m_model, &QAbstractItemModel::rowsInserted, scroll, qOverload<>(&QTimer::start));

    auto *clear = new QPushButton(QStringLiteral("Limpar"), this);
    clear->setObjectName(QStringLiteral("limpar"));
    connect(clear, &QPushButton::clicked, &m_printer, &VirtualPrinter::clearJournal);
    auto *save = new QPushButton(QStringLiteral("Salvar diário..."), this);
    save->setObjectName(QStringLiteral("salvar"));
    connect(save, &QPushButton::clicked, this, &VirtualPrinterWindow::saveJournal);

    auto *open = new QPushButton(QStringLiteral("Abrir diário..."), this);
    open->setObjectName(QStringLiteral("abrir"));
    connect(open, &QPushButton::clicked, this, &VirtualPrinterWindow::openJournal);

    auto *send = new QPushButton(QStringLiteral("Enviar à impressora..."), this);
    send->setObjectName(QStringLiteral("enviar"));
    auto *sendMenu = new QMenu(send);
    QAction *sendJob = sendMenu->addAction(
        QStringLiteral("Impresso selecionado"), this, [this] { requestSend(false); });
    sendMenu->addAction(QStringLiteral("Diário inteiro"), this, [this] { requestSend(true); });
    connect(sendMenu, &QMenu::aboutToShow, sendJob,
        [this, sendJob] { sendJob->setEnabled(m_paper->currentJob() != nullptr); });
    send->setMenu(sendMenu);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(fail);
    buttons->addWidget(insert);
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(open);
    buttons->addWidget(save);
    buttons->addWidget(send);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_view);
    splitter->addWidget(m_paper);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(statusBox);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    showStatus(m_printer.status());
    connect(&m_printer, &VirtualPrinter::statusChanged, this, &VirtualPrinterWindow::showStatus);
    resize(980, 560);
}

void VirtualPrinterWindow::showStatus(uint8_t status)
{
    for (int bit = 0; bit < 8; ++bit) {
        const QSignalBlocker block(m_bits[bit]);
        m_bits[bit]->setChecked((status >> bit) & 1);
    }
}

QString VirtualPrinterWindow::saveJournalTo(const QString &path)
{
    const QString why
        = text_file::replace(path, journal_format::text(m_printer.journal()).toUtf8());
    if (!why.isEmpty())
        return QStringLiteral("Não foi possível gravar o diário em %1: %2").arg(path, why);
    return {};
}

void VirtualPrinterWindow::saveJournal()
{
    const QString path = file_dialog::saveFileName(this, QStringLiteral("Salvar diário"),
        QStringLiteral("diario.txt"), QStringLiteral("Texto (*.txt)"));
    if (path.isEmpty())
        return;
    if (const QString error = saveJournalTo(path); !error.isEmpty())
        m_messages.show(this, error);
}

QString VirtualPrinterWindow::openJournalFrom(const QString &path)
{
    journal_format::Parsed parsed = journal_format::readFile(path);
    if (!parsed.error.isEmpty())
        return parsed.error;
    m_printer.replaceJournal(std::move(parsed.entries));
    return {};
}

void VirtualPrinterWindow::openJournal()
{
    const QString path = file_dialog::openFileName(
        this, QStringLiteral("Abrir diário"), QString(), QStringLiteral("Texto (*.txt)"));
    if (path.isEmpty())
        return;
    if (const QString error = openJournalFrom(path); !error.isEmpty())
        m_messages.show(this, error);
}

void VirtualPrinterWindow::requestSend(bool wholeJournal)
{
    const PaperJob *job = m_paper->currentJob();
    if (wholeJournal)
        emit sendRequested(0, int(m_printer.journal().size()));
    else if (job)
        emit sendRequested(job->firstCall, job->lastCall - job->firstCall + 1);
}
