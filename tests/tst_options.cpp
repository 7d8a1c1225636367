#include "app/data_folder.h"
#include "app/options.h"

#include <QDir>
#include <QTemporaryDir>

#include <QTest>

class TstOptions : public QObject
{
    Q_OBJECT
private slots:
    void parses_data();
    void parses();
    void entersTheDataFolder();
};

void TstOptions::parses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitStatus"); // -1: runs
    QTest::addColumn<int>("printer");
    QTest::addColumn<QString>("library");
    using P = Options::Printer;
    QTest::newRow("default virtual") << QStringList() << -1 << int(P::Virtual) << QString();
    QTest::newRow("library, default name")
        << QStringList {"--printer", "library"} << -1 << int(P::Library) << QString();
    QTest::newRow("library with path")
        << QStringList {"--printer", "library", "--printer-library", "/x/l.so"} << -1
        << int(P::Library) << QStringLiteral("/x/l.so");
    QTest::newRow("help") << QStringList {"--help"} << 0 << 0 << QString();
    QTest::newRow("version") << QStringList {"--version"} << 0 << 0 << QString();
    QTest::newRow("unknown option") << QStringList {"--bogus"} << 2 << 0 << QString();
    QTest::newRow("unknown printer") << QStringList {"--printer", "laser"} << 2 << 0 << QString();
    QTest::newRow("library path without library")
        << QStringList {"--printer-library", "x"} << 2 << 0 << QString();
    QTest::newRow("desktop") << QStringList {"--desktop"} << -1 << int(P::Virtual) << QString();
    QTest::newRow("stray argument") << QStringList {"file.txt"} << 2 << 0 << QString();
}

void TstOptions::parses()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitStatus);
    QFETCH(int, printer);
    QFETCH(QString, library);
    const ParsedOptions parsed = parseOptions(QStringList {QStringLiteral("vorel-demo")} + args);
    QCOMPARE(parsed.exit, exitStatus >= 0);
    if (parsed.exit) {
        QCOMPARE(parsed.exitStatus, exitStatus);
        QVERIFY(!parsed.output.isEmpty());
        return;
    }
    QCOMPARE(int(parsed.options.printer), printer);
    QCOMPARE(parsed.options.libraryPath, library);
}

void TstOptions::entersTheDataFolder()
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

QTEST_GUILESS_MAIN(TstOptions)
#include "tst_options.moc"
