#include "virtual_printer/virtual_printer_window.h"

#include "app/services.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/virtual_printer.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
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
    connect(m_model, &QAbstractItemModel::rowsInserted, m_view, &QTableView::scrollToBottom);

    auto *clear = new QPushButton(QStringLiteral("Limpar"), this);
    clear->setObjectName(QStringLiteral("limpar"));
    connect(clear, &QPushButton::clicked, &m_printer, &VirtualPrinter::clearJournal);
    auto *save = new QPushButton(QStringLiteral("Salvar diário..."), this);
    save->setObjectName(QStringLiteral("salvar"));
    connect(save, &QPushButton::clicked, this, &VirtualPrinterWindow::saveJournal);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(fail);
    buttons->addWidget(insert);
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(save);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(statusBox);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);

    showStatus(m_printer.status());
    connect(&m_printer, &VirtualPrinter::statusChanged, this, &VirtualPrinterWindow::showStatus);
    resize(760, 420);
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(journal_format::text(m_printer.journal()).toUtf8()) < 0 || !file.commit()) {
        return QStringLiteral("Não foi possível gravar o diário em %1: %2")
            .arg(path, file.errorString());
    }
    return {};
}

void VirtualPrinterWindow::saveJournal()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar diário"),
        QStringLiteral("diario.txt"), QStringLiteral("Texto (*.txt)"));
    if (path.isEmpty())
        return;
    if (const QString error = saveJournalTo(path); !error.isEmpty())
        m_messages.show(this, error);
}
