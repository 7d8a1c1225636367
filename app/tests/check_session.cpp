// The program's windows in the working folder, on the printer the options name, with the check
// window open: arguments payee, back text, then a button of the check window to press ("-" for
// none), then the program's options. Messages go to the standard output, one a line. Prints
// "ready" once the fields are typed, then runs until it is ended.

#include "app/main_window.h"
#include "app/options.h"
#include "app/process_signals.h"
#include "app/shell.h"
#include "tests/support/test_services.h"
#include "ui/text_fields.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const ProcessSignals processSignals;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 4)
        return 2;
    const ParsedOptions parsed = parseOptions(QStringList {"vorel-demo"} + arguments.mid(4));
    if (parsed.exit)
        return 2;
    RecordingMessages messages;
    messages.onShow = [](const QString &text) {
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    };
    Shell shell(parsed.options, messages);
    shell.show();
    QTimer::singleShot(0, [&] {
        shell.mainWindow().findChild<QPushButton *>("Command4")->click();
        auto *check = shell.mainWindow().findChild<QWidget *>("Cheque");
        // Typed once the activation has read the data file into the fields.
        if (!QTest::qWaitFor(
                [check] { return QApplication::focusWindow() == check->windowHandle(); }))
            QCoreApplication::exit(3);
        check->findChild<LineField *>("Text3")->setText(arguments[1]);
        check->findChild<TextField *>("Text7")->setText(arguments[2]);
        std::puts("ready");
        std::fflush(stdout);
        if (arguments[3] != QLatin1String("-"))
            check->findChild<QPushButton *>(arguments[3])->click();
    });
    return QApplication::exec();
}
