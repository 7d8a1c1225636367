#include "app/options.h"
#include "app/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QString fileWith(const QString &folder, const QByteArray &content)
{
    const QString path = folder + QStringLiteral("/vorel-demo.conf");
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
    void roundTripWithEveryKey();
    void badValuesTakeTheirDefaults_data();
    void badValuesTakeTheirDefaults();
    void commandLineOverFile_data();
    void commandLineOverFile();
};

void TstSettings::roundTripWithEveryKey()
{
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    const QString path = settings::defaultPath();
    QCOMPARE(path, dir.filePath(QStringLiteral("vorel-demo/vorel-demo.conf")));
    // Over a file QSettings reads with an error, which must not hide how the write went.
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QCOMPARE(fileWith(QFileInfo(path).path(), "# à mão\n[printer]\nbackend=library\n"), path);
    const QStringList values {"backend=ports", "library=/opt/a b,c/libVorel_Dll.so",
        "lpt1=/dev/usb/lp0", "lpt2=@lp", "com1=/dev/serial/by-id/usb-Açaí", "com2=;com2",
        "serial-speed=115200", "serial-flow=none", "write-timeout=0.001"};
    PrinterSettings written;
    for (int i = 0; i < values.size(); ++i)
        QVERIFY(settings::set(written, settings::kKeys[i], values[i].section(QLatin1Char('='), 1)));
    QCOMPARE(settings::write(path, written), QString());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(),
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

void TstSettings::badValuesTakeTheirDefaults_data()
{
    QTest::addColumn<QByteArray>("content"); // "/": a folder in the file's place
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QStringList>("values"); // what is not the default
    QTest::newRow("unknown backend, the rest kept")
        << QByteArray("[printer]\nbackend=laser\ncom1=/dev/ttyUSB0\nwrite-timeout=2,5\n")
        << QStringList {"backend=laser: use virtual, library ou ports; vale virtual"}
        << QStringList {"com1=/dev/ttyUSB0", "write-timeout=2.5"};
    QTest::newRow("four at once, in one message")
        << QByteArray("[printer]\nwrite-timeout=-1\nserial-speed=abc\nserial-flow=rts\nlpt1=\n")
        << QStringList {"lpt1=: use o caminho do dispositivo; vale /dev/lp0",
               "serial-speed=abc: use um número de 50 a 4000000; vale 9600",
               "serial-flow=rts: use none, hardware ou software; vale hardware",
               "write-timeout=-1: use segundos, de 0,001 a 3600; vale 10"}
        << QStringList();
    QTest::newRow("comments only")
        << QByteArray("; feito à mão\n# nada ainda\n\n") << QStringList() << QStringList();
    QTest::newRow("keys outside [printer], or misspelt")
        << QByteArray("backend=ports\n[printer]\nserial_speed=19200\n")
        << QStringList {"chaves que o programa não conhece (as dele ficam em [printer]): "
                        "backend, printer/serial_speed"}
        << QStringList();
    QTest::newRow("garbage")
        << QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")
        << QStringList {"linhas fora do formato INI (a seção [printer] com linhas chave=valor)"}
        << QStringList();
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
    const QString path = dir.filePath(QStringLiteral("vorel-demo.conf"));
    QVERIFY(content == "/" ? QDir().mkdir(path) : fileWith(dir.path(), content) == path);
    const settings::Loaded read = settings::read(path);
    QCOMPARE(changed(read.settings), values);
    const QString message
        = QStringLiteral("O arquivo de configuração %1 tem o que o programa não pode usar; no "
                         "lugar valem os padrões:\n- %2")
              .arg(path, problems.join(QStringLiteral("\n- ")));
    QCOMPARE(read.problem, problems.isEmpty() ? QString() : message);
}

void TstSettings::commandLineOverFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("values"); // of the run, where not the default
    QTest::addColumn<QString>("unused");
    const QByteArray ports("[printer]\nbackend=ports\ncom1=/dev/pts/9\nwrite-timeout=30\n");
    const QStringList fromFile {"backend=ports", "com1=/dev/pts/9", "write-timeout=30"};
    QTest::newRow("file alone") << ports << QStringList() << fromFile << QString();
    QTest::newRow("options over keys") << ports
                                       << QStringList {"--com1", "/dev/ttyUSB0", "--write-timeout",
                                              "0,5", "--lpt1", "/dev/usb/lp0"}
                                       << QStringList {"backend=ports", "lpt1=/dev/usb/lp0",
                                              "com1=/dev/ttyUSB0", "write-timeout=0.5"}
                                       << QString();
    QTest::newRow("printer over the file")
        << ports << QStringList {"--printer", "library"}
        << QStringList {"backend=library", "com1=/dev/pts/9", "write-timeout=30"} << QString();
    QTest::newRow("options for a printer not chosen")
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
    const settings::Loaded loaded = settings::read(fileWith(dir.path(), file));
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
