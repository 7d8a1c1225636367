#include "check/check_print.h"

#include <QTest>

namespace {
const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);
}

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
    void commands_data();
    void commands();
    void backText_data();
    void backText();
};

void TstCheckPrint::digitosValor_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("digits");
    QTest::newRow("currency") << QStringLiteral("R$\u00a02.345,98") << "000000234598";
    QTest::newRow("empty") << ""
                           << "000000000000";
    QTest::newRow("thirteen digits drop the first")
        << QStringLiteral("R$ 12.345.678.901,23") << "234567890123";
    QTest::newRow("exactly twelve") << "1234567890,12"
                                    << "123456789012";
    QTest::newRow("minus sign lost") << "-R$ 5,00"
                                     << "000000000500";
    QTest::newRow("parentheses lost") << "(R$ 5,00)"
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
    QTest::newRow("two digits") << 12 << "12";
    QTest::newRow("year") << 2007 << "07";
    QTest::newRow("year 2000") << 2000 << "00";
    QTest::newRow("zero") << 0 << "00";
    QTest::newRow("negative one digit") << -5 << "-5";
    QTest::newRow("negative") << -123 << "23";
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
    QTest::newRow("zero") << "R$ 0,00"
                          << "000000000000";
    QTest::newRow("twelve digits") << "9.999.999.999,99"
                                   << "999999999999";
    QTest::newRow("thirteen digits refused") << "R$ 12.345.678.901,23"
                                             << "";
    QTest::newRow("negative refused") << "R$ -5,00"
                                      << "";
    QTest::newRow("parentheses refused") << "(R$ 5,00)"
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
    const std::optional<QString> got = check_print::valueDigits(value, kBrazil);
    QCOMPARE(got.value_or(QString()), digits);
}

void TstCheckPrint::commands_data()
{
    namespace p = check_print;
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("01 empty payee") << p::payeeCommand({}) << QByteArray::fromHex("1b2e353930317d");
    QTest::newRow("02 city in cp1252") << p::cityCommand(QStringLiteral("São Paulo"))
                                       << QByteArray::fromHex("1b2e3539303253e36f205061756c6f7d");
    QTest::newRow("03 date") << p::dateCommand(QDate(2007, 12, 19))
                             << QByteArray::fromHex("1b2e35393033313931323037 7d");
    QTest::newRow("03 date, year 2000")
        << p::dateCommand(QDate(2000, 3, 5)) << QByteArray::fromHex("1b2e353930333035303330307d");
    QTest::newRow("04 value") << p::valueCommand(QStringLiteral("000000234598"))
                              << QByteArray::fromHex("1b2e35393034 303030303030323334353938 7d");
    QTest::newRow("05 brace inside") << p::observation1Command(QStringLiteral("a}b"))
                                     << QByteArray::fromHex("1b2e35393035617d627d");
    QTest::newRow("06") << p::observation2Command(QStringLiteral("x"))
                        << QByteArray::fromHex("1b2e35393036787d");
    QTest::newRow("07 REAL") << p::currencySingularCommand()
                             << QByteArray::fromHex("1b2e353930375245414c7d");
    QTest::newRow("08 REAIS") << p::currencyPluralCommand()
                              << QByteArray::fromHex("1b2e353930385245414953 7d");
    QTest::newRow("09 default layout, 25 bytes")
        << p::printFrontCommand(QStringLiteral("08080607071005"))
        << QByteArray::fromHex("1b2e353930393030304e30383038303630373037313030357d");
    QTest::newRow("09 empty layout")
        << p::printFrontCommand({}) << QByteArray::fromHex("1b2e353930393030304e7d");
    QTest::newRow("10 default layout")
        << p::printObservationsCommand(QStringLiteral("08080607071005"))
        << QByteArray::fromHex("1b2e353931303030304e30383038303630373037313030357d");
    QTest::newRow("15") << p::backBeginCommand() << QByteArray::fromHex("1b2e353931357d");
    QTest::newRow("16") << p::backEndCommand() << QByteArray::fromHex("1b2e353931367d");
}

void TstCheckPrint::commands()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, bytes);
    QCOMPARE(built, bytes);
}

void TstCheckPrint::backText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("indented");
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("two lines") << "AB\r\nCD" << QByteArray::fromHex("0a0d2020 41420d0a2020 4344")
                               << QByteArray::fromHex("41420d0a4344");
    QTest::newRow("final line break")
        << "AB\r\n"
        << QByteArray::fromHex("0a0d2020 41420d0a2020") << QByteArray::fromHex("41420d0a");
    QTest::newRow("empty") << "" << QByteArray::fromHex("0a0d2020") << QByteArray();
    QTest::newRow("lone LF indents")
        << "A\nB" << QByteArray::fromHex("0a0d2020 410a2020 42") << QByteArray::fromHex("410a42");
    QTest::newRow("lone CR does not")
        << "A\rB" << QByteArray::fromHex("0a0d2020 410d42") << QByteArray::fromHex("410d42");
    QTest::newRow("ESC and brace unchanged")
        << "\x1b}" << QByteArray::fromHex("0a0d2020 1b7d") << QByteArray::fromHex("1b7d");
    QTest::newRow("accents one byte each")
        << QStringLiteral("çã") << QByteArray::fromHex("0a0d2020 e7e3")
        << QByteArray::fromHex("e7e3");
}

void TstCheckPrint::backText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, indented);
    QFETCH(QByteArray, plain);
    const QByteArray begin = QByteArray::fromHex("1b2e353931357d");
    const QByteArray end = QByteArray::fromHex("1b2e353931367d");
    QCOMPARE(check_print::indentedBack(text), (QList<QByteArray> {begin, indented, end}));
    QCOMPARE(check_print::back(text), (QList<QByteArray> {begin, plain, end}));
}

QTEST_GUILESS_MAIN(TstCheckPrint)
#include "tst_check_print.moc"
