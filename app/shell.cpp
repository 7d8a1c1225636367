#include "app/shell.h"

#include "app/main_window.h"
#include "app/printer_setup_dialog.h"
#include "app/window_place.h"
#include "core/logging.h"
#include "printer_link/library_link.h"
#include "printer_link/logging_link.h"
#include "printer_link/ports_link.h"
#include "ui/busy_action.h"
#include "ui/document_waiter.h"
#include "ui/file_dialog.h"
#include "virtual_printer/journal_recorder.h"
#include "virtual_printer/journal_replay.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

using Printer = PrinterSettings::Printer;

// Each call of a replay as a printing action: the busy cursor shows, and what the operator clicks
// while the printer holds the call is dropped. The waits between them stay open to "Cancelar".
class BusyLink : public PrinterLink
{
public:
    explicit BusyLink(PrinterLink &inner)
        : m_inner(inner)
    { }
    LinkResult Estado(int16_t port) override { return m_inner.Estado(port); }
    LinkResult TX(int16_t port, const QByteArray &bytes) override
    {
        const BusyAction busy;
        return m_inner.TX(port, bytes);
    }
    LinkResult TXI(int16_t port, const QByteArray &bytes) override
    {
        const BusyAction busy;
        return m_inner.TXI(port, bytes);
    }
    void Sleep(uint32_t milliseconds) override { m_inner.Sleep(milliseconds); }

private:
    PrinterLink &m_inner;
};

} // namespace

Shell::Shell(const Options &options, MessageSink &messages)
    : m_messages(messages)
    , m_options(options)
{
    const settings::Loaded file = settings::read(settings::defaultPath());
    if (!file.problem.isEmpty())
        m_messages.show(nullptr, file.problem);
    m_printer = options::overFile(file.settings, options);
    m_recorder = std::make_unique<JournalRecorder>(usePrinter(m_printer));
    m_link = std::make_unique<LoggingLink>(*m_recorder);
    // After the call that failed has returned: a message in the middle of a check print would
    // hold the rest of it.
    connect(m_recorder.get(), &JournalRecorder::failed, this, &Shell::recordingFailed,
        Qt::QueuedConnection);

    // Before the main window exists, so that its first status read is recorded too.
    const QString journalError
        = options.journal.isEmpty() ? QString() : m_recorder->start(options.journal);

    Services services;
    services.link = m_link.get();
    services.messages = &m_messages;
    services.clock = &m_clock;
    services.locale = regionalLocale(QLocale::system());
    services.workDir = QDir::current();

    m_window = std::make_unique<MainWindow>(services);
    followPrinter();
    connect(m_window.get(), &MainWindow::setupRequested, this, &Shell::openSetup);
    connect(m_window.get(), &MainWindow::virtualPrinterRequested, this, &Shell::showVirtualPrinter);
    connect(m_window.get(), &MainWindow::journalRecordingRequested, this,
        &Shell::journalRecordingRequested);
    if (!options.journal.isEmpty()) {
        m_window->showJournalRecording(journalError.isEmpty() ? options.journal : QString());
        if (!journalError.isEmpty())
            m_messages.show(nullptr, journalError);
    }
}

Shell::~Shell()
{
    if (m_printerWindow) {
        m_printerWindow->removeEventFilter(this);
        keepPrinterWindow();
    }
    // The windows go before the link they call.
    m_window.reset();
    m_printerWindow.reset();
}

PrinterLink &Shell::usePrinter(const PrinterSettings &printer)
{
    // Where the printer cannot be reached, the messages point to "Configurar impressora...".
    constexpr auto remedy = PortDevice::Remedy::Menu;
    m_ports = nullptr;
    if (printer.printer == Printer::Library) {
        m_backend = std::make_unique<LibraryLink>(
            printer.libraryPath, QApplication::applicationDirPath(), remedy);
    } else if (printer.printer == Printer::Ports) {
        auto ports = std::make_unique<PortsLink>(printer.ports, remedy);
        m_ports = ports.get();
        m_backend = std::move(ports);
        const QMap<int, QString> where = port_settings::describe(printer.ports);
        for (auto it = where.cbegin(); it != where.cend(); ++it)
            qCInfo(lcPrinter).noquote() << "porta" << it.key() << "em" << it.value();
    } else {
        m_backend.reset();
        if (!m_virtualPrinter)
            m_virtualPrinter = std::make_unique<VirtualPrinter>();
        return *m_virtualPrinter;
    }
    return *m_backend;
}

