#include "virtual_printer/check_front.h"
#include "virtual_printer/print_grid.h"

#include <QTest>

using check_front::Heights;

class TstCheckFront : public QObject
{
    Q_OBJECT
private slots:
    void heights_data();
    void heights();
    void value_data();
    void value();
    void placeAndDate_data();
    void placeAndDate();
    void splitsAmount_data();
    void splitsAmount();
    void laysText_data();
    void laysText();
};

void TstCheckFront::heights_data()
{
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<QList<int>>("mm");
    QTest::addColumn<bool>("defaulted");
    const QList<int> standard {8, 16, 22, 29, 36, 46, 51};
    QTest::newRow("default") << QByteArray("08080607071005") << standard << false;
    QTest::newRow("custom") << QByteArray("10090706050403")
                            << QList<int> {10, 19, 26, 32, 37, 41, 44} << false;
    QTest::newRow("zero gaps") << QByteArray("00000000000000") << QList<int> {0, 0, 0, 0, 0, 0, 0}
                               << false;
    QTest::newRow("past the edge, kept")
        << QByteArray("99999999999999") << QList<int> {99, 198, 297, 396, 495, 594, 693} << false;
    QTest::newRow("short, one-digit fields") << QByteArray("88677105") << standard << true;
    QTest::newRow("empty") << QByteArray() << standard << true;
    QTest::newRow("a letter") << QByteArray("0808060707100A") << standard << true;
    QTest::newRow("a blank") << QByteArray("08 80607071005") << standard << true;
    QTest::newRow("sixteen digits") << QByteArray("0808060707100500") << standard << true;
}

void TstCheckFront::heights()
{
    QFETCH(QByteArray, layout);
    QFETCH(QList<int>, mm);
    QFETCH(bool, defaulted);
    const Heights h = check_front::heights(layout);
    QCOMPARE(QList<int>(h.mm.begin(), h.mm.end()), mm);
    QCOMPARE(h.defaulted, defaulted);
    QCOMPARE(check_front::at(h, check_front::Line::Payee), mm.at(3));
}

void TstCheckFront::value_data()
{
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");
    QTest::newRow("sample") << QByteArray("000000234598") << true << QStringLiteral("2.345,98");
    QTest::newRow("zero") << QByteArray("000000000000") << true << QStringLiteral("0,00");
    QTest::newRow("cents only") << QByteArray("000000000005") << true << QStringLiteral("0,05");
    QTest::newRow("largest") << QByteArray("999999999999") << true
                             << QStringLiteral("9.999.999.999,99");
    QTest::newRow("fewer digits") << QByteArray("1500") << true << QStringLiteral("15,00");
    QTest::newRow("thirteen digits") << QByteArray("1234567890123") << false << QString();
    QTest::newRow("empty") << QByteArray() << false << QString();
    QTest::newRow("a comma") << QByteArray("0000002345,98") << false << QString();
    QTest::newRow("a sign") << QByteArray("-00000000500") << false << QString();
}

void TstCheckFront::value()
{
    QFETCH(QByteArray, digits);
    QFETCH(bool, valid);
    QFETCH(QString, text);
    const std::optional<uint64_t> cents = check_front::cents(digits);
    QCOMPARE(cents.has_value(), valid);
    if (valid)
        QCOMPARE(check_front::valueText(*cents), text);
}

void TstCheckFront::placeAndDate_data()
{
    QTest::addColumn<QString>("city");
    QTest::addColumn<QByteArray>("ddmmyy");
    QTest::addColumn<QString>("text");
    QTest::newRow("sample") << QStringLiteral("São Paulo") << QByteArray("191207")
                            << QStringLiteral("São Paulo, 19 de dezembro de 2007");
    QTest::newRow("single-digit day, year 2000") << QStringLiteral("Recife") << QByteArray("050300")
                                                 << QStringLiteral("Recife, 5 de março de 2000");
    QTest::newRow("no city") << QString() << QByteArray("010108")
                             << QStringLiteral("1 de janeiro de 2008");
    QTest::newRow("leap day") << QStringLiteral("Natal") << QByteArray("290208")
                              << QStringLiteral("Natal, 29 de fevereiro de 2008");
    QTest::newRow("no such day, shown as sent")
        << QStringLiteral("Natal") << QByteArray("290207") << QStringLiteral("Natal, 290207");
    QTest::newRow("month 13") << QStringLiteral("Natal") << QByteArray("011307")
                              << QStringLiteral("Natal, 011307");
    QTest::newRow("too short") << QStringLiteral("Natal") << QByteArray("1912")
                               << QStringLiteral("Natal, 1912");
}

