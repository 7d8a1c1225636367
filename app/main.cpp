#include "app/data_folder.h"
#include "app/options.h"
#include "app/process_signals.h"
#include "app/shell.h"
#include "core/file_name.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Options first: --help and a wrong option must work without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << file_name::decode(argv[i]);
    const ParsedOptions parsed = parseOptions(arguments);
    if (parsed.exit) {
        QTextStream(parsed.exitStatus == 0 ? stdout : stderr) << parsed.output;
        return parsed.exitStatus;
    }

    QApplication app(argc, argv);
    const ProcessSignals processSignals;
    QApplication::setApplicationName(QStringLiteral("vorel-demo"));
    QApplication::setApplicationVersion(QStringLiteral(VOREL_VERSION));
    if (parsed.options.desktop) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        if (const QString error = enterDataFolder(folder); !error.isEmpty()) {
            BoxMessageSink().show(nullptr, error);
            return 1;
        }
    }
    BoxMessageSink messages;
    Shell shell(parsed.options, messages);
    if (const QString unused = options::unused(shell.printer(), parsed.options); !unused.isEmpty())
        QTextStream(stderr) << unused << '\n';
    shell.show();
    return QApplication::exec();
}
