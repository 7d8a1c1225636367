#include "app/options.h"
#include "app/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

QString fileWith(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("vorel-demo.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

} // namespace

class TstSettings : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void badValuesTakeTheirDefaults_data();
    void badValuesTakeTheirDefaults();
    void writesOrSaysWhy();
    void commandLineOverFile_data();
    void commandLineOverFile();
};

void TstSettings::roundTrip_data()
{
    QTest::addColumn<QStringList>("values"); // key=value, set before writing
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("defaults") << QStringList()
                              << QByteArray("[printer]\nbackend=virtual\ncom1=/dev/ttyS0\n"
                                            "com2=/dev/ttyS1\nlibrary=\nlpt1=/dev/lp0\n"
                                            "lpt2=/dev/lp1\nserial-flow=hardware\n"
                                            "serial-speed=9600\nwrite-timeout=10\n");
    QTest::newRow("every key, awkward paths")
        << QStringList {"backend=ports", "library=/opt/a b,c/libVorel_Dll.so", "lpt1=/dev/usb/lp0",
               "lpt2=@lp", "com1=/dev/serial/by-id/usb-Açaí", "com2=;com2", "serial-speed=115200",
               "serial-flow=none", "write-timeout=0.001"}
        << QByteArray("[printer]\nbackend=ports\ncom1=/dev/serial/by-id/usb-A\xc3\xa7"
                      "a\xc3\xad\ncom2=\";com2\"\nlibrary=\"/opt/a b,c/libVorel_Dll.so\"\n"
                      "lpt1=/dev/usb/lp0\nlpt2=@@lp\nserial-flow=none\nserial-speed=115200\n"
                      "write-timeout=0.001\n");
}

void TstSettings::roundTrip()
{
    QFETCH(QStringList, values);
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    const QString path = settings::defaultPath();
    QCOMPARE(path, dir.filePath(QStringLiteral("vorel-demo/vorel-demo.conf")));
    PrinterSettings written;
    for (const QString &value : values) {
        for (settings::Key key : settings::kKeys) {
            if (value.startsWith(settings::name(key) + QLatin1Char('=')))
                QVERIFY(settings::set(written, key, value.section(QLatin1Char('='), 1)));
        }
    }
    QCOMPARE(changed(written), values);
    QCOMPARE(settings::write(path, written), QString());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), file);
    const settings::Loaded read = settings::read(path);
    QCOMPARE(read.problem, QString());
    QCOMPARE(changed(read.settings), values);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("vorel-demo"))).entryList(QDir::Files),
        QStringList {"vorel-demo.conf"});
}

void TstSettings::badValuesTakeTheirDefaults_data()
{
    QTest::addColumn<QByteArray>("content"); // "/": a folder in the file's place
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("values"); // what is not the default
    QTest::newRow("unknown backend, the rest kept")
        << QByteArray("[printer]\nbackend=laser\ncom1=/dev/ttyUSB0\n")
        << QStringList {"backend=laser: use virtual, library ou ports; vale virtual"}
        << QStringList {"com1=/dev/ttyUSB0"};
    QTest::newRow("three at once, in one message")
        << QByteArray("[printer]\nwrite-timeout=-1\nserial-speed=abc\nserial-flow=rts\n")
        << QStringList {"serial-speed=abc: use um número de 50 a 4000000; vale 9600",
               "serial-flow=rts: use none, hardware ou software; vale hardware",
               "write-timeout=-1: use segundos, de 0,001 a 3600; vale 10"}
        << QStringList();
    QTest::newRow("empty device")
        << QByteArray("[printer]\nlpt1=\nlibrary=\n")
        << QStringList {"lpt1=: use o caminho do dispositivo; vale /dev/lp0"} << QStringList();
    QTest::newRow("decimal comma") << QByteArray("[printer]\nwrite-timeout=2,5\n") << QStringList()
                                   << QStringList {"write-timeout=2.5"};
    QTest::newRow("comments only")
        << QByteArray("; feito à mão\n# nada ainda\n\n") << QStringList() << QStringList();
    QTest::newRow("keys outside [printer], or misspelt")
        << QByteArray("backend=ports\n[printer]\nserial_speed=19200\n")
        << QStringList {"chaves que o programa não conhece (as dele ficam em [printer]): "
                        "backend, printer/serial_speed"}
        << QStringList();
    const QString notIni
        = QStringLiteral("linhas fora do formato INI (a seção [printer] com linhas chave=valor)");
    QTest::newRow("text, not INI")
        << QByteArray("porta da impressora: COM1\n") << QStringList {notIni} << QStringList();
    QTest::newRow("binary") << QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")
                            << QStringList {notIni} << QStringList();
    QTest::newRow("a folder") << QByteArray("/")
                              << QStringList {"não foi possível lê-lo: é uma pasta"}
                              << QStringList();
}

void TstSettings::badValuesTakeTheirDefaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, problems);
    QFETCH(QStringList, values);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("vorel-demo.conf"));
    if (content == "/")
        QVERIFY(QDir().mkdir(path));
    else
        QCOMPARE(fileWith(dir, content), path);
    const settings::Loaded read = settings::read(path);
    QCOMPARE(changed(read.settings), values);
    if (problems.isEmpty()) {
        QCOMPARE(read.problem, QString());
        return;
    }
    QCOMPARE(read.problem,
        QStringLiteral("O arquivo de configuração %1 tem o que o programa não pode usar; no lugar "
                       "valem os padrões:\n- %2")
            .arg(path, problems.join(QStringLiteral("\n- "))));
}

void TstSettings::writesOrSaysWhy()
{
    QTemporaryDir dir;
    // Over a file QSettings reads with an error: replaced whole.
    const QString path = fileWith(dir, "# à mão\n[printer]\nbackend=library\n");
    PrinterSettings ports;
    ports.printer = PrinterSettings::Printer::Ports;
    QCOMPARE(settings::write(path, ports), QString());
    const settings::Loaded read = settings::read(path);
    QCOMPARE(read.problem, QString());
    QCOMPARE(changed(read.settings), QStringList {"backend=ports"});

    const QString blocked = path + QStringLiteral("/vorel-demo.conf");
    QCOMPARE(settings::write(blocked, ports),
        QStringLiteral("Não foi possível gravar %1: o caminho passa por algo que não é uma "
                       "pasta.")
            .arg(blocked));
}

void TstSettings::commandLineOverFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("values"); // of the run, where not the default
    QTest::addColumn<QString>("unused");
    const QByteArray ports("[printer]\nbackend=ports\ncom1=/dev/pts/9\nwrite-timeout=30\n");
    QTest::newRow("file alone") << ports << QStringList()
                                << QStringList {"backend=ports", "com1=/dev/pts/9",
                                       "write-timeout=30"}
                                << QString();
    QTest::newRow("options over keys") << ports
                                       << QStringList {"--com1", "/dev/ttyUSB0", "--write-timeout",
                                              "0,5", "--lpt1", "/dev/usb/lp0"}
                                       << QStringList {"backend=ports", "lpt1=/dev/usb/lp0",
                                              "com1=/dev/ttyUSB0", "write-timeout=0.5"}
                                       << QString();
    QTest::newRow("printer over the file")
        << ports << QStringList {"--printer", "library"}
        << QStringList {"backend=library", "com1=/dev/pts/9", "write-timeout=30"} << QString();
    QTest::newRow("port option, no ports chosen")
        << QByteArray() << QStringList {"--lpt1", "/dev/usb/lp0", "--printer-library", "x.so"}
        << QStringList {"library=x.so", "lpt1=/dev/usb/lp0"}
        << "Sem efeito nesta execução, com a impressora virtual: --printer-library só vale com "
           "--printer library; --lpt1 só vale com --printer ports.";
}

void TstSettings::commandLineOverFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, args);
    QFETCH(QStringList, values);
    QFETCH(QString, unused);
    QTemporaryDir dir;
    const settings::Loaded loaded = settings::read(fileWith(dir, file));
    QCOMPARE(loaded.problem, QString());
    const ParsedOptions parsed = parseOptions(QStringList {"vorel-demo", "--setup"} + args);
    QVERIFY2(!parsed.exit, qPrintable(parsed.output));
    QVERIFY(parsed.options.setup);
    const PrinterSettings run = options::overFile(loaded.settings, parsed.options);
    QCOMPARE(changed(run), values);
    QCOMPARE(options::unused(run, parsed.options), unused);
}

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
