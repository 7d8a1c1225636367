#include "virtual_printer/virtual_printer_window.h"

#include "core/text_file.h"
#include "printer_link/status.h"
#include "ui/file_dialog.h"
#include "ui/services.h"
#include "virtual_printer/bytes_view.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/virtual_printer.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
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
    VirtualPrinter &printer, MessageSink &messages, Question &question, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_printer(printer)
    , m_messages(messages)
    , m_question(question)
    , m_model(new JournalModel(printer, this))
    , m_view(new QTableView(this))
    , m_paper(new PaperView(printer, messages, this))
    , m_bytes(new BytesView(this))
    , m_panes(new QSplitter(Qt::Vertical, this))
{
    setObjectName(QStringLiteral("ImpressoraVirtual"));
    setWindowTitle(QStringLiteral("Impressora virtual"));

    auto *statusBox = new QGroupBox(QStringLiteral("Estado da impressora"), this);
    auto *statusRow = new QHBoxLayout;
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

    auto *fail = new QCheckBox(QStringLiteral("Falhar comandos"), statusBox);
    fail->setObjectName(QStringLiteral("falharComandos"));
    connect(fail, &QCheckBox::toggled, &m_printer, &VirtualPrinter::setFailCommands);

    // Usable only while the printer waits for a document (monitored authentication).
    auto *insert = new QPushButton(QStringLiteral("Inserir documento"), statusBox);
    insert->setObjectName(QStringLiteral("inserirDocumento"));
    insert->setEnabled(m_printer.monitoring());
    connect(insert, &QPushButton::clicked, &m_printer, &VirtualPrinter::insertDocument);
    connect(&m_printer, &VirtualPrinter::monitoringChanged, insert, &QWidget::setEnabled);

    auto *behaviourRow = new QHBoxLayout;
    behaviourRow->addWidget(fail);
    behaviourRow->addWidget(insert);
    behaviourRow->addStretch();
    auto *statusLayout = new QVBoxLayout(statusBox);
    statusLayout->addLayout(statusRow);
    statusLayout->addLayout(behaviourRow);

    m_view->setObjectName(QStringLiteral("journal"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_view->setWordWrap(false);
    // The short columns as wide as their widest text, the long ones sharing what is left: no
    // scrolling sideways. The bytes in full are in the pane below.
    QHeaderView *header = m_view->horizontalHeader();
    // Titles in bold for the chosen row would no longer fit their columns; on a small screen
    // they are shortened rather than cut at both ends.
    header->setHighlightSections(false);
    header->setTextElideMode(Qt::ElideRight);
    const std::pair<int, const char *> shortColumns[] = {{JournalModel::Time, "00:00:00.000"},
        {JournalModel::Call, "Estado ×000000"}, {JournalModel::Port, "LPT1"},
        {JournalModel::Count, "0000000"}, {JournalModel::Result, "-1"}};
    for (const auto &[column, widest] : shortColumns)
        m_view->setColumnWidth(column, columnWidth(column, widest));
    // Stretched alike, they cut "Hexadecimal" short on a 1024×768 screen once a scroll bar came.
    m_view->viewport()->installEventFilter(this);
    // Once per burst of calls rather than once per call: a check print makes nine at a time.
    auto *scroll = new QTimer(this);
    scroll->setSingleShot(true);
    connect(scroll, &QTimer::timeout, m_view, &QTableView::scrollToBottom);
    connect(m_model, &QAbstractItemModel::rowsInserted, scroll, qOverload<>(&QTimer::start));

    m_bytes->setObjectName(QStringLiteral("bytesDaChamada"));
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, m_bytes,
        [this](const QModelIndex &current) {
            m_bytes->setBytes(current.data(JournalModel::BytesRole).toByteArray());
        });
    connect(m_model, &QAbstractItemModel::modelReset, m_bytes, [this] { m_bytes->setBytes({}); });

    connect(&m_printer, &VirtualPrinter::entryChanged, this,
        [this](int index) { m_savedUpTo = std::min<qsizetype>(m_savedUpTo, index); });
    connect(&m_printer, &VirtualPrinter::journalCleared, this,
        [this] { m_savedUpTo = m_printer.journal().size(); });

    auto *clear = new QPushButton(QStringLiteral("Limpar"), this);
    clear->setObjectName(QStringLiteral("limpar"));
    connect(clear, &QPushButton::clicked, this, &VirtualPrinterWindow::clearJournal);
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
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(open);
    buttons->addWidget(save);
    buttons->addWidget(send);

    // The paper first and largest: it is what the window is for.
    m_panes->setObjectName(QStringLiteral("paineis"));
    m_panes->addWidget(m_paper);
    m_panes->addWidget(m_view);
    m_panes->addWidget(m_bytes);
    m_panes->setChildrenCollapsible(false);
    // What the window gains or loses once shown goes to the paper.
    m_panes->setStretchFactor(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(statusBox);
    layout->addWidget(m_panes, 1);
    layout->addLayout(buttons);

    showStatus(m_printer.status());
    connect(&m_printer, &VirtualPrinter::statusChanged, this, &VirtualPrinterWindow::showStatus);
    resize(kDefaultSize);
}

int VirtualPrinterWindow::columnWidth(int column, const char *widest) const
{
    const QString title = m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return std::max(fontMetrics().horizontalAdvance(QString::fromUtf8(widest)),
               fontMetrics().horizontalAdvance(title))
        + 10;
}

void VirtualPrinterWindow::shareLongColumns()
{
    constexpr int kLong[] = {JournalModel::Commands, JournalModel::Hex, JournalModel::Text};
    QHeaderView *header = m_view->horizontalHeader();
    int spare = m_view->viewport()->width();
    for (int column = 0; column < header->count(); ++column)
        spare -= header->sectionSize(column);
    for (const int column : kLong)
        spare += header->sectionSize(column) - columnWidth(column, "");
    spare = std::max(spare, 0);
    for (size_t i = 0; i < std::size(kLong); ++i) {
        const int share
            = spare / int(std::size(kLong)) + (i == 0 ? spare % int(std::size(kLong)) : 0);
        header->resizeSection(kLong[i], columnWidth(kLong[i], "") + share);
    }
}

bool VirtualPrinterWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        shareLongColumns();
    return QWidget::eventFilter(watched, event);
}

void VirtualPrinterWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_panesArranged)
        return;
    m_panesArranged = true;
    // The journal shows seven calls and the bytes five rows, unless the screen is so low that
    // the paper would be left less than two thirds.
    layout()->activate();
    const int total = m_panes->height() - 2 * m_panes->handleWidth();
    const int row = m_view->verticalHeader()->defaultSectionSize();
    const int journal = std::min(8 * row + 2 * m_view->frameWidth(), total * 2 / 9);
    const int bytes = std::min(
        5 * QFontMetrics(QFontDatabase::systemFont(QFontDatabase::FixedFont)).lineSpacing() + row,
        total / 9);
    m_panes->setSizes({total - journal - bytes, journal, bytes});
}

ViewerLayout VirtualPrinterWindow::viewerLayout() const
{
    return {m_panes->sizes(), m_paper->zoom()};
}

void VirtualPrinterWindow::setViewerLayout(const ViewerLayout &layout)
{
    const QList<int> &panes = layout.panes;
    const bool usable = panes.size() == m_panes->count()
        && std::all_of(panes.begin(), panes.end(), [](int size) { return size > 0; });
    if (usable) {
        m_panes->setSizes(panes);
        m_panesArranged = true;
    }
    m_paper->setZoom(layout.zoom);
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
    m_savedUpTo = m_printer.journal().size();
    return {};
}

bool VirtualPrinterWindow::mayDrop(const QString &then)
{
    if (m_printer.journal().size() <= m_savedUpTo)
        return true;
    return m_question.ask(this,
        QStringLiteral("O diário tem chamadas que não foram salvas. Descartá-las e %1?").arg(then));
}

void VirtualPrinterWindow::clearJournal()
{
    if (mayDrop(QStringLiteral("limpar o diário")))
        m_printer.clearJournal();
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
    if (!mayDrop(QStringLiteral("abrir outro diário")))
        return;
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
