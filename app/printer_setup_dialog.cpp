#include "app/printer_setup_dialog.h"

#include "app/main_commands.h"
#include "core/logging.h"
#include "printer_link/port_diagnosis.h"
#include "ui/file_dialog.h"
#include "ui/services.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using settings::Key;
using Printer = PrinterSettings::Printer;
using Kind = PortDevice::Kind;

const struct
{
    Printer printer;
    const char *caption;
} kPrinters[] = {
    {Printer::Virtual, "Impressora virtual"},
    {Printer::Ports, "Portas do computador"},
    {Printer::Library, "Biblioteca da impressora"},
};

const struct
{
    SerialFlow flow;
    const char *caption;
} kFlows[] = {
    {SerialFlow::None, "Nenhum"},
    {SerialFlow::Hardware, "Por hardware (RTS/CTS)"},
    {SerialFlow::Software, "Por software (XON/XOFF)"},
};

constexpr int kSpeeds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// Typing a path is checked once the typing pauses, not at every key.
constexpr int kRecheckMs = 300;

// The field a key is typed in, for the message about a value that cannot be used.
QString caption(Key key)
{
    switch (key) {
    case Key::Library:
        return QStringLiteral("Biblioteca");
    case Key::SerialSpeed:
        return QStringLiteral("Velocidade");
    case Key::WriteTimeout:
        return QStringLiteral("Tempo máximo de envio");
    default:
        return settings::name(key).toUpper();
    }
}

} // namespace

PrinterSetupDialog::PrinterSetupDialog(
    const PrinterSettings &current, Context context, QWidget *parent)
    : QDialog(parent)
    , m_current(current)
    , m_chosen(current)
    , m_context(std::move(context))
    , m_library(new QLineEdit(this))
    , m_libraryRow(new QWidget(this))
    , m_portsBox(new QGroupBox(QStringLiteral("Portas do computador"), this))
    , m_portGrid(new QGridLayout)
    , m_speed(new QComboBox(this))
    , m_flow(new QComboBox(this))
    , m_timeout(new QLineEdit(this))
    , m_recheck(new QTimer(this))
{
    setObjectName(QStringLiteral("ConfiguracaoImpressora"));
    setWindowTitle(QStringLiteral("Configuração da impressora"));
    setLocale(m_context.locale);

    auto *printerBox = new QGroupBox(QStringLiteral("Impressora"), this);
    auto *printerColumn = new QVBoxLayout(printerBox);
    for (int i = 0; i < std::ssize(kPrinters); ++i) {
        m_printers[i] = new QRadioButton(QString::fromUtf8(kPrinters[i].caption), printerBox);
        m_printers[i]->setObjectName(settings::printerName(kPrinters[i].printer));
        m_printers[i]->setChecked(kPrinters[i].printer == current.printer);
        printerColumn->addWidget(m_printers[i]);
        connect(m_printers[i], &QRadioButton::toggled, this, &PrinterSetupDialog::followPrinter);
    }
    auto *libraryLine = new QHBoxLayout(m_libraryRow);
    libraryLine->setContentsMargins(24, 0, 0, 0);
    m_library->setObjectName(QStringLiteral("library"));
    m_library->setText(current.libraryPath);
    m_library->setPlaceholderText(
        QStringLiteral("libVorel_Dll.so ao lado do programa ou nas bibliotecas do sistema"));
    auto *browse = new QPushButton(QStringLiteral("Procurar..."), m_libraryRow);
    connect(browse, &QPushButton::clicked, this, &PrinterSetupDialog::chooseLibrary);
    libraryLine->addWidget(m_library, 1);
    libraryLine->addWidget(browse);
    printerColumn->addWidget(m_libraryRow);

    auto *portsColumn = new QVBoxLayout(m_portsBox);
    m_portGrid->setColumnStretch(1, 1);
    portsColumn->addLayout(m_portGrid);
    using namespace port_code;
    addPortRow({kLpt1, Key::Lpt1, Kind::Parallel});
    addPortRow({kLpt2, Key::Lpt2, Kind::Parallel});
    addPortRow({kCom1, Key::Com1, Kind::Serial});
    addPortRow({kCom2, Key::Com2, Kind::Serial});
    auto *rescan = new QPushButton(QStringLiteral("Procurar dispositivos de novo"), m_portsBox);
    rescan->setObjectName(QStringLiteral("rescan"));
    connect(rescan, &QPushButton::clicked, this, &PrinterSetupDialog::discover);
    m_portGrid->addWidget(rescan, int(m_rows.size()) * 2, 1, Qt::AlignLeft);

    auto *line = new QFormLayout;
    line->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_speed->setObjectName(settings::name(Key::SerialSpeed));
    m_speed->setEditable(true);
    m_speed->setInsertPolicy(QComboBox::NoInsert);
    for (int bps : kSpeeds)
        m_speed->addItem(QString::number(bps));
    m_speed->setEditText(settings::text(current, Key::SerialSpeed));
    m_flow->setObjectName(settings::name(Key::SerialFlow));
    for (const auto &flow : kFlows) {
        m_flow->addItem(QString::fromUtf8(flow.caption), port_settings::flowName(flow.flow));
        if (flow.flow == current.ports.serialFlow)
            m_flow->setCurrentIndex(m_flow->count() - 1);
    }
    m_timeout->setObjectName(settings::name(Key::WriteTimeout));
    QLocale seconds = m_context.locale;
    seconds.setNumberOptions(QLocale::OmitGroupSeparator);
    m_timeout->setText(
        seconds.toString(double(current.ports.writeTimeout.count()) / 1000.0, 'g', 10));
    auto *timeoutRow = new QHBoxLayout;
    timeoutRow->addWidget(m_timeout);
    timeoutRow->addWidget(new QLabel(QStringLiteral("segundos (de 0,001 a 3600)"), m_portsBox));
    timeoutRow->addStretch();
    m_timeout->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000,0000")));
    line->addRow(QStringLiteral("Velocidade das portas seriais (bps):"), m_speed);
    line->addRow(QStringLiteral("Controle de fluxo das portas seriais:"), m_flow);
    line->addRow(QStringLiteral("Tempo máximo de um envio:"), timeoutRow);
    portsColumn->addLayout(line);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PrinterSetupDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrinterSetupDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addWidget(printerBox);
    column->addWidget(m_portsBox);
    if (!m_context.note.isEmpty()) {
        auto *note = new QLabel(m_context.note, this);
        note->setWordWrap(true);
        column->addWidget(note);
    }
    column->addWidget(buttons);

    m_recheck->setSingleShot(true);
    m_recheck->setInterval(kRecheckMs);
    connect(m_recheck, &QTimer::timeout, this, &PrinterSetupDialog::diagnose);
    followPrinter();
    discover();
    for (QRadioButton *choice : m_printers) {
        if (choice->isChecked())
            choice->setFocus();
    }
}

