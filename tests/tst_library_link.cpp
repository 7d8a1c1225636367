#include "app/printer_link/library_link.h"

#include <QFileInfo>
#include <QLibrary>
#include <QTest>

class TstLibraryLink : public QObject
{
    Q_OBJECT
private slots:
    void framesTheString_data();
    void framesTheString();
    void libraryReceivesCountBytesAndTrailingZero_data();
    void libraryReceivesCountBytesAndTrailingZero();
    void statusAndResultsComeBack();
    void loadsOnlyOnFirstCall();
    void missingFunctionIsNamed();
    void missingLibraryIsNamed();
    void neverLooksInTheWorkingDirectory();
};

void TstLibraryLink::framesTheString_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("framed");
    QTest::newRow("empty") << QByteArray() << QByteArray::fromHex("0000000000");
    QTest::newRow("two bytes") << QByteArray("AB")
                               << QByteArray::fromHex("020000004142"
                                                      "00");
    QTest::newRow("embedded zero")
        << QByteArray::fromHex("1b4b2500") << QByteArray::fromHex("040000001b4b250000");
}

void TstLibraryLink::framesTheString()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, framed);
    QCOMPARE(library_link::framed(bytes), framed);
}

void TstLibraryLink::libraryReceivesCountBytesAndTrailingZero_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("text") << QByteArray("ABCDEFGHIJ\n");
    QTest::newRow("zero bytes inside") << QByteArray::fromHex("1b4b250000fe008200");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("long") << QByteArray(70000, 'x');
}

void TstLibraryLink::libraryReceivesCountBytesAndTrailingZero()
{
    QFETCH(QByteArray, bytes);
    LibraryLink link(QStringLiteral(FAKE_LIBRARY), QString());
    const LinkResult r = link.TX(632, bytes);
    QVERIFY2(!r.callFailed(), qPrintable(r.error));

    QLibrary fake(QStringLiteral(FAKE_LIBRARY));
    QVERIFY(fake.load());
    using LastBytes = const char *(*)(uint32_t *);
    auto lastBytes = reinterpret_cast<LastBytes>(fake.resolve("fake_last_bytes"));
    auto lastPort = reinterpret_cast<int (*)()>(fake.resolve("fake_last_port"));
    auto trailingZero = reinterpret_cast<int (*)()>(fake.resolve("fake_trailing_zero"));
    QVERIFY(lastBytes && lastPort && trailingZero);
    uint32_t count = 0;
    const char *received = lastBytes(&count);
    QCOMPARE(QByteArray(received, int(count)), bytes);
    QCOMPARE(lastPort(), 632);
    QCOMPARE(trailingZero(), 1);
}

void TstLibraryLink::statusAndResultsComeBack()
{
    LibraryLink link(QStringLiteral(FAKE_LIBRARY), QString());
    const LinkResult status = link.Estado(888);
    QVERIFY(!status.callFailed());
    QCOMPARE(status.value, int16_t(0x90));
    // The fake refuses three-byte commands with -5.
    const LinkResult refused = link.TX(1, QByteArray("ABC"));
    QCOMPARE(refused.value, int16_t(-5));
    QVERIFY(refused.refused());
    QCOMPARE(link.TXI(2, QByteArray("x")).value, int16_t(1));
}

void TstLibraryLink::loadsOnlyOnFirstCall()
{
    const QString path = QStringLiteral(PARTIAL_LIBRARY);
    LibraryLink link(path, QString());
    QLibrary probe(path);
    // Not loaded by anyone yet: constructing the link loads nothing.
    QVERIFY(!probe.isLoaded());
    QCOMPARE(link.Estado(888).value, int16_t(0x10));
    QVERIFY(probe.isLoaded());
}

void TstLibraryLink::missingFunctionIsNamed()
{
    LibraryLink link(QStringLiteral(PARTIAL_LIBRARY), QString());
    QVERIFY(!link.TX(888, "A").callFailed());
    const LinkResult missing = link.TXI(888, "A");
    QVERIFY(missing.callFailed());
    QVERIFY2(missing.error.contains(QStringLiteral("TXI")), qPrintable(missing.error));
    // The functions that are there keep working.
    QCOMPARE(link.Estado(888).value, int16_t(0x10));
}

void TstLibraryLink::missingLibraryIsNamed()
{
    LibraryLink link(QStringLiteral("/nonexistent/libVorel_Dll.so"), QString());
    const LinkResult r = link.Estado(888);
    QVERIFY(r.callFailed());
    QVERIFY2(r.error.contains(QStringLiteral("/nonexistent/libVorel_Dll.so")), qPrintable(r.error));
    QVERIFY(link.TX(888, "A").refused());
}

void TstLibraryLink::neverLooksInTheWorkingDirectory()
{
    const QStringList names = library_link::candidates(QString(), QStringLiteral("/opt/vorel/bin"));
    QCOMPARE(names,
        QStringList({QStringLiteral("/opt/vorel/bin/libVorel_Dll.so"),
            QStringLiteral("/opt/vorel/bin/Vorel_Dll.so"), QStringLiteral("Vorel_Dll")}));
    for (const QString &n : names)
        QVERIFY(!n.startsWith(QLatin1String("./")));
    QCOMPARE(library_link::candidates(QStringLiteral("/x/lib.so"), QStringLiteral("/opt")),
        QStringList {QStringLiteral("/x/lib.so")});
}

QTEST_GUILESS_MAIN(TstLibraryLink)
#include "tst_library_link.moc"
