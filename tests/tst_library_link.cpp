#include "printer_link/library_link.h"
#include "tests/support/test_helpers.h"

#include <QLibrary>

class TstLibraryLink : public QObject
{
    Q_OBJECT
private slots:
    void libraryReceivesCountBytesAndTrailingZero_data()
    {
        // bytes, framed
        columns<QByteArray, QByteArray>();
        row("text", QByteArray("AB\n"), QByteArray::fromHex("03000000 41420a 00"));
        row("zero bytes inside", QByteArray::fromHex("1b4b2500fe00"),
            QByteArray::fromHex("06000000 1b4b2500fe00 00"));
        row("empty", QByteArray(), QByteArray::fromHex("00000000 00"));
        row("over 64 KiB", QByteArray(70000, 'x'),
            QByteArray::fromHex("70110100") + QByteArray(70000, 'x') + '\0');
    }

    void libraryReceivesCountBytesAndTrailingZero()
    {
        auto [bytes, framed] = fetch<QByteArray, QByteArray>();
        QCOMPARE(library_link::framed(bytes), framed);
        LibraryLink link(QStringLiteral(FAKE_LIBRARY), QString());
        const LinkResult r = link.TX(632, bytes);
        QVERIFY2(!r.callFailed(), qPrintable(r.error));
        // What the library itself saw, read back through its own test entry point.
        using Last = const char *(*)(uint32_t *, int *, int *);
        const auto last = reinterpret_cast<Last>(QLibrary(FAKE_LIBRARY).resolve("fake_last"));
        QVERIFY(last);
        uint32_t count = 0;
        int port = 0, trailingZero = 0;
        const char *received = last(&count, &port, &trailingZero);
        QCOMPARE(QByteArray(received, int(count)), bytes);
        QCOMPARE(port, 632);
        QCOMPARE(trailingZero, 1);
    }

    void resultsComeBackAndMissingPartsAreNamed()
    {
        LibraryLink full(QStringLiteral(FAKE_LIBRARY), QString());
        QCOMPARE(full.Estado(888).value, int16_t(0x90));
        // The fake refuses three-byte commands with -5.
        QVERIFY(full.TX(1, QByteArray("ABC")).refused());
        QCOMPARE(full.TXI(2, QByteArray("x")).value, int16_t(1));

        // Nothing is loaded until the first call; a missing function fails alone.
        const QString partialPath = QStringLiteral(PARTIAL_LIBRARY);
        LibraryLink partial(partialPath, QString());
        QVERIFY(!QLibrary(partialPath).isLoaded());
        QCOMPARE(partial.Estado(888).value, int16_t(0x10));
        QVERIFY(QLibrary(partialPath).isLoaded());
        const LinkResult missing = partial.TXI(888, "A");
        QVERIFY2(missing.callFailed() && missing.error.contains(QStringLiteral("TXI")),
            qPrintable(missing.error));
        QVERIFY(!partial.TX(888, "A").refused());

        LibraryLink absent(QStringLiteral("/nonexistent/libVorel_Dll.so"), QString());
        const LinkResult r = absent.Estado(888);
        QVERIFY2(
            r.error.contains(QStringLiteral("/nonexistent/libVorel_Dll.so")), qPrintable(r.error));
        QVERIFY(absent.TX(888, "A").refused());
    }

    void neverLooksInTheWorkingDirectory()
    {
        QCOMPARE(library_link::candidates(QString(), QStringLiteral("/opt/vorel/bin")),
            QStringList({QStringLiteral("/opt/vorel/bin/libVorel_Dll.so"),
                QStringLiteral("/opt/vorel/bin/Vorel_Dll.so"), QStringLiteral("Vorel_Dll")}));
        QCOMPARE(library_link::candidates(QStringLiteral("/x/lib.so"), QStringLiteral("/opt")),
            QStringList {QStringLiteral("/x/lib.so")});
    }
};

QTEST_GUILESS_MAIN(TstLibraryLink)
#include "tst_library_link.moc"
