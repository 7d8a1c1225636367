#include "app/data_folder.h"
#include "app/options.h"
#include "tests/support/test_helpers.h"

#include <QTemporaryDir>

namespace {

// "virtual", "library /x/l.so", "ports LPT1 LPT2 COM1 COM2 bps flow ms", "... desktop", or
// "exit 2" with a text to print.
QString summary(const ParsedOptions &p)
{
    if (p.exit)
        return QStringLiteral("exit %1").arg(p.exitStatus) + (p.output.isEmpty() ? " silent" : "");
    static const char *const kPrinters[] = {"virtual", "library", "ports"};
    static const char *const kFlows[] = {"none", "hardware", "software"};
    const Options &o = p.options;
    const PortSettings &s = o.ports;
    QStringList out {kPrinters[int(o.printer)], o.libraryPath};
    if (o.printer == Options::Printer::Ports)
        out << s.lpt1 << s.lpt2 << s.com1 << s.com2 << QString::number(s.serialSpeed)
            << kFlows[int(s.serialFlow)] << QString::number(s.writeTimeout.count());
    out << (o.desktop ? "desktop" : "");
    return out.join(QLatin1Char(' ')).simplified();
}

} // namespace

class TstOptions : public QObject
{
    Q_OBJECT
private slots:
    void parses_data()
    {
        // args, options
        columns<QStringList, QString>();
        const QString ports = "ports /dev/lp0 /dev/lp1 /dev/ttyS0 /dev/ttyS1 9600 hardware ";
        const auto bad
            = [](const char *name, const QStringList &args) { row(name, args, "exit 2"); };
        row("default", QStringList(), "virtual");
        row("desktop", QStringList {"--desktop"}, "virtual desktop");
        row("library, default name", QStringList {"--printer", "library"}, "library");
        row("library with path",
            QStringList {"--printer", "library", "--printer-library", "/x/l.so"},
            "library /x/l.so");
        row("help", QStringList {"--help"}, "exit 0");
        row("version", QStringList {"--version"}, "exit 0");
        bad("unknown option", {"--bogus"});
        bad("unknown printer", {"--printer", "laser"});
        bad("library path without library", {"--printer-library", "x"});
        bad("stray argument", {"file.txt"});
        row("ports, defaults", QStringList {"--printer", "ports"}, ports + "10000");
        row("usb adapters",
            QStringList {"--printer", "ports", "--lpt1", "/dev/usb/lp0", "--com2", "/dev/ttyUSB0"},
            "ports /dev/usb/lp0 /dev/lp1 /dev/ttyS0 /dev/ttyUSB0 9600 hardware 10000");
        row("speed and software flow",
            QStringList {
                "--printer", "ports", "--serial-speed", "19200", "--serial-flow", "software"},
            "ports /dev/lp0 /dev/lp1 /dev/ttyS0 /dev/ttyS1 19200 software 10000");
        row("timeout with a point", QStringList {"--printer", "ports", "--write-timeout", "0.3"},
            ports + "300");
        row("timeout with a comma", QStringList {"--printer", "ports", "--write-timeout", "2,5"},
            ports + "2500");
        row("comma is never grouping",
            QStringList {"--printer", "ports", "--write-timeout", "1,500"}, ports + "1500");
        bad("empty path", {"--printer", "ports", "--lpt2", ""});
        bad("speed not a number", {"--printer", "ports", "--serial-speed", "rápido"});
        bad("speed too high", {"--printer", "ports", "--serial-speed", "4000001"});
        bad("unknown flow", {"--printer", "ports", "--serial-flow", "rts"});
        bad("timeout zero", {"--printer", "ports", "--write-timeout", "0"});
        bad("timeout below a millisecond", {"--printer", "ports", "--write-timeout", "0.0004"});
        bad("timeout over an hour", {"--printer", "ports", "--write-timeout", "3601"});
        bad("timeout not a number", {"--printer", "ports", "--write-timeout", "dez"});
    }

    void parses()
    {
        auto [args, options] = fetch<QStringList, QString>();
        const QStringList program {QStringLiteral("vorel-demo")};
        QCOMPARE(summary(parseOptions(program + args)), options);
        // Port settings mean nothing to another printer: refused, not silently dropped.
        if (options.startsWith(QLatin1String("ports")) && args.size() > 2) {
            const ParsedOptions elsewhere = parseOptions(program + args.mid(2));
            QCOMPARE(elsewhere.exitStatus, 2);
            QVERIFY2(elsewhere.output.contains(QStringLiteral("só vale com --printer ports")),
                qPrintable(elsewhere.output));
        }
    }

    void entersTheDataFolder()
    {
        const QString before = QDir::currentPath();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("share/vorel-demo"));
        QCOMPARE(enterDataFolder(folder), QString());
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        // A folder that cannot be made says so and leaves the working directory alone.
        writeFile(QDir(dir.path()), QStringLiteral("plain"), "");
        const QString error = enterDataFolder(dir.filePath(QStringLiteral("plain/sub")));
        QVERIFY(error.contains(QStringLiteral("plain/sub")));
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        QVERIFY(QDir::setCurrent(before));
    }
};

QTEST_GUILESS_MAIN(TstOptions)
#include "tst_options.moc"
