#include "virtual_printer/amount_words.h"

#include <QTest>

class TstAmountWords : public QObject
{
    Q_OBJECT
private slots:
    void inWords_data();
    void inWords();
    void currencyNamesAsReceived_data();
    void currencyNamesAsReceived();
};

void TstAmountWords::inWords_data()
{
    QTest::addColumn<qulonglong>("cents");
    QTest::addColumn<QString>("words");
    const auto row = [](const char *name, qulonglong cents, const char *words) {
        QTest::newRow(name) << cents << QString::fromUtf8(words);
    };
    // units
    row("zero", 0, "zero REAIS");
    row("one", 100, "um REAL");
    row("two", 200, "dois REAIS");
    row("sixteen, Brazilian spelling", 1600, "dezesseis REAIS");
    row("nineteen", 1900, "dezenove REAIS");
    row("hundred", 10000, "cem REAIS");
    row("hundred and one", 10100, "cento e um REAIS");
    row("two hundred", 20000, "duzentos REAIS");
    // thousands and millions
    row("thousand without um", 100000, "mil REAIS");
    row("thousand and one", 100100, "mil e um REAIS");
    row("one hundred and one thousand", 10100000, "cento e um mil REAIS");
    row("million takes de", 100000000, "um milhão de REAIS");
    row("millions take de", 200000000, "dois milhões de REAIS");
    row("million and a half", 150000000, "um milhão e quinhentos mil REAIS");
    row("million and one", 100000100, "um milhão e um REAIS");
    row("billion takes de", 100000000000, "um bilhão de REAIS");
    row("billion and a million take de", 100100000000, "um bilhão e um milhão de REAIS");
    row("million with cents takes de", 100000050, "um milhão de REAIS e cinquenta centavos");
    // cents
    row("the sample check", 234598,
        "dois mil trezentos e quarenta e cinco REAIS e noventa e oito centavos");
    row("fifty cents", 50, "cinquenta centavos");
    row("one cent", 1, "um centavo");
    row("two cents, masculine", 2, "dois centavos");
    row("one real one cent", 101, "um REAL e um centavo");
    row("seventy cents", 70, "setenta centavos");
    row("two hundred and two cents on reais", 20202, "duzentos e dois REAIS e dois centavos");
    // limits
    row("largest twelve digits", 999999999999ULL,
        "nove bilhões novecentos e noventa e nove milhões novecentos e noventa e nove mil "
        "novecentos e noventa e nove REAIS e noventa e nove centavos");
    row("ten billion", 1000000000000ULL, "dez bilhões de REAIS");
}

void TstAmountWords::inWords()
{
    QFETCH(qulonglong, cents);
    QFETCH(QString, words);
    QCOMPARE(amount_words::inWords(cents, QStringLiteral("REAL"), QStringLiteral("REAIS")), words);
}

void TstAmountWords::currencyNamesAsReceived_data()
{
    QTest::addColumn<QString>("singular");
    QTest::addColumn<QString>("plural");
    QTest::addColumn<qulonglong>("cents");
    QTest::addColumn<QString>("words");
    QTest::newRow("other names, singular") << "DÓLAR"
                                           << "DÓLARES" << 100ULL << QStringLiteral("um DÓLAR");
    QTest::newRow("other names, million")
        << "DÓLAR"
        << "DÓLARES" << 300000000ULL << QStringLiteral("três milhões de DÓLARES");
    QTest::newRow("no names received")
        << ""
        << "" << 234500ULL << QStringLiteral("dois mil trezentos e quarenta e cinco");
    QTest::newRow("no names, million, no dangling de")
        << ""
        << "" << 100000000ULL << QStringLiteral("um milhão");
    QTest::newRow("no names, cents") << ""
                                     << "" << 105ULL << QStringLiteral("um e cinco centavos");
}

void TstAmountWords::currencyNamesAsReceived()
{
    QFETCH(QString, singular);
    QFETCH(QString, plural);
    QFETCH(qulonglong, cents);
    QFETCH(QString, words);
    QCOMPARE(amount_words::inWords(cents, singular, plural), words);
}

QTEST_GUILESS_MAIN(TstAmountWords)
#include "tst_amount_words.moc"
