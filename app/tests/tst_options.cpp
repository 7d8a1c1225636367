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
    out << (o.desktop ? "desktop" : "") << (o.setup ? "setup" : "");
    return out.join(QLatin1Char(' ')).simplified();
}

} // namespace

class TstOptions : public QObject
{
    Q_OBJECT
private slots:
    void parses_data()
    {
        // Columns: args (split at spaces), options.
        columns<QString, QString>();
        const QString ports = "ports /dev/lp0 /dev/lp1 /dev/ttyS0 /dev/ttyS1 ";
        row("default", "", "virtual");
        row("desktop", "--desktop", "virtual desktop");
        row("setup", "--setup", "virtual setup");
        row("library, default name", "--printer library", "library");
        row("library with path", "--printer library --printer-library /x/l.so", "library /x/l.so");
        row("help", "--help", "exit 0");
        row("version", "--version", "exit 0");
        row("unknown option", "--bogus", "exit 2");
        row("unknown printer", "--printer laser", "exit 2");
        row("library path with another printer", "--printer virtual --printer-library x", "exit 2");
        row("stray argument", "file.txt", "exit 2");
        row("ports, defaults", "--printer ports", ports + "9600 hardware 10000");
        row("usb adapters", "--printer ports --lpt1 /dev/usb/lp0 --com2 /dev/ttyUSB0",
            "ports /dev/usb/lp0 /dev/lp1 /dev/ttyS0 /dev/ttyUSB0 9600 hardware 10000");
        row("speed and software flow",
            "--printer ports --serial-speed 19200 --serial-flow software",
            ports + "19200 software 10000");
        row("timeout with a point", "--printer ports --write-timeout 0.3",
            ports + "9600 hardware 300");
        row("timeout with a comma", "--printer ports --write-timeout 2,5",
            ports + "9600 hardware 2500");
        row("comma is never grouping", "--printer ports --write-timeout 1,500",
            ports + "9600 hardware 1500");
        row("empty path", "--printer ports --lpt2=", "exit 2");
        row("option repeated", "--printer ports --lpt1 /a --lpt1 /b", "exit 2");
        row("printer repeated", "--printer ports --printer virtual", "exit 2");
        row("speed not a number", "--printer ports --serial-speed rápido", "exit 2");
        row("speed too high", "--printer ports --serial-speed 4000001", "exit 2");
        row("unknown flow", "--printer ports --serial-flow rts", "exit 2");
        row("timeout zero", "--printer ports --write-timeout 0", "exit 2");
        row("timeout below a millisecond", "--printer ports --write-timeout 0.0004", "exit 2");
        row("timeout over an hour", "--printer ports --write-timeout 3601", "exit 2");
        row("timeout not a number", "--printer ports --write-timeout dez", "exit 2");
    }

    void parses()
    {
        auto [line, options] = fetch<QString, QString>();
        const QStringList args = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QStringList program {QStringLiteral("vorel-demo")};
        QCOMPARE(summary(parseOptions(program + args)), options);
        // Port settings mean nothing to another printer: refused, not silently dropped.
        if (options.startsWith(QLatin1String("ports")) && args.size() > 2) {
            const ParsedOptions elsewhere
                = parseOptions(program + QStringList {"--printer", "virtual"} + args.mid(2));
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
