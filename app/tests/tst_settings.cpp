#include "app/data_folder.h"
#include "app/options.h"
#include "app/settings.h"
#include "app/window_place.h"
#include "tests/support/test_helpers.h"

#include <QTemporaryDir>

namespace {

// "key=value" for every value that is not the default.
QStringList changed(const PrinterSettings &s)
{
    QStringList values;
    for (settings::Key key : settings::kKeys) {
        if (settings::text(s, key) != settings::text({}, key))
            values << settings::name(key) + QLatin1Char('=') + settings::text(s, key);
    }
    return values;
}

// changed(), the journal tools' options and the flags set; or "exit 2", and " silent" when there
// is no text to print.
QString summary(const ParsedOptions &p)
{
    if (p.exit)
        return QStringLiteral("exit %1").arg(p.exitStatus) + (p.output.isEmpty() ? " silent" : "");
    const Options &o = p.options;
    QStringList out = changed(o);
    for (const auto &[name, value] : {std::pair {"journal", o.journal}, {"render", o.render},
             {"to", o.renderTo}, {"replay", o.replay}}) {
        if (!value.isEmpty())
            out << QLatin1String(name) + QLatin1Char('=') + value;
    }
    for (const auto &[name, set] :
        {std::pair {"desktop", o.desktop}, {"setup", o.setup}, {"pdf", o.pdf}}) {
        if (set)
            out << QLatin1String(name);
    }
    if (o.waitTimeout != Options().waitTimeout)
        out << QStringLiteral("wait=%1").arg(o.waitTimeout.count());
    return out.join(QLatin1Char(' '));
}

} // namespace

// The printer settings: the command line, the settings file, and the one over the other.
class TstSettings : public QObject
{
    Q_OBJECT
private slots:
    void parsesTheCommandLine_data()
    {
        // Columns: args (split at spaces), options.
        columns<QString, QString>();
        row("default", "", "");
        row("desktop and setup", "--desktop --setup", "desktop setup");
        row("library with path", "--printer library --printer-library /x/l.so",
            "backend=library library=/x/l.so");
        row("version", "--version", "exit 0");
        row("unknown option", "--bogus", "exit 2");
        row("unknown printer", "--printer laser", "exit 2");
        row("library path with another printer", "--printer virtual --printer-library x", "exit 2");
        row("stray argument", "file.txt", "exit 2");
        row("usb adapters, speed and software flow",
            "--printer ports --lpt1 /dev/usb/lp0 --com2 /dev/ttyUSB0 --serial-speed 19200 "
            "--serial-flow software",
            "backend=ports lpt1=/dev/usb/lp0 com2=/dev/ttyUSB0 serial-speed=19200 "
            "serial-flow=software");
        row("timeout with a point", "--printer ports --write-timeout 0.3",
            "backend=ports write-timeout=0.3");
        row("comma is never grouping", "--printer ports --write-timeout 1,500",
            "backend=ports write-timeout=1.5");
        row("option repeated", "--printer ports --lpt1 /a --lpt1 /b", "exit 2");
        row("speed too high", "--printer ports --serial-speed 4000001", "exit 2");
        row("timeout below a millisecond", "--printer ports --write-timeout 0.0004", "exit 2");
        row("timeout over an hour", "--printer ports --write-timeout 3601", "exit 2");
        row("timeout not a number", "--printer ports --write-timeout dez", "exit 2");
        // The journal tools
        row("render as pdf", "--render d.txt --to out --format pdf", "render=d.txt to=out pdf");
        row("replay recorded, wait in seconds",
            "--replay d.txt --journal j.txt --printer library --wait-timeout 2,5",
            "backend=library journal=j.txt replay=d.txt wait=2500");
        row("render without a folder", "--render d.txt", "exit 2");
        row("folder without render", "--to out", "exit 2");
        row("format unknown", "--render d.txt --to out --format jpg", "exit 2");
        row("render with a printer", "--render d.txt --to out --printer ports", "exit 2");
        row("render and replay", "--render d.txt --to out --replay d.txt", "exit 2");
        row("replay on the virtual printer", "--replay d.txt --printer virtual", "exit 2");
        row("wait without replay", "--wait-timeout 5", "exit 2");
    }