void Shell::apply(const PrinterSettings &printer)
{
    m_recorder->setInner(usePrinter(printer));
    m_printer = printer;
    followPrinter();
    if (printer.printer == Printer::Virtual)
        showVirtualPrinter();
    else if (m_printerWindow)
        m_printerWindow->hide();
    m_window->refreshStatus();
}

void Shell::followPrinter()
{
    m_window->describePorts(m_printer.printer == Printer::Ports
            ? port_settings::describe(m_printer.ports)
            : QMap<int, QString>());
    // With a real printer the window is still there to read journals and send them to it.
    m_window->offerVirtualPrinter(true);
}

void Shell::show()
{
    m_window->installEventFilter(this);
    // The virtual printer's window opens with the main window: room is made for both, beside
    // where it was left or in the middle of the screen.
    if (m_printer.printer == Printer::Virtual) {
        m_keptViewer = settings::readViewer(settings::defaultPath());
        const QScreen *screen = m_window->screen();
        const QRect available = screen ? screen->availableGeometry() : QRect();
        const QSize size = m_window->size();
        if (!available.isEmpty() && m_keptViewer.frame.isValid()) {
            m_window->move(window_place::beside(
                available, window_place::inside(available, m_keptViewer.frame), size, size)
                               .topLeft());
        } else if (!available.isEmpty()) {
            m_window->move(
                window_place::pairStart(available, size, VirtualPrinterWindow::kDefaultSize));
        }
    }
    m_window->show();
}

void Shell::openSetup()
{
    if (m_setup) {
        m_setup->raise();
        m_setup->activateWindow();
        return;
    }
    PrinterSetupDialog::Context context;
    context.messages = &m_messages;
    context.locale = regionalLocale(QLocale::system());
    context.testLine = m_window->testLineText();
    context.note = options::onlyThisRun(m_options);
    context.releasePorts = [this] { releasePorts(); };
    m_setup = new PrinterSetupDialog(m_printer, context, m_window.get());
    m_setup->setAttribute(Qt::WA_DeleteOnClose);
    m_setup->setWindowModality(Qt::ApplicationModal);
    connect(m_setup, &QDialog::accepted, this,
        [this, dialog = m_setup.data()] { accepted(dialog->chosen()); });
    m_setup->show();
}

void Shell::accepted(const PrinterSettings &chosen)
{
    const QString path = settings::defaultPath();
    const PrinterSettings file
        = settings::withChanges(settings::read(path).settings, m_printer, chosen);
    apply(chosen);
    if (const QString error = settings::write(path, file); !error.isEmpty())
        m_messages.show(m_window.get(), error);
}

QString Shell::recordJournal(const QString &path)
{
    const QString error = m_recorder->start(path);
    m_window->showJournalRecording(error.isEmpty() ? path : QString());
    return error;
}

void Shell::journalRecordingRequested(bool on)
{
    if (!on) {
        m_recorder->stop();
        m_window->showJournalRecording({});
        return;
    }
    const QString path
        = file_dialog::appendFileName(m_window.get(), QStringLiteral("Gravar diário"),
            QStringLiteral("diario.txt"), QStringLiteral("Texto (*.txt)"));
    if (path.isEmpty()) {
        m_window->showJournalRecording({});
        return;
    }
    if (const QString error = recordJournal(path); !error.isEmpty())
        m_messages.show(m_window.get(), error);
}