void TstCheckFront::placeAndDate()
{
    QFETCH(QString, city);
    QFETCH(QByteArray, ddmmyy);
    QFETCH(QString, text);
    QCOMPARE(check_front::placeAndDate(city, ddmmyy), text);
}

void TstCheckFront::splitsAmount_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<bool>("fits");
    QTest::newRow("all on the first") << "um REAL" << 20 << 20 << "um REAL"
                                      << "" << true;
    QTest::newRow("breaks between words") << "dois mil trezentos REAIS" << 12 << 20 << "dois mil"
                                          << "trezentos REAIS" << true;
    QTest::newRow("exactly full") << "dois mil" << 8 << 20 << "dois mil"
                                  << "" << true;
    QTest::newRow("first word too long for line 1") << "novecentos mil" << 5 << 20 << ""
                                                    << "novecentos mil" << true;
    QTest::newRow("too long for both") << "um dois tres quatro" << 7 << 7 << "um dois"
                                       << "tres quatro" << false;
    QTest::newRow("empty") << "" << 5 << 5 << ""
                           << "" << true;
}

void TstCheckFront::splitsAmount()
{
    QFETCH(QString, words);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QFETCH(bool, fits);
    const check_front::AmountLines lines = check_front::splitAmount(words,
        [&](const QString &text, int line) { return text.size() <= (line == 0 ? first : second); });
    QCOMPARE(lines.first, line1);
    QCOMPARE(lines.second, line2);
    QCOMPARE(lines.fits, fits);
}

void TstCheckFront::laysText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("maxRows");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("total");
    QTest::newRow("CR LF") << QByteArray::fromHex("41420d0a4344") << 10 << 5
                           << QStringList {"AB", "CD"} << 2;
    QTest::newRow("indented back") << QByteArray::fromHex("0a0d202041420d0a20204344") << 10 << 5
                                   << QStringList {"", "  AB", "  CD"} << 3;
    QTest::newRow("lone LF starts at the margin")
        << QByteArray::fromHex("41420a4344") << 10 << 5 << QStringList {"AB", "CD"} << 2;
    QTest::newRow("lone CR overwrites")
        << QByteArray::fromHex("414243440d7879") << 10 << 5 << QStringList {"xyCD"} << 1;
    QTest::newRow("wraps at the last column")
        << QByteArray("ABCDEFG") << 3 << 5 << QStringList {"ABC", "DEF", "G"} << 3;
    QTest::newRow("exactly full, then LF")
        << QByteArray("ABC\r\nD") << 3 << 5 << QStringList {"ABC", "D"} << 2;
    QTest::newRow("rows beyond the limit counted")
        << QByteArray("A\nB\nC\nD") << 5 << 2 << QStringList {"A", "B"} << 4;
    QTest::newRow("cp1252") << QByteArray::fromHex("53e36f80") << 10 << 1 << QStringList {"São€"}
                            << 1;
    QTest::newRow("control bytes take no place")
        << QByteArray::fromHex("41004209") << 10 << 1 << QStringList {"AB"} << 1;
    QTest::newRow("empty") << QByteArray() << 10 << 1 << QStringList {""} << 1;
}

void TstCheckFront::laysText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, columns);
    QFETCH(int, maxRows);
    QFETCH(QStringList, rows);
    QFETCH(int, total);
    const print_grid::Grid g = print_grid::lay(text, columns, maxRows);
    QCOMPARE(g.rows, rows);
    QCOMPARE(g.totalRows, total);
}

QTEST_GUILESS_MAIN(TstCheckFront)
#include "tst_check_front.moc"