void PrinterSetupDialog::addPortRow(PortRow row)
{
    const int at = int(m_rows.size()) * 2;
    const QString name = settings::name(row.key);
    row.device = new QComboBox(m_portsBox);
    row.device->setObjectName(name + QStringLiteral("Device"));
    row.device->setEditable(true);
    row.device->setInsertPolicy(QComboBox::NoInsert);
    row.device->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row.device->setMinimumContentsLength(36);
    row.device->setEditText(settings::text(m_current, row.key));
    row.state = new QLabel(m_portsBox);
    row.state->setObjectName(name + QStringLiteral("State"));
    row.state->setWordWrap(true);
    row.state->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    row.state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *test = new QPushButton(QStringLiteral("Testar"), m_portsBox);
    test->setObjectName(name + QStringLiteral("Test"));
    auto *send = new QPushButton(QStringLiteral("Enviar linha de teste"), m_portsBox);
    send->setObjectName(name + QStringLiteral("Send"));

    auto *label = new QLabel(caption(row.key), m_portsBox);
    label->setBuddy(row.device);
    m_portGrid->addWidget(label, at, 0);
    m_portGrid->addWidget(row.device, at, 1);
    m_portGrid->addWidget(test, at, 2);
    m_portGrid->addWidget(send, at, 3);
    m_portGrid->addWidget(row.state, at + 1, 1, 1, 3);

    const int index = int(m_rows.size());
    m_rows.append(row);
    connect(row.device, &QComboBox::currentTextChanged, m_recheck, qOverload<>(&QTimer::start));
    connect(test, &QPushButton::clicked, this, [this, index] { this->test(m_rows.at(index)); });
    connect(send, &QPushButton::clicked, this, [this, index] { sendTestLine(m_rows.at(index)); });
}

void PrinterSetupDialog::discover()
{
    if (m_context.releasePorts)
        m_context.releasePorts();
    const QList<port_discovery::Found> serial
        = port_discovery::serialPorts(m_context.serialPorts());
    const QList<port_discovery::Found> parallel = port_discovery::parallelPorts();
    for (PortRow &row : m_rows) {
        const QString path = devicePath(row);
        row.checked.reset();
        const QSignalBlocker quiet(row.device);
        row.device->clear();
        for (const port_discovery::Found &found : row.kind == Kind::Serial ? serial : parallel) {
            row.device->addItem(found.label, found.path);
            row.device->setItemData(row.device->count() - 1, found.diagnosis.text, Qt::ToolTipRole);
        }
        const int known = row.device->findData(path);
        row.device->setCurrentIndex(known);
        if (known < 0)
            row.device->setEditText(path);
    }
    diagnose();
}

