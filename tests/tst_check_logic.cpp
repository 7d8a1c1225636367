#include "check/check_data.h"
#include "check/check_print.h"
#include "check/check_value.h"
#include "layout/layout_table.h"
#include "tests/support/test_helpers.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace {

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);
// The check of sampleFront(): payee, city, date, value, observations 1 and 2, layout.
const QStringList kSample
    = {"José", "São Paulo", "19/12/2007", "R$\u00a02.345,98", "Obs 1", "Obs 2", "09080607071005"};

} // namespace

// The layout table, the check data file and the bytes of the check print.
class TstCheckLogic : public QObject
{
    Q_OBJECT
private slots:
    void placesTheLineByBankOrder_data()
    {
        // expected: "NEW" marks the new line
        // table, bank, expected
        columns<QStringList, QString, QStringList>();
        const QStringList two = {"001|a", "237|b"};
        row("between", two, "104", QStringList {"001|a", "NEW", "237|b"});
        row("appended after all", two, "999", QStringList {"001|a", "237|b", "NEW"});
        row("before all", two, "000", QStringList {"NEW", "001|a", "237|b"});
        row("replaces in place", two, "237", QStringList {"001|a", "NEW"});
        row("empty table", QStringList(), "104", QStringList {"NEW"});
        row("replaces the first of two", QStringList {"237|a", "237|b"}, "237",
            QStringList {"NEW", "237|b"});
        row("codes that are no number stay put", QStringList {"001|a", "", "xyz|q", "237|b"}, "104",
            QStringList {"001|a", "", "xyz|q", "NEW", "237|b"});
    }

    void placesTheLineByBankOrder()
    {
        auto [table, bank, expected] = fetch<QStringList, QString, QStringList>();
        QCOMPARE(layout_table::withLine(table, bank, QStringLiteral("NEW")), expected);
    }

    void savingClearsTemporariesLeftByAnInterruptedSave()
    {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        const auto make = [&dir](const char *name, int ageSeconds) {
            QFile f(dir.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                QFileDevice::FileModificationTime));
        };
        make("Dados_cheque.txt.a1B2c3", 7200); // left by a save killed long ago
        make("Dados_cheque.txt.d4E5f6", 5); // may be another save running now
        make("Dados_cheque.txt.notes", 7200); // not a temporary of ours
        QVERIFY(check_data::save(dir, check_data::CheckData {}).isEmpty());
        QCOMPARE(dir.entryList(QDir::Files),
            QStringList({"Dados_cheque.txt", "Dados_cheque.txt.d4E5f6", "Dados_cheque.txt.notes"}));
    }

    void formatsTheValueAsCurrency_data()
    {
        // shown: "_" stands for the no-break space
        // typed, shown, locale
        columns<QString, QString, QLocale>();
        row("decimal comma", "2345,98", "R$_2.345,98", kBrazil);
        row("already currency", "R$_2.345,98", "R$_2.345,98", kBrazil);
        row("whole number", "1500", "R$_1.500,00", kBrazil);
        row("third decimal rounds up", "2345,987", "R$_2.345,99", kBrazil);
        row("half a cent", "0,005", "R$_0,01", kBrazil);
        row("minus first", "-5", "R$_-5,00", kBrazil);
        row("parentheses", "(R$ 5,00)", "R$_-5,00", kBrazil);
        row("thirteen digits", "1234567890123", "R$_1.234.567.890.123,00", kBrazil);
        row("US form", "1234.5", "$1,234.50", QLocale(QLocale::English, QLocale::UnitedStates));
        row("letters stay", "dez reais", "dez reais", kBrazil);
        row("point as decimal stays", "12.34", "12.34", kBrazil);
        row("fourteen digits stay", "12345678901234", "12345678901234", kBrazil);
    }

    void formatsTheValueAsCurrency()
    {
        auto [typed, shown, locale] = fetch<QString, QString, QLocale>();
        typed.replace(QLatin1Char('_'), QChar(0x00A0));
        shown.replace(QLatin1Char('_'), QChar(0x00A0));
        QCOMPARE(check_value::toCurrency(typed, locale), shown);
    }

    void frontSequence_data()
    {
        // problem: 1: the date, 2: the value; no command then
        // check, commands, problem
        columns<QStringList, QList<QByteArray>, int>();
        // The sample with field `field` changed, and the command that carries it.
        const auto front = [](const char *name, int field, const QString &text, const char *hex) {
            QStringList check = kSample;
            check[field] = text;
            row(name, check, sampleFront(QList<int> {1, 2, 3, 4, 5, 6, 9}.at(field), hex), 0);
        };
        const auto bad = [](const char *name, int field, const QString &text, int problem) {
            QStringList check = kSample;
            check[field] = text;
            row(name, check, QList<QByteArray>(), problem);
        };
        row("sample check", kSample, sampleFront(), 0);
        front("empty payee", 0, "", "1b2e353930317d");
        front("ESC and brace pass as they are", 4, "a}b\x1b", "1b2e35393035 617d621b 7d");
        front("empty layout", 6, "", "1b2e35393039 3030304e 7d");
        front("whole number in units", 3, "1500", "1b2e35393034 303030303030313530303030 7d");
        front("empty value", 3, "", "1b2e35393034 303030303030303030303030 7d");
        front("plain space", 3, "R$ 2.345,98", "1b2e35393034 303030303030323334353938 7d");
        front("twelve digits", 3, "9.999.999.999,99", "1b2e35393034 393939393939393939393939 7d");
        front("year 2000", 2, "01/01/2000", "1b2e35393033 303130313030 7d");
        front("one-digit day and month", 2, "5/3/2008", "1b2e35393033 303530333038 7d");
        bad("no such day", 2, "31/02/2008", 1);
        bad("negative value", 3, "R$\u00a0-5,00", 2);
        bad("thirteen digits", 3, "R$ 12.345.678.901,23", 2);
        bad("not an amount", 3, "cinco reais", 2);
    }

    void frontSequence()
    {
        auto [check, commands, problem] = fetch<QStringList, QList<QByteArray>, int>();
        const check_print::Sequence s = check_print::front(
            {check[0], check[1], check[2], check[3], check[4], check[5], check[6]}, kBrazil);
        QCOMPARE(int(s.problem), problem);
        QCOMPARE(s.commands, commands);
    }

    void backSequence_data()
    {
        // printed: between commands 15 and 16
        // indented, text, printed
        columns<bool, QString, QByteArray>();
        row("indented, empty", true, "", QByteArray::fromHex("0a0d2020"));
        row("lone LF indents", true, "A\nB", QByteArray::fromHex("0a0d2020 410a2020 42"));
        row("lone CR does not", true, "A\rB", QByteArray::fromHex("0a0d2020 410d42"));
        row("plain, ESC, brace and accents", false, "\x1b}çã", QByteArray::fromHex("1b7de7e3"));
    }

    void backSequence()
    {
        auto [indented, text, printed] = fetch<bool, QString, QByteArray>();
        QCOMPARE(indented ? check_print::indentedBack(text) : check_print::back(text),
            (QList<QByteArray> {QByteArray::fromHex("1b2e353931357d"), printed,
                QByteArray::fromHex("1b2e353931367d")}));
    }
};

QTEST_GUILESS_MAIN(TstCheckLogic)
#include "tst_check_logic.moc"
