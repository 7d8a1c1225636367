#include "app/main_window.h"
#include "app/options.h"
#include "app/printer_link/library_link.h"
#include "app/printer_link/logging_link.h"
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
    if (parsed.options.printer == Options::Printer::Library) {
        backend = std::make_unique<LibraryLink>(
            parsed.options.libraryPath, QApplication::applicationDirPath());
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
    window.show();
    if (printerWindow)
        printerWindow->move(window.frameGeometry().topRight() + QPoint(16, 0));
    return QApplication::exec();
}
