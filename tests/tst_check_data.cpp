#include "check/check_data.h"
#include "check/check_value.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using check_data::CheckData;

namespace {

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);
const QString kNbsp = QString(QChar(0x00A0));

CheckData sample(const QString &back)
{
    return {QStringLiteral("237"), QStringLiteral("R$") + kNbsp + QStringLiteral("2.345,98"),
        QStringLiteral("José"), QStringLiteral("obs 1"), QStringLiteral("obs 2"),
        QStringLiteral("São Paulo"), back};
}

// The six lines of sample() as they stand in the file.
const QByteArray kSampleLines = QByteArray::fromHex("3233370d0a"
                                                    "5224a0322e3334352c39380d0a"
                                                    "4a6f73e90d0a"
                                                    "6f627320310d0a"
                                                    "6f627320320d0a"
                                                    "53e36f205061756c6f0d0a");

} // namespace

class TstCheckData : public QObject
{
    Q_OBJECT
private slots:
    void writesByteForByteAndReadsBack_data();
    void writesByteForByteAndReadsBack();
    void readsAnyContent_data();
    void readsAnyContent();
    void failuresComeBackAsReasons();
    void replacesTheWholeFile();
    void formatsTheValueAsCurrency_data();
    void formatsTheValueAsCurrency();
    void readsDatesInTheShortForm_data();
    void readsDatesInTheShortForm();
};

void TstCheckData::writesByteForByteAndReadsBack_data()
{
    QTest::addColumn<QString>("back");
    QTest::addColumn<QByteArray>("tail"); // what follows the six lines
    QTest::addColumn<QString>("backRead");
    QTest::newRow("no final line break") << "ABC" << QByteArray::fromHex("414243") << "ABC\r\n";
    QTest::newRow("final line break") << "ABC\r\n"
                                      << QByteArray::fromHex("4142430d0a") << "ABC\r\n";
    QTest::newRow("empty") << "" << QByteArray() << "";
    QTest::newRow("two lines and an empty one")
        << "A\r\n\r\nB" << QByteArray::fromHex("410d0a0d0a42") << "A\r\n\r\nB\r\n";
}

void TstCheckData::writesByteForByteAndReadsBack()
{
    QFETCH(QString, back);
    QFETCH(QByteArray, tail);
    QFETCH(QString, backRead);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    QVERIFY(check_data::save(dir, sample(back)).isEmpty());
    QFile file(dir.filePath(QStringLiteral("Dados_cheque.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kSampleLines + tail);

    const check_data::LoadResult loaded = check_data::load(dir);
    QVERIFY(loaded.error.isEmpty());
    QCOMPARE(loaded.data, sample(backRead));
}

void TstCheckData::readsAnyContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("fields"); // bank, value, payee, obs 1, obs 2, city, back

    QTest::newRow("six lines, no back") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n")
                                        << QStringList {"1", "2", "3", "4", "5", "6", ""};
    QTest::newRow("last line without end")
        << QByteArray("237") << QStringList {"237", "", "", "", "", "", ""};
    QTest::newRow("empty file") << QByteArray() << QStringList {"", "", "", "", "", "", ""};
    QTest::newRow("lone LF and CR end lines") << QByteArray(
        "1\n2\r3\r\n4\n\n6\rX\nY") << QStringList {"1", "2", "3", "4", "", "6", "X\r\nY\r\n"};
    QTest::newRow("binary bytes") << QByteArray::fromHex(
        "00ff1b800d0a") << QStringList {QStringLiteral("\u0000ÿ\u001b€"), "", "", "", "", "", ""};
    const QByteArray longLine(100000, 'x');
    QTest::newRow("long lines") << QByteArray(longLine + "\r\n\r\n\r\n\r\n\r\n\r\n" + longLine)
                                << QStringList {QString(longLine), "", "", "", "", "",
                                       QString(longLine) + "\r\n"};
}

void TstCheckData::readsAnyContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, fields);
    const CheckData d = check_data::decode(bytes);
    QCOMPARE(
        (QStringList {d.bank, d.value, d.payee, d.observation1, d.observation2, d.city, d.back}),
        fields);
}

