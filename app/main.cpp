#include "app/data_folder.h"
#include "app/journal_commands.h"
#include "app/options.h"
#include "app/process_signals.h"
#include "app/qt_texts.h"
#include "app/shell.h"
#include "core/file_name.h"

#include <QApplication>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>
#include <QTranslator>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Qt's own texts in Portuguese from the start, whatever the system's language: loaded
    // once, installed in the application that reads the options and in the one with windows.
    QTranslator qtTexts;
    qt_texts::load(qtTexts);

    // Options first: --help and a wrong option must work without a display, so they are read
    // under an application without one.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << file_name::decode(argv[i]);
    ParsedOptions parsed;
    {
        const QCoreApplication reading(argc, argv);
        QCoreApplication::installTranslator(&qtTexts);
        parsed = parseOptions(arguments);
    }
    if (parsed.exit) {
        QTextStream(parsed.exitStatus == 0 ? stdout : stderr) << parsed.output;
        return parsed.exitStatus;
    }

    const Options &options = parsed.options;
    if (!options.render.isEmpty() || !options.replay.isEmpty()) {
        // No window opens, so no display is needed, whatever the session has or lacks.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        const QGuiApplication tool(argc, argv); // fonts for the pictures
        QCoreApplication::installTranslator(&qtTexts);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return options.render.isEmpty() ? journal_commands::replay(options, out, err)
                                        : journal_commands::render(options, out, err);
    }

    QApplication app(argc, argv);
    QCoreApplication::installTranslator(&qtTexts);
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
