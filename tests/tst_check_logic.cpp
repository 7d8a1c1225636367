#include "check/check_data.h"
#include "check/check_print.h"
#include "check/check_value.h"
#include "layout/layout_table.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);

// One table row on one line.
template <class... T> void row(const char *name, const T &...columns)
{
    (QTest::newRow(name) << ... << columns);
}

QByteArray readFile(const QDir &dir, const char *name)
{
    QFile f(dir.filePath(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

// The layout table, the check data file and the conversions of the check print.
class TstCheckLogic : public QObject
{
    Q_OBJECT
private slots:
    void placesTheLineByBankOrder_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("bank");
        QTest::addColumn<QStringList>("expected"); // "NEW" marks the new line
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
        QFETCH(QStringList, table);
        QFETCH(QString, bank);
        QFETCH(QStringList, expected);
        QCOMPARE(layout_table::withLine(table, bank, QStringLiteral("NEW")), expected);
    }

    // No table yet: the first save creates it and no backup; a link left where the temporary
    // file goes is replaced, never written through.
    void firstSaveNeverWritesThroughALink()
    {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QFile victim(dir.filePath(QStringLiteral("victim.txt")));
        QVERIFY(victim.open(QIODevice::WriteOnly) && victim.write("keep me") == 7);
        victim.close();
        QVERIFY(QFile::link(
            dir.filePath(QStringLiteral("victim.txt")), dir.filePath(layout_table::kTempFile)));
        QVERIFY(layout_table::save(
            dir, QStringLiteral("104"), {"08", "08", "06", "07", "07", "10", "05"})
                    .saved());
        QCOMPARE(readFile(dir, "victim.txt"), QByteArray("keep me"));
        QCOMPARE(
            readFile(dir, layout_table::kTableFile), QByteArray("104|08|08|06|07|07|10|05\r\n"));
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
            (QStringList {layout_table::kTableFile, "victim.txt"}));
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

    void readsAnyDataFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields"); // bank, value, payee, obs 1, obs 2, city, back
        const QByteArray longLine(100000, 'x');
        row("six lines, no back", QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n"),
            QStringList {"1", "2", "3", "4", "5", "6", ""});
        row("one line without end", QByteArray("237"), QStringList {"237", "", "", "", "", "", ""});
        row("lone LF and CR end lines", QByteArray("1\n2\r3\r\n4\n\n6\rX\nY"),
            QStringList {"1", "2", "3", "4", "", "6", "X\r\nY\r\n"});
        row("binary bytes", QByteArray::fromHex("00ff1b800d0a"),
            QStringList {QStringLiteral("\u0000ÿ\u001b€"), "", "", "", "", "", ""});
        row("long lines", QByteArray(longLine + "\r\n\r\n\r\n\r\n\r\n\r\n" + longLine),
            QStringList {QString::fromLatin1(longLine), "", "", "", "", "",
                QString::fromLatin1(longLine + "\r\n")});
    }

    void readsAnyDataFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        const check_data::CheckData d = check_data::decode(bytes);
        QCOMPARE((QStringList {
                     d.bank, d.value, d.payee, d.observation1, d.observation2, d.city, d.back}),
            fields);
    }

    void formatsTheValueAsCurrency_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // "_" stands for the no-break space
        QTest::addColumn<QLocale>("locale");
        row("decimal comma", "2345,98", "R$_2.345,98", kBrazil);
        row("already currency", "R$_2.345,98", "R$_2.345,98", kBrazil);
        row("plain space", "R$ 2.345,98", "R$_2.345,98", kBrazil);
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
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QLocale, locale);
        typed.replace(QLatin1Char('_'), QChar(0x00A0));
        shown.replace(QLatin1Char('_'), QChar(0x00A0));
        QCOMPARE(check_value::toCurrency(typed, locale), shown);
    }

    // The field itself only holds CR LF breaks; other texts reach the builder from elsewhere.
    void indentsTheBackText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        row("lone LF indents", "A\nB", QByteArray::fromHex("0a0d2020 410a2020 42"));
        row("lone CR does not", "A\rB", QByteArray::fromHex("0a0d2020 410d42"));
    }

    void indentsTheBackText()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(check_print::indentedBack(text).value(1), bytes);
    }
};

QTEST_GUILESS_MAIN(TstCheckLogic)
#include "tst_check_logic.moc"