void PrinterSetupDialog::diagnose()
{
    m_recheck->stop();
    if (m_context.releasePorts)
        m_context.releasePorts();
    for (PortRow &row : m_rows) {
        if (const QString path = devicePath(row); path != row.checked) {
            const port_diagnosis::Diagnosis found = port_diagnosis::diagnose(row.kind, path);
            showOutcome(row, found.usable(), found.text);
            row.checked = path;
        }
    }
}

void PrinterSetupDialog::test(const PortRow &row)
{
    m_recheck->stop();
    if (m_context.releasePorts)
        m_context.releasePorts();
    const port_diagnosis::PortTest result = port_diagnosis::testPort(ports(), row.code);
    qCInfo(lcPrinter).noquote() << "Testar" << port_code::name(row.code) << "->" << result.text;
    showOutcome(row, result.ok, result.text);
}

void PrinterSetupDialog::sendTestLine(const PortRow &row)
{
    m_recheck->stop();
    if (m_context.releasePorts)
        m_context.releasePorts();
    const port_diagnosis::PortTest result
        = port_diagnosis::sendTest(ports(), row.code, main_commands::testLine(m_context.testLine));
    qCInfo(lcPrinter).noquote() << "Enviar linha de teste" << port_code::name(row.code) << "->"
                                << result.text;
    showOutcome(row, result.ok, result.text);
}

void PrinterSetupDialog::showOutcome(const PortRow &row, bool ok, const QString &text)
{
    row.state->setText(text);
    QPalette palette = row.state->palette();
    palette.setColor(
        QPalette::WindowText, ok ? QColor(0x1b, 0x6e, 0x2c) : QColor(0xa8, 0x1c, 0x1c));
    row.state->setPalette(palette);
    // Room for two lines from the start, and the dialog grows rather than cut a longer text.
    const int twoLines = 2 * row.state->fontMetrics().lineSpacing();
    row.state->setMinimumHeight(
        qMax(twoLines, isVisible() ? row.state->heightForWidth(row.state->width()) : 0));
}

void PrinterSetupDialog::chooseLibrary()
{
    const QString start
        = m_library->text().isEmpty() ? QString() : QFileInfo(m_library->text()).absolutePath();
    const QString path = file_dialog::openFileName(this, QStringLiteral("Biblioteca da impressora"),
        start, QStringLiteral("Bibliotecas (*.so *.so.*);;Todos os arquivos (*)"));
    if (!path.isEmpty())
        m_library->setText(path);
}

void PrinterSetupDialog::followPrinter()
{
    m_libraryRow->setEnabled(isChosen(Printer::Library));
    m_portsBox->setEnabled(isChosen(Printer::Ports));
}

bool PrinterSetupDialog::isChosen(Printer printer) const
{
    for (int i = 0; i < std::ssize(kPrinters); ++i) {
        if (kPrinters[i].printer == printer)
            return m_printers[i]->isChecked();
    }
    return false;
}

QString PrinterSetupDialog::devicePath(const PortRow &row) const
{
    // A device picked from the list shows its label; the path is kept beside it.
    const QString shown = row.device->currentText();
    const int picked = row.device->findText(shown);
    return picked >= 0 ? row.device->itemData(picked).toString() : shown.trimmed();
}

QList<std::pair<Key, QString>> PrinterSetupDialog::texts() const
{
    QList<std::pair<Key, QString>> texts;
    for (const auto &choice : kPrinters) {
        if (isChosen(choice.printer))
            texts.append({Key::Backend, settings::printerName(choice.printer)});
    }
    texts.append({Key::Library, m_library->text().trimmed()});
    for (const PortRow &row : m_rows)
        texts.append({row.key, devicePath(row)});
    texts.append({Key::SerialSpeed, m_speed->currentText()});
    texts.append({Key::SerialFlow, m_flow->currentData().toString()});
    texts.append({Key::WriteTimeout, m_timeout->text()});
    return texts;
}

PortSettings PrinterSetupDialog::ports() const
{
    PrinterSettings shown = m_current;
    for (const auto &[key, text] : texts())
        (void)settings::set(shown, key, text);
    return shown.ports;
}

void PrinterSetupDialog::accept()
{
    PrinterSettings shown = m_current;
    QStringList problems;
    for (const auto &[key, text] : texts()) {
        if (!settings::set(shown, key, text))
            problems
                << QStringLiteral("%1 \"%2\": %3").arg(caption(key), text, settings::expected(key));
    }
    if (!problems.isEmpty()) {
        m_context.messages->show(this,
            QStringLiteral("A configuração não foi aplicada. Corrija:\n- %1")
                .arg(problems.join(QStringLiteral("\n- "))));
        return;
    }
    m_chosen = shown;
    QDialog::accept();
}