void TstCheckData::failuresComeBackAsReasons()
{
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    QVERIFY(dir.mkpath(QStringLiteral("Dados_cheque.txt/inside")));
    QCOMPARE(check_data::load(dir).error, QStringLiteral("é uma pasta"));
    QCOMPARE(check_data::save(dir, sample({})), QStringLiteral("é uma pasta"));

    const QDir gone(tmp.filePath(QStringLiteral("no such folder")));
    QCOMPARE(check_data::save(gone, sample({})), QStringLiteral("pasta inexistente"));
}

void TstCheckData::replacesTheWholeFile()
{
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    QVERIFY(check_data::save(dir, sample(QString(5000, QLatin1Char('z')))).isEmpty());
    QVERIFY(check_data::save(dir, sample({})).isEmpty());
    QFile file(dir.filePath(QStringLiteral("Dados_cheque.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kSampleLines);
    // Nothing of the temporary files stays behind.
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList {"Dados_cheque.txt"});
}

void TstCheckData::formatsTheValueAsCurrency_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // "_" stands for the no-break space
    QTest::addColumn<QLocale>("locale");

    QTest::newRow("decimal comma") << "2345,98"
                                   << "R$_2.345,98" << kBrazil;
    QTest::newRow("already currency") << "R$_2.345,98"
                                      << "R$_2.345,98" << kBrazil;
    QTest::newRow("plain space") << "R$ 2.345,98"
                                 << "R$_2.345,98" << kBrazil;
    QTest::newRow("whole number") << "1500"
                                  << "R$_1.500,00" << kBrazil;
    QTest::newRow("third decimal rounds up") << "2345,987"
                                             << "R$_2.345,99" << kBrazil;
    QTest::newRow("half a cent") << "0,005"
                                 << "R$_0,01" << kBrazil;
    QTest::newRow("no whole part") << ",5"
                                   << "R$_0,50" << kBrazil;
    QTest::newRow("minus first") << "-5"
                                 << "R$_-5,00" << kBrazil;
    QTest::newRow("minus before symbol") << "-R$ 5,00"
                                         << "R$_-5,00" << kBrazil;
    QTest::newRow("parentheses") << "(R$ 5,00)"
                                 << "R$_-5,00" << kBrazil;
    QTest::newRow("thirteen digits") << "1234567890123"
                                     << "R$_1.234.567.890.123,00" << kBrazil;
    QTest::newRow("US form") << "1234.5"
                             << "$1,234.50" << QLocale(QLocale::English, QLocale::UnitedStates);

    QTest::newRow("empty stays") << ""
                                 << "" << kBrazil;
    QTest::newRow("letters stay") << "dez reais"
                                  << "dez reais" << kBrazil;
    QTest::newRow("point as decimal stays") << "12.34"
                                            << "12.34" << kBrazil;
    QTest::newRow("fourteen digits stay") << "12345678901234"
                                          << "12345678901234" << kBrazil;
}

void TstCheckData::formatsTheValueAsCurrency()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QLocale, locale);
    typed.replace(QLatin1Char('_'), kNbsp);
    shown.replace(QLatin1Char('_'), kNbsp);
    QCOMPARE(check_value::toCurrency(typed, locale), shown);
}

void TstCheckData::readsDatesInTheShortForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("as the field shows it") << "19/12/2007" << QDate(2007, 12, 19);
    QTest::newRow("one-digit day and month") << "5/3/2008" << QDate(2008, 3, 5);
    QTest::newRow("no such day") << "31/02/2008" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TstCheckData::readsDatesInTheShortForm()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(check_value::parseDate(text, kBrazil), date);
    if (date.isValid())
        QCOMPARE(check_value::parseDate(check_value::formatDate(date, kBrazil), kBrazil), date);
}

QTEST_GUILESS_MAIN(TstCheckData)
#include "tst_check_data.moc"
