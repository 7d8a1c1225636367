#include "printer_link/cp1252.h"

#include <QTest>

class TstCp1252 : public QObject
{
    Q_OBJECT
private slots:
    void encodes_data();
    void encodes();
    void everyByteRoundTrips();
    void refusesWhatItCannotHold_data();
    void refusesWhatItCannotHold();
};

void TstCp1252::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("AB}") << QByteArray::fromHex("41427d");
    QTest::newRow("c cedilla") << QStringLiteral("ç") << QByteArray::fromHex("e7");
    QTest::newRow("a tilde") << QStringLiteral("ã") << QByteArray::fromHex("e3");
    QTest::newRow("euro") << QStringLiteral("€") << QByteArray::fromHex("80");
    QTest::newRow("no-break space")
        << QStringLiteral("R$\u00a02") << QByteArray::fromHex("5224a032");
    QTest::newRow("curly quotes and dash")
        << QStringLiteral("“–”") << QByteArray::fromHex("939694");
    QTest::newRow("zero byte kept") << QString(QChar(0)) << QByteArray(1, '\0');
    QTest::newRow("empty") << QString() << QByteArray();
}

void TstCp1252::encodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QVERIFY(cp1252::canEncode(text));
    QCOMPARE(cp1252::fromUnicode(text), bytes);
}

void TstCp1252::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1252::toUnicode(all);
    QCOMPARE(text.size(), 256);
    QVERIFY(cp1252::canEncode(text));
    QCOMPARE(cp1252::fromUnicode(text), all);
}

void TstCp1252::refusesWhatItCannotHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("greek") << QStringLiteral("αβ");
    QTest::newRow("cjk") << QStringLiteral("a漢");
    QTest::newRow("emoji") << QStringLiteral("😀");
    QTest::newRow("polish l") << QStringLiteral("ł");
}

void TstCp1252::refusesWhatItCannotHold()
{
    QFETCH(QString, text);
    QVERIFY(!cp1252::canEncode(text));
}

QTEST_GUILESS_MAIN(TstCp1252)
#include "tst_cp1252.moc"
