#include "app/data_folder.h"
#include "app/options.h"
#include "tests/support/test_helpers.h"

#include <QDir>
#include <QTemporaryDir>

class TstOptions : public QObject
{
    Q_OBJECT
private slots:
    void parses_data()
    {
        // exitStatus: -1: runs
        columns<QStringList, int, int, QString>({"args", "exitStatus", "printer", "library"});
        using P = Options::Printer;
        QTest::newRow("default virtual") << QStringList() << -1 << int(P::Virtual) << QString();
        QTest::newRow("library, default name")
            << QStringList {"--printer", "library"} << -1 << int(P::Library) << QString();
        QTest::newRow("library with path")
            << QStringList {"--printer", "library", "--printer-library", "/x/l.so"} << -1
            << int(P::Library) << QStringLiteral("/x/l.so");
        QTest::newRow("ports") << QStringList {"--printer", "ports"} << -1 << int(P::Ports)
                               << QString();
        QTest::newRow("help") << QStringList {"--help"} << 0 << 0 << QString();
        QTest::newRow("version") << QStringList {"--version"} << 0 << 0 << QString();
        QTest::newRow("unknown option") << QStringList {"--bogus"} << 2 << 0 << QString();
        QTest::newRow("unknown printer")
            << QStringList {"--printer", "laser"} << 2 << 0 << QString();
        QTest::newRow("library path without library")
            << QStringList {"--printer-library", "x"} << 2 << 0 << QString();
        QTest::newRow("desktop") << QStringList {"--desktop"} << -1 << int(P::Virtual) << QString();
        QTest::newRow("stray argument") << QStringList {"file.txt"} << 2 << 0 << QString();
    }

    void parses()
    {
        auto [args, exitStatus, printer, library]
            = fetch<QStringList, int, int, QString>({"args", "exitStatus", "printer", "library"});
        const ParsedOptions parsed
            = parseOptions(QStringList {QStringLiteral("vorel-demo")} + args);
        QCOMPARE(parsed.exit, exitStatus >= 0);
        if (parsed.exit) {
            QCOMPARE(parsed.exitStatus, exitStatus);
            QVERIFY(!parsed.output.isEmpty());
            return;
        }
        QCOMPARE(int(parsed.options.printer), printer);
        QCOMPARE(parsed.options.libraryPath, library);
    }

    void entersTheDataFolder()
    {
        const QString before = QDir::currentPath();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("share/vorel-demo"));
        QCOMPARE(enterDataFolder(folder), QString());
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        // A folder that cannot be made says so and leaves the working directory alone.
        QFile file(dir.filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString error = enterDataFolder(dir.filePath(QStringLiteral("plain/sub")));
        QVERIFY(error.contains(QStringLiteral("plain/sub")));
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        QVERIFY(QDir::setCurrent(before));
    }

    void parsesPortSettings_data()
    {
        // args: after --printer ports
        // devices: LPT1, LPT2, COM1, COM2
        columns<QStringList, bool, QStringList, int, int, int>(
            {"args", "runs", "devices", "speed", "flow", "timeoutMs"});
        const QStringList standard {"/dev/lp0", "/dev/lp1", "/dev/ttyS0", "/dev/ttyS1"};
        const int hw = int(SerialFlow::Hardware);
        QTest::newRow("defaults") << QStringList() << true << standard << 9600 << hw << 10000;
        QTest::newRow("usb adapters")
            << QStringList {"--lpt1", "/dev/usb/lp0", "--com2", "/dev/ttyUSB0"} << true
            << QStringList {"/dev/usb/lp0", "/dev/lp1", "/dev/ttyS0", "/dev/ttyUSB0"} << 9600 << hw
            << 10000;
        QTest::newRow("speed and software flow")
            << QStringList {"--serial-speed", "19200", "--serial-flow", "software"} << true
            << standard << 19200 << int(SerialFlow::Software) << 10000;
        QTest::newRow("timeout with a point")
            << QStringList {"--write-timeout", "0.3"} << true << standard << 9600 << hw << 300;
        QTest::newRow("timeout with a comma")
            << QStringList {"--write-timeout", "2,5"} << true << standard << 9600 << hw << 2500;
        QTest::newRow("comma is never grouping")
            << QStringList {"--write-timeout", "1,500"} << true << standard << 9600 << hw << 1500;

        const auto bad = [&](const char *name, const QStringList &args) {
            QTest::newRow(name) << args << false << QStringList() << 0 << 0 << 0;
        };
        bad("empty path", {"--lpt2", ""});
        bad("speed not a number", {"--serial-speed", "rápido"});
        bad("speed too high", {"--serial-speed", "4000001"});
        bad("unknown flow", {"--serial-flow", "rts"});
        bad("timeout zero", {"--write-timeout", "0"});
        bad("timeout below a millisecond", {"--write-timeout", "0.0004"});
        bad("timeout over an hour", {"--write-timeout", "3601"});
        bad("timeout not a number", {"--write-timeout", "dez"});
    }

    void parsesPortSettings()
    {
        auto [args, runs, devices, speed, flow, timeoutMs]
            = fetch<QStringList, bool, QStringList, int, int, int>(
                {"args", "runs", "devices", "speed", "flow", "timeoutMs"});
        const QStringList program {QStringLiteral("vorel-demo")};
        const ParsedOptions parsed
            = parseOptions(program + QStringList {"--printer", "ports"} + args);
        QCOMPARE(parsed.exit, !runs);
        if (!runs) {
            QCOMPARE(parsed.exitStatus, 2);
            return;
        }
        const PortSettings &p = parsed.options.ports;
        QCOMPARE(QStringList({p.lpt1, p.lpt2, p.com1, p.com2}), devices);
        QCOMPARE(p.serialSpeed, speed);
        QCOMPARE(int(p.serialFlow), flow);
        QCOMPARE(int(p.writeTimeout.count()), timeoutMs);

        // The same settings mean nothing to another printer: refused, not silently dropped.
        if (!args.isEmpty()) {
            const ParsedOptions elsewhere = parseOptions(program + args);
            QCOMPARE(elsewhere.exitStatus, 2);
            QVERIFY2(elsewhere.output.contains(QStringLiteral("só vale com --printer ports")),
                qPrintable(elsewhere.output));
        }
    }
};

QTEST_GUILESS_MAIN(TstOptions)
#include "tst_options.moc"