    void parsesTheCommandLine()
    {
        auto [line, options] = fetch<QString, QString>();
        const QStringList args = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QStringList program {QStringLiteral("vorel-demo")};
        QCOMPARE(summary(parseOptions(program + args)), options);
        // Port settings mean nothing to another printer: refused, not silently dropped.
        if (options.startsWith(QLatin1String("backend=ports")) && args.size() > 2) {
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

    void roundTripWithEveryKey()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
        const QString path = settings::defaultPath();
        QCOMPARE(path, dir.filePath(QStringLiteral("vorel-demo/vorel-demo.conf")));
        // Over a file QSettings reads with an error, which must not hide how the write went.
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        writeFile(QDir(), path, "# à mão\n[printer]\nbackend=library\n");
        const QStringList values {"backend=ports", "library=/opt/a b,c/libVorel_Dll.so",
            "lpt1=/dev/usb/lp0", "lpt2=@lp", "com1=/dev/serial/by-id/usb-Açaí", "com2=;com2",
            "serial-speed=115200", "serial-flow=none", "write-timeout=0.001"};
        PrinterSettings written;
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(settings::set(written, settings::kKeys[i], values[i].section('=', 1)));
        QCOMPARE(settings::write(path, written), QString());
        QCOMPARE(readFile(QDir(), path),
            QByteArray("[printer]\nbackend=ports\ncom1=/dev/serial/by-id/usb-A\xc3\xa7"
                       "a\xc3\xad\ncom2=\";com2\"\nlibrary=\"/opt/a b,c/libVorel_Dll.so\"\n"
                       "lpt1=/dev/usb/lp0\nlpt2=@@lp\nserial-flow=none\nserial-speed=115200\n"
                       "write-timeout=0.001\n"));
        const settings::Loaded read = settings::read(path);
        QCOMPARE(read.problem, QString());
        QCOMPARE(changed(read.settings), values);

        const QString blocked = path + QStringLiteral("/vorel-demo.conf");
        QCOMPARE(settings::write(blocked, written),
            QStringLiteral("Não foi possível gravar %1: o caminho passa por algo que não é uma "
                           "pasta.")
                .arg(blocked));
    }

    void badValuesTakeTheirDefaults_data()
    {
        QTest::addColumn<QByteArray>("content"); // kMissing: a folder in the file's place
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QStringList>("values"); // what is not the default
        row("unknown backend, the rest kept",
            QByteArray("[printer]\nbackend=laser\ncom1=/dev/ttyUSB0\nwrite-timeout=2,5\n"),
            QStringList {"backend=laser: use virtual, library ou ports; vale virtual"},
            QStringList {"com1=/dev/ttyUSB0", "write-timeout=2.5"});
        row("four at once, in one message",
            QByteArray("[printer]\nwrite-timeout=-1\nserial-speed=abc\nserial-flow=rts\nlpt1=\n"),
            QStringList {"lpt1=: use o caminho do dispositivo; vale /dev/lp0",
                "serial-speed=abc: use um número de 50 a 4000000; vale 9600",
                "serial-flow=rts: use none, hardware ou software; vale hardware",
                "write-timeout=-1: use segundos, de 0,001 a 3600; vale 10"},
            QStringList());
        row("comments only", QByteArray("; feito à mão\n# nada ainda\n\n"), QStringList(),
            QStringList());
        row("keys outside [printer], or misspelt",
            QByteArray("backend=ports\n[printer]\nserial_speed=19200\n"),
            QStringList {"chaves que o programa não conhece (as dele ficam em [printer]): "
                         "backend, printer/serial_speed"},
            QStringList());
        row("garbage", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"),
            QStringList {"linhas fora do formato INI (a seção [printer] com linhas chave=valor)"},
            QStringList());
        row("a folder", kMissing, QStringList {"não foi possível lê-lo: é uma pasta"},
            QStringList());
    }

    void badValuesTakeTheirDefaults()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, problems);
        QFETCH(QStringList, values);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vorel-demo.conf"));
        writeFile(QDir(dir.path()), QStringLiteral("vorel-demo.conf"), content);
        QVERIFY(content != kMissing || QDir().mkdir(path));
        const settings::Loaded read = settings::read(path);
        QCOMPARE(changed(read.settings), values);
        const QString message
            = QStringLiteral("O arquivo de configuração %1 tem o que o programa não pode usar; no "
                             "lugar valem os padrões:\n- %2")
                  .arg(path, problems.join(QStringLiteral("\n- ")));
        QCOMPARE(read.problem, problems.isEmpty() ? QString() : message);
    }

    void commandLineOverFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("values"); // of the run, where not the default
        QTest::addColumn<QString>("unused");
        row("options over keys",
            QByteArray("[printer]\nbackend=ports\ncom1=/dev/pts/9\nwrite-timeout=30\n"),
            QStringList {
                "--com1", "/dev/ttyUSB0", "--write-timeout", "0,5", "--lpt1", "/dev/usb/lp0"},
            QStringList {
                "backend=ports", "lpt1=/dev/usb/lp0", "com1=/dev/ttyUSB0", "write-timeout=0.5"},
            QString());
        row("options for a printer not chosen", QByteArray(),
            QStringList {"--lpt1", "/dev/usb/lp0", "--printer-library", "x.so"},
            QStringList {"library=x.so", "lpt1=/dev/usb/lp0"},
            "Sem efeito nesta execução, com a impressora virtual: --printer-library só vale com "
            "--printer library; --lpt1 só vale com --printer ports.");
    }

    void commandLineOverFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, args);
        QFETCH(QStringList, values);
        QFETCH(QString, unused);
        QTemporaryDir dir;
        writeFile(QDir(dir.path()), QStringLiteral("vorel-demo.conf"), file);
        const settings::Loaded loaded = settings::read(dir.filePath("vorel-demo.conf"));
        QCOMPARE(loaded.problem, QString());
        const ParsedOptions parsed = parseOptions(QStringList {"vorel-demo"} + args);
        QVERIFY2(!parsed.exit, qPrintable(parsed.output));
        const PrinterSettings run = options::overFile(loaded.settings, parsed.options);
        QCOMPARE(changed(run), values);
        QCOMPARE(options::unused(run, parsed.options), unused);
    }

    // Frames of the virtual printer's window (902×945 wanted, 662×585 the least readable) beside
    // a main window on a screen whose free area is `available`.
    void viewerPlaced_data()
    {
        // Columns: available, main window, place.
        columns<QRect, QRect, QRect>();
        const QRect small(0, 0, 1024, 768), portrait(0, 0, 768, 1280);
        row("right, narrowed and lowered", small, QRect(0, 0, 330, 470), QRect(338, 0, 686, 768));
        row("room on the left only", small, QRect(694, 0, 330, 470), QRect(0, 0, 686, 768));
        row("right; below a panel, kept above the bottom", QRect(0, 30, 1280, 994),
            QRect(0, 500, 330, 470), QRect(338, 79, 902, 945));
        row("portrait screen: below", portrait, QRect(0, 0, 330, 470), QRect(0, 478, 768, 802));
        row("portrait screen: above", portrait, QRect(0, 810, 330, 470), QRect(0, 0, 768, 802));
        row("no room: least covered", small, QRect(100, 80, 800, 600), QRect(122, 0, 902, 768));
    }

    void viewerPlaced()
    {
        auto [available, main, place] = fetch<QRect, QRect, QRect>();
        QCOMPARE(window_place::beside(available, main, QSize(902, 945), QSize(662, 585)), place);
        // Where it was left on a larger screen, it comes back whole.
        QVERIFY(available.contains(window_place::inside(
            available, QRect(available.topLeft() + QPoint(1500, 900), place.size()))));
    }

    // [viewer] is the program's: read leniently, and kept when the setup writes [printer].
    void viewerKept_data()
    {
        // Columns: [viewer] lines, frame, panes, zoom.
        columns<QByteArray, QRect, QList<int>, int>();
        row("kept", QByteArray("frame=@Rect(10 20 900 920)\npanes=400 150 90\nzoom=80\n"),
            QRect(10, 20, 900, 920), QList<int> {400, 150, 90}, 80);
        row("nonsense", QByteArray("frame=x\npanes=400 dez 90\nzoom=muito\n"), QRect(),
            QList<int> {}, 0);
    }

    void viewerKept()
    {
        auto [lines, frame, panes, zoom] = fetch<QByteArray, QRect, QList<int>, int>();
        QTemporaryDir dir;
        const QString path = dir.filePath("vorel-demo.conf");
        writeFile(QDir(dir.path()), "vorel-demo.conf", "[viewer]\n" + lines);
        const ViewerSettings read = settings::readViewer(path);
        QCOMPARE(read, (ViewerSettings {frame, {panes, zoom}}));
        QCOMPARE(settings::read(path).problem, QString());

        PrinterSettings ports;
        ports.printer = PrinterSettings::Printer::Ports;
        QCOMPARE(settings::write(path, ports), QString());
        QCOMPARE(settings::readViewer(path), read);
        QCOMPARE(settings::writeViewer(path, read), QString());
        QCOMPARE(settings::readViewer(path), read);
        QCOMPARE(settings::read(path).settings.printer, PrinterSettings::Printer::Ports);
    }
};

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
