#include "app/main_window.h"

#include "app/brand.h"
#include "app/main_commands.h"
#include "app/window_place.h"
#include "auth/auth_commands.h"
#include "auth/auth_window.h"
#include "check/check_window.h"
#include "printer_link/inpout.h"
#include "printer_link/printer_link.h"
#include "printer_link/status.h"
#include "text/text_print.h"
#include "text/text_window.h"
#include "ui/busy_action.h"
#include "ui/form.h"
#include "ui/text_fields.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

namespace {

using form::Kind;

using namespace port_code;

// How often "Atualizar estado continuamente" reads the status.
constexpr int kStatusPeriodMs = 200;

const struct
{
    const char *name;
    int code;
} kPortOptions[] = {{"Option1", kLpt1}, {"Option2", kLpt2}, {"Option3", kCom1}, {"Option4", kCom2}};

// Row n of the status panel (bit n) stands at 2880 - 360 n twips.
#define VOREL_BIT_ROW(n)                                                                           \
    {Kind::BorderedLabel, "lblDataBit" #n, "", {120, 2880 - 360 * (n), 375, 375}, "fraDataPort"},  \
    {                                                                                              \
        Kind::Button, "cmdDataBitToggle" #n, #n, {480, 2880 - 360 * (n), 375, 375}, "fraDataPort"  \
    }

const form::Control kControls[] = {
    {Kind::Picture, "Image1", "", {50, 50, 1005, 495}},
    {Kind::Label, "Label1", "Brimsel Eletrônica", {1200, 240, 3615, 375}},
    {Kind::Frame, "Frame2", "Porta da Impressora", {240, 600, 4575, 1215}},
    {Kind::Option, "Option1", "LPT1", {240, 480, 735, 375}, "Frame2"},
    {Kind::Option, "Option2", "LPT2", {1200, 480, 735, 375}, "Frame2"},
    {Kind::Option, "Option3", "COM1", {2160, 480, 855, 375}, "Frame2"},
    {Kind::Option, "Option4", "COM2", {3120, 480, 855, 375}, "Frame2"},
    {Kind::Frame, "Frame1", "Saída para Impressora", {240, 1920, 4575, 1215}},
    {Kind::LineEdit, "Text2", "", {360, 2160, 4335, 375}},
    {Kind::Button, "Command2", "out", {3600, 2640, 1095, 375}},
    {Kind::Frame, "fraDataPort", "Estado da Porta Paralela", {240, 3240, 3015, 3495}},
    VOREL_BIT_ROW(0),
    VOREL_BIT_ROW(1),
    VOREL_BIT_ROW(2),
    VOREL_BIT_ROW(3),
    VOREL_BIT_ROW(4),
    VOREL_BIT_ROW(5),
    VOREL_BIT_ROW(6),
    VOREL_BIT_ROW(7),
    {Kind::Label, "Label3", "BUSY", {1080, 480, 1695, 255}, "fraDataPort"},
    {Kind::Label, "Label4", "PAPER END", {1080, 1200, 1695, 255}, "fraDataPort"},
    {Kind::Label, "Label5", "ON LINE", {1080, 1560, 1815, 255}, "fraDataPort"},
    {Kind::Button, "Command1", "Ler", {1920, 6000, 1095, 375}},
    {Kind::Frame, "Frame5", "Funções", {3480, 3240, 1335, 3495}},
    {Kind::Button, "Command3", "Autenticação", {3600, 3600, 1095, 375}},
    {Kind::Button, "Command4", "Cheque", {3600, 4320, 1095, 375}},
    {Kind::Button, "Command5", "Texto", {3600, 5040, 1095, 375}},
    {Kind::Button, "Command6", "Abre Gaveta", {3600, 5760, 1095, 375}},
};
#undef VOREL_BIT_ROW

} // namespace

std::span<const form::Control> MainWindow::table()
{
    return kControls;
}

MainWindow::MainWindow(const Services &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
{
    const form::Controls controls = form::build(this, kControls);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VOREL"));
    form::setClientSize(this, 5055, 6750);

    m_testLine = controls.get<LineField>("Text2");
    for (int n = 0; n < 8; ++n) {
        m_bits[n] = controls.get<QLabel>(QStringLiteral("lblDataBit%1").arg(n));
        m_bits[n]->setToolTip(status_line::meaning(n));
        controls.get<QPushButton>(QStringLiteral("cmdDataBitToggle%1").arg(n))
            ->setToolTip(status_line::meaning(n));
    }
    for (int i = 0; i < std::ssize(kPortOptions); ++i)
        m_portOptions[i] = controls.get<QRadioButton>(kPortOptions[i].name);

    // Drawn once, at the size it is shown, so the first paint need not scale it; the window's
    // icon is the same picture.
    auto *image = controls.get<QLabel>("Image1");
    const QPixmap picture = brandPicture(image->size(), devicePixelRatioF());
    image->setPixmap(picture);
    setWindowIcon(picture);
    QFont brandFont(QStringLiteral("Arial"));
    brandFont.setStyleHint(QFont::SansSerif);
    brandFont.setPointSizeF(14.25);
    brandFont.setBold(true);
    controls.get<QLabel>("Label1")->setFont(brandFont);

    form::setTabOrder(controls,
        {"Command1", "Command2", "Text2", "cmdDataBitToggle0", "cmdDataBitToggle1",
            "cmdDataBitToggle2", "cmdDataBitToggle3", "cmdDataBitToggle4", "cmdDataBitToggle5",
            "cmdDataBitToggle6", "cmdDataBitToggle7", "Command3", "Command4", "Command5",
            "Command6", "Option1", "Option2", "Option3", "Option4"});

    const auto button = [&controls](const char *name) { return controls.get<QPushButton>(name); };
    connect(button("Command1"), &QPushButton::clicked, this, &MainWindow::readStatus);
    connect(button("Command2"), &QPushButton::clicked, this, &MainWindow::sendTestLine);
    connect(button("Command3"), &QPushButton::clicked, this, &MainWindow::openAuthentication);
    connect(button("Command4"), &QPushButton::clicked, this, &MainWindow::openCheck);
    connect(button("Command5"), &QPushButton::clicked, this, &MainWindow::openText);
    connect(button("Command6"), &QPushButton::clicked, this, &MainWindow::openDrawer);

    for (int i = 0; i < std::ssize(kPortOptions); ++i) {
        connect(m_portOptions[i], &QRadioButton::clicked, this,
            [this, code = kPortOptions[i].code] { selectPort(code, !isSerial(code)); });
    }

    // The additions live in the context menu, so that the seed's layout stays as it is.
    auto *setup = new QAction(QStringLiteral("Configurar impressora..."), this);
    setup->setObjectName(QStringLiteral("actionSetup"));
    setup->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    setup->setShortcutContext(Qt::ApplicationShortcut);
    connect(setup, &QAction::triggered, this, &MainWindow::setupRequested);
    m_showPrinter = new QAction(QStringLiteral("Mostrar impressora virtual"), this);
    m_showPrinter->setObjectName(QStringLiteral("actionShowVirtualPrinter"));
    m_showPrinter->setEnabled(false);
    connect(m_showPrinter, &QAction::triggered, this, &MainWindow::virtualPrinterRequested);
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    m_continuousStatus = new QAction(QStringLiteral("Atualizar estado continuamente"), this);
    m_continuousStatus->setObjectName(QStringLiteral("actionContinuousStatus"));
    m_continuousStatus->setCheckable(true);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setInterval(kStatusPeriodMs);
    connect(m_statusTimer, &QTimer::timeout, this, &MainWindow::followStatus);
    connect(m_continuousStatus, &QAction::toggled, m_statusTimer,
        [this](bool on) { on ? m_statusTimer->start() : m_statusTimer->stop(); });
    m_recordJournal = new QAction(QStringLiteral("Gravar diário..."), this);
    m_recordJournal->setObjectName(QStringLiteral("actionRecordJournal"));
    m_recordJournal->setCheckable(true);
    connect(m_recordJournal, &QAction::toggled, this, &MainWindow::journalRecordingRequested);
    addActions({setup, m_showPrinter, separator, m_continuousStatus, m_recordJournal});
    setContextMenuPolicy(Qt::ActionsContextMenu);

    m_testLine->setText(main_commands::alphabetLine());
    Porta = kLpt1;
    ReadPorts(kLpt1);
    m_portOptions[0]->setChecked(true);
}

void MainWindow::ReadPorts(int16_t BaseAddress)
{
    // The reads of "Atualizar estado continuamente" go without: a click made during one of them
    // is only late, and the cursor would flicker five times a second.
    QString error;
    {
        const BusyAction busy;
        error = showStatus(BaseAddress);
    }
    if (!error.isEmpty())
        m_services.messages->show(this, error);
}

QString MainWindow::showStatus(int16_t port)
{
    const LinkResult status = m_services.link->Estado(port);
    if (status.callFailed())
        return status.error;
    for (int16_t n = 0; n < 8; ++n)
        m_bits[n]->setText(QString::number(inpout::BitValue(status.value, n)));
    return {};
}

void MainWindow::followStatus()
{
    if (isSerial(Porta))
        return;
    if (const QString error = showStatus(narrowPort(Porta)); !error.isEmpty()) {
        // Unchecked first: the message waits for the operator, and must come once.
        m_continuousStatus->setChecked(false);
        m_services.messages->show(
            this, QStringLiteral("A atualização contínua do estado foi desligada: %1").arg(error));
    }
}

void MainWindow::describePorts(const QMap<int, QString> &descriptions)
{
    for (int i = 0; i < std::ssize(kPortOptions); ++i)
        m_portOptions[i]->setToolTip(descriptions.value(kPortOptions[i].code));
}

void MainWindow::offerVirtualPrinter(bool offered)
{
    m_showPrinter->setEnabled(offered);
}

void MainWindow::refreshStatus()
{
    selectPort(Porta, !isSerial(Porta));
}

QString MainWindow::testLineText() const
{
    return m_testLine->text();
}

void MainWindow::showJournalRecording(const QString &path)
{
    const QSignalBlocker quiet(m_recordJournal);
    m_recordJournal->setChecked(!path.isEmpty());
    const QString caption = QStringLiteral("Gravar diário...");
    m_recordJournal->setText(path.isEmpty()
            ? caption
            : QStringLiteral("%1 (%2)").arg(caption, QFileInfo(path).fileName()));
}

void MainWindow::selectPort(int code, bool refresh)
{
    Porta = code;
    if (refresh)
        ReadPorts(narrowPort(code));
}

void MainWindow::readStatus()
{
    if (isSerial(Porta)) {
        m_services.messages->show(
            this, QStringLiteral("Mude a Porta da Impressora para Paralela LPT1 ou LPT2"));
        return;
    }
    ReadPorts(narrowPort(Porta));
}

void MainWindow::sendTestLine()
{
    sendCommands(m_services, this, portaSource(), {main_commands::testLine(m_testLine->text())},
        {m_testLine->text()});
}

void MainWindow::openDrawer()
{
    sendCommands(m_services, this, portaSource(), {main_commands::openDrawer()});
}

PortaSource MainWindow::portaSource()
{
    return [this] { return Porta; };
}

namespace {
constexpr char kPlaced[] = "vorel-placed";
} // namespace

void MainWindow::bringUp(QWidget *window)
{
    // Left to the window manager, a work window can open partly below the screen's edge (the
    // virtual printer takes most of the room); the first time, it goes under this window, inside
    // the screen. After that it stays where the operator puts it.
    const QScreen *screen = this->screen();
    if (screen && !window->property(kPlaced).toBool()) {
        window->setProperty(kPlaced, true);
        const QSize border = frameGeometry().size() - size();
        const QRect wanted(
            QPoint(frameGeometry().left(), frameGeometry().bottom() + 1 + window_place::kGap),
            window->size() + border);
        window->move(window_place::inside(screen->availableGeometry(), wanted).topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::openAuthentication()
{
    if (!m_auth)
        m_auth = new AuthWindow(m_services, portaSource(), this);
    bringUp(m_auth);
    m_auth->setText(auth_commands::sampleLine());
}

void MainWindow::openCheck()
{
    if (!m_check)
        m_check = new CheckWindow(m_services, portaSource(), this);
    bringUp(m_check);
}

void MainWindow::openText()
{
    if (!m_text)
        m_text = new TextWindow(m_services, portaSource(), this);
    bringUp(m_text);
    m_text->setText(text_print::rulerText());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A monitored authentication still waiting sends its ESC "~0" before the program ends.
    if (m_auth)
        m_auth->cancelWait();
    event->accept();
    QCoreApplication::quit();
}
