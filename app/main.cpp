#include "app/logging.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/printer_link/library_link.h"
#include "app/printer_link/logging_link.h"
#include "app/printer_link/ports_link.h"
#include "app/real_services.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorel-demo"));
    QApplication::setApplicationVersion(QStringLiteral(VOREL_VERSION));

    const ParsedOptions parsed = parseOptions(QApplication::arguments());
    if (parsed.exit) {
        QTextStream(parsed.exitStatus == 0 ? stdout : stderr) << parsed.output;
        return parsed.exitStatus;
    }

    BoxMessageSink messages;
    SystemClock clock;
    std::unique_ptr<PrinterLink> backend;
    std::unique_ptr<VirtualPrinterWindow> printerWindow;
    QMap<int, QString> portDescriptions;
    if (parsed.options.printer == Options::Printer::Library) {
        backend = std::make_unique<LibraryLink>(
            parsed.options.libraryPath, QApplication::applicationDirPath());
    } else if (parsed.options.printer == Options::Printer::Ports) {
        backend = std::make_unique<PortsLink>(parsed.options.ports);
        portDescriptions = port_settings::describe(parsed.options.ports);
        for (auto it = portDescriptions.cbegin(); it != portDescriptions.cend(); ++it) {
            qCInfo(lcPrinter).noquote()
                << port_settings::deviceFor(parsed.options.ports, int16_t(it.key()))->name
                << it.key() << "em" << it.value();
        }
    } else {
        auto printer = std::make_unique<VirtualPrinter>();
        printerWindow = std::make_unique<VirtualPrinterWindow>(*printer, messages);
        backend = std::move(printer);
    }
    LoggingLink link(*backend);

    Services services;
    services.link = &link;
    services.messages = &messages;
    services.clock = &clock;
    services.locale = regionalLocale(QLocale::system());
    services.workDir = QDir::current();

    if (printerWindow)
        printerWindow->show();
    MainWindow window(services);
    window.describePorts(portDescriptions);
    window.show();
    if (printerWindow)
        printerWindow->move(window.frameGeometry().topRight() + QPoint(16, 0));
    return QApplication::exec();
}
