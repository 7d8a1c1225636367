#include "tests/support/test_helpers.h"

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

// The check data typed in a real process of the program's windows, ended the ways a session ends.
class TstShutdown : public QObject
{
    Q_OBJECT
private slots:
    void typedCheckDataOutlivesTheProgram_data()
    {
        // Columns: signal, button, sizeLimit, crash, exit, messages, file.
        // signal: sent once "Ana" is typed as the payee; 0: none
        // button: of the check window, pressed then; "-": none
        // sizeLimit: on files the program writes, in bytes; 0: none
        // crash: the printer library crashes inside TX
        // exit: the status; -1: a crash
        // file: Dados_cheque.txt afterwards
        columns<int, QString, int, bool, int, QString, QByteArray>();
        const QByteArray typed = "\r\n\r\nAna\r\n\r\n\r\n\r\n" + QByteArray(40, 'v');
        row("shutdown", SIGTERM, "-", 0, false, 0, "", typed);
        row("library crashes printing the front", 0, "Command1", 0, true, -1, "", typed);
        row("file size limit, logout", SIGHUP, "-", 30, false, 0,
            "Não foi possível gravar Dados_cheque.txt: arquivo grande demais", kMissing);
    }

    void typedCheckDataOutlivesTheProgram()
    {
        auto [signal, button, sizeLimit, crash, exit, messages, file]
            = fetch<int, QString, int, bool, int, QString, QByteArray>();
        QTemporaryDir dir;
        QProcess session;
        session.setWorkingDirectory(dir.path());
        if (crash)
            session.setEnvironment(QProcess::systemEnvironment() << "FAKE_PRINTER_CRASH=1");
        if (sizeLimit > 0) {
            session.setChildProcessModifier([limit = rlim_t(sizeLimit)] {
                const rlimit fileSize {limit, limit};
                ::setrlimit(RLIMIT_FSIZE, &fileSize);
            });
        }
        session.start(QStringLiteral(CHECK_SESSION),
            {"Ana", QString(40, QLatin1Char('v')), button, "--printer", "library",
                "--printer-library", FAKE_LIBRARY});
        QVERIFY(session.waitForReadyRead(20000));
        QCOMPARE(session.readLine(), QByteArray("ready\n"));
        if (signal != 0)
            QCOMPARE(::kill(session.processId(), signal), 0);
        QVERIFY(session.waitForFinished(20000));
        QCOMPARE(session.exitStatus(), exit < 0 ? QProcess::CrashExit : QProcess::NormalExit);
        if (exit >= 0)
            QCOMPARE(session.exitCode(), exit);
        QCOMPARE(QString::fromUtf8(session.readAllStandardOutput()).trimmed(), messages);
        QCOMPARE(readFile(QDir(dir.path()), QStringLiteral("Dados_cheque.txt")), file);
    }
};

QTEST_GUILESS_MAIN(TstShutdown)
#include "tst_shutdown.moc"
