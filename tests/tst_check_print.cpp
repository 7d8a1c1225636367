#include "check/check_print.h"

#include <QTest>

// The conversions of the front print; the command bytes are checked through the window.
class TstCheckPrint : public QObject
{
    Q_OBJECT
private slots:
    void digitosValor_data();
    void digitosValor();
    void doisDigitos_data();
    void doisDigitos();
    void valueDigits_data();
    void valueDigits();
    void indentsTheBackText_data();
    void indentsTheBackText();
};

void TstCheckPrint::digitosValor_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("digits");
    QTest::newRow("currency") << QStringLiteral("R$\u00a02.345,98") << "000000234598";
    QTest::newRow("empty") << ""
                           << "000000000000";
    QTest::newRow("thirteen digits drop the first") << "R$ 12.345.678.901,23"
                                                    << "234567890123";
    QTest::newRow("minus sign lost") << "-R$ 5,00"
                                     << "000000000500";
    QTest::newRow("no decimals added") << "1500"
                                       << "000000001500";
    QTest::newRow("only ASCII digits") << QStringLiteral("1\u00b2\u0663x9") << "000000000019";
}

void TstCheckPrint::digitosValor()
{
    QFETCH(QString, value);
    QFETCH(QString, digits);
    QCOMPARE(check_print::Digitos_valor(value), digits);
}

void TstCheckPrint::doisDigitos_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("one digit") << 5 << "05";
    QTest::newRow("year") << 2007 << "07";
    QTest::newRow("year 2000") << 2000 << "00";
    QTest::newRow("negative one digit") << -5 << "-5";
    QTest::newRow("lowest") << -32768 << "68";
}

void TstCheckPrint::doisDigitos()
{
    QFETCH(int, n);
    QFETCH(QString, text);
    QCOMPARE(check_print::Dois_digitos(int16_t(n)), text);
}

void TstCheckPrint::valueDigits_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("digits"); // empty: refused
    QTest::newRow("currency form as it stands")
        << QStringLiteral("R$\u00a02.345,98") << "000000234598";
    QTest::newRow("whole number is units") << "1500"
                                           << "000000150000";
    QTest::newRow("rounds as the field would") << "2345,987"
                                               << "000000234599";
    QTest::newRow("empty stays zeros") << ""
                                       << "000000000000";
    QTest::newRow("twelve digits") << "9.999.999.999,99"
                                   << "999999999999";
    QTest::newRow("thirteen digits refused") << "R$ 12.345.678.901,23"
                                             << "";
    QTest::newRow("negative refused") << "R$ -5,00"
                                      << "";
    QTest::newRow("words refused") << "cinco"
                                   << "";
    QTest::newRow("blank refused") << " "
                                   << "";
}

void TstCheckPrint::valueDigits()
{
    QFETCH(QString, value);
    QFETCH(QString, digits);
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    QCOMPARE(check_print::valueDigits(value, brazil).value_or(QString()), digits);
}

// The field itself only holds CR LF breaks; other texts reach the builder from elsewhere.
void TstCheckPrint::indentsTheBackText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lone LF indents") << "A\nB" << QByteArray::fromHex("0a0d2020 410a2020 42");
    QTest::newRow("lone CR does not") << "A\rB" << QByteArray::fromHex("0a0d2020 410d42");
    QTest::newRow("ESC and brace unchanged") << "\x1b}" << QByteArray::fromHex("0a0d2020 1b7d");
}

void TstCheckPrint::indentsTheBackText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(check_print::indentedBack(text).value(1), bytes);
}

QTEST_GUILESS_MAIN(TstCheckPrint)
#include "tst_check_print.moc"
