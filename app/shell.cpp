#include "app/shell.h"

#include "app/main_window.h"
#include "core/logging.h"
#include "printer_link/library_link.h"
#include "printer_link/logging_link.h"
#include "printer_link/ports_link.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>

Shell::Shell(const Options &options)
{
    QMap<int, QString> portDescriptions;
    if (options.printer == Options::Printer::Library) {
        m_backend = std::make_unique<LibraryLink>(
            options.libraryPath, QApplication::applicationDirPath());
    } else if (options.printer == Options::Printer::Ports) {
        m_backend = std::make_unique<PortsLink>(options.ports);
        portDescriptions = port_settings::describe(options.ports);
        for (auto it = portDescriptions.cbegin(); it != portDescriptions.cend(); ++it)
            qCInfo(lcPrinter).noquote() << "porta" << it.key() << "em" << it.value();
    } else {
        auto printer = std::make_unique<VirtualPrinter>();
        m_virtualPrinter = printer.get();
        m_backend = std::move(printer);
    }
    m_link = std::make_unique<LoggingLink>(*m_backend);

    Services services;
    services.link = m_link.get();
    services.messages = &m_messages;
    services.clock = &m_clock;
    services.locale = regionalLocale(QLocale::system());
    services.workDir = QDir::current();

    m_window = std::make_unique<MainWindow>(services);
    m_window->describePorts(portDescriptions);
}

Shell::~Shell()
{
    // The windows go before the link they call.
    m_window.reset();
    m_printerWindow.reset();
}

void Shell::show()
{
    if (m_virtualPrinter)
        m_window->installEventFilter(this);
    m_window->show();
}

bool Shell::eventFilter(QObject *watched, QEvent *event)
{
    // The printer's window follows once the main window has been painted, so the operator
    // sees the main window first; its journal already holds the status read of the start-up.
    if (watched == m_window.get() && event->type() == QEvent::Paint && !m_printerWindow) {
        m_window->removeEventFilter(this);
        QTimer::singleShot(0, this, &Shell::showVirtualPrinter);
    }
    return false;
}

void Shell::showVirtualPrinter()
{
    m_printerWindow = std::make_unique<VirtualPrinterWindow>(*m_virtualPrinter, m_messages);
    // Beside the main window, as wide as the screen leaves room for.
    const QPoint place = m_window->frameGeometry().topRight() + QPoint(16, 0);
    if (const QScreen *screen = m_window->screen()) {
        const int room = screen->availableGeometry().right() - place.x() - 16;
        m_printerWindow->resize(
            qMax(640, qMin(m_printerWindow->width(), room)), m_printerWindow->height());
    }
    m_printerWindow->move(place);
    m_printerWindow->show();
}