void Shell::recordingFailed(const QString &message)
{
    m_window->showJournalRecording({});
    m_messages.show(m_window.get(), message);
}

void Shell::releasePorts()
{
    if (m_ports)
        m_ports->closePorts();
}

bool Shell::eventFilter(QObject *watched, QEvent *event)
{
    // What follows the main window comes once it has been painted, so the operator sees it
    // first: the virtual printer, whose journal already holds the status read of the start-up,
    // the messages of the start-up, then the setup asked for with --setup.
    if (m_printerWindow && watched == m_printerWindow.get() && event->type() == QEvent::Hide)
        keepPrinterWindow();
    if (watched == m_window.get() && event->type() == QEvent::Paint) {
        m_window->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (m_printer.printer == Printer::Virtual)
                showVirtualPrinter();
            m_messages.release(m_window.get());
            if (m_options.setup)
                openSetup();
        });
    }
    return false;
}

void Shell::showVirtualPrinter()
{
    if (!m_virtualPrinter)
        m_virtualPrinter = std::make_unique<VirtualPrinter>();
    if (!m_printerWindow) {
        m_printerWindow
            = std::make_unique<VirtualPrinterWindow>(*m_virtualPrinter, m_messages, m_question);
        if (m_keptViewer.frame.isNull())
            m_keptViewer = settings::readViewer(settings::defaultPath());
        m_printerWindow->setViewerLayout(m_keptViewer.layout);
        placePrinterWindow(m_keptViewer.frame);
        m_printerWindow->installEventFilter(this);
        connect(m_printerWindow.get(), &VirtualPrinterWindow::sendRequested, this,
            &Shell::sendToPrinter);
    }
    m_printerWindow->show();
    m_printerWindow->raise();
    m_printerWindow->activateWindow();
}

void Shell::placePrinterWindow(const QRect &kept)
{
    // The window manager's frame is taken to be the main window's.
    const QRect main = m_window->frameGeometry();
    const QRect inner = m_window->geometry();
    const QMargins frame(inner.left() - main.left(), inner.top() - main.top(),
        main.right() - inner.right(), main.bottom() - inner.bottom());
    const QScreen *screen = kept.isValid() ? QGuiApplication::screenAt(kept.center()) : nullptr;
    if (!screen)
        screen = m_window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect place = kept.isValid()
        ? window_place::inside(available, kept)
        : window_place::beside(available, main, VirtualPrinterWindow::kDefaultSize.grownBy(frame),
            VirtualPrinterWindow::kSmallestReadable.grownBy(frame));
    m_printerWindow->resize(place.size().shrunkBy(frame));
    m_printerWindow->move(place.topLeft());
}

void Shell::keepPrinterWindow()
{
    const ViewerSettings now {m_printerWindow->frameGeometry(), m_printerWindow->viewerLayout()};
    if (now == m_keptViewer)
        return;
    // Not worth a message box at the end of a run: the window opens beside the main one.
    if (const QString error = settings::writeViewer(settings::defaultPath(), now); !error.isEmpty())
        qCWarning(lcUi).noquote() << error;
    else
        m_keptViewer = now;
}

void Shell::sendToPrinter(int first, int count)
{
    QWidget *owner = m_printerWindow.get();
    if (m_printer.printer == Printer::Virtual) {
        m_messages.show(owner,
            QStringLiteral(
                "O diário vai à impressora escolhida em \"Configurar impressora...\": "
                "escolha as portas ou a biblioteca (a impressora virtual não imprime)."));
        return;
    }
    // The window-modal "Aguardando o documento..." shows as in the authentication window; the
    // main window's family waits too, or a print started there would land inside the replay.
    DocumentWaiter waiter(owner, std::chrono::milliseconds(333), m_window.get());
    BusyLink link(*m_link);
    journal_replay::Result result
        = journal_replay::replay(link, m_virtualPrinter->journal().mid(first, count), waiter);
    result.call += first;
    m_messages.show(owner, journal_replay::summary(result, QStringLiteral("envio cancelado")));
}
