#include "layout/layout_table.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kTwoBanks = "001|08|08|06|07|07|10|05\r\n"
                             "237|09|08|06|07|07|10|05\r\n";
// Marks a table that is not there at all, as opposed to an empty one.
const QByteArray kMissing = QByteArray();

void writeFile(const QDir &dir, const char *name, const QByteArray &bytes)
{
    QFile f(dir.filePath(QLatin1String(name)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QDir &dir, const char *name)
{
    QFile f(dir.filePath(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

layout_table::Fields fields(const QStringList &list)
{
    layout_table::Fields out;
    for (int i = 0; i < layout_table::kFieldCount; ++i)
        out[i] = list.value(i);
    return out;
}

const QStringList kDefaultFields = {"08", "08", "06", "07", "07", "10", "05"};

} // namespace

class TstLayoutTable : public QObject
{
    Q_OBJECT
private slots:
    void lookup_data();
    void lookup();
    void placesTheLineByBankOrder_data();
    void placesTheLineByBankOrder();
    void saves_data();
    void saves();
    void refusesWhatNoLookupCouldUse_data();
    void refusesWhatNoLookupCouldUse();
    void failedSaveLeavesTheTableAsItWas_data();
    void failedSaveLeavesTheTableAsItWas();
    void neverWritesThroughAnOldTemporaryFile();
};

void TstLayoutTable::lookup_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("tableExists");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("layout");

    QTest::newRow("second line") << kTwoBanks << true << "237" << true << "09080607071005";
    QTest::newRow("no line") << kTwoBanks << true << "104" << false << "";
    QTest::newRow("1 is not 001") << kTwoBanks << true << "1" << false << "";
    QTest::newRow("first of two lines for a bank")
        << QByteArray("237|01|02|03|04|05|06|07\r\n237|09|08|06|07|07|10|05\r\n") << true << "237"
        << true << "01020304050607";
    QTest::newRow("short fields give a short layout")
        << QByteArray("001|8|8|6|7|7|10|5\r\n") << true << "001" << true << "88677105";
    QTest::newRow("code only") << QByteArray("237\r\n") << true << "237" << true << "";
    QTest::newRow("empty bank, no table") << kMissing << false << "" << true << "";
    QTest::newRow("empty table") << QByteArray() << true << "237" << false << "";
    QTest::newRow("missing table") << kMissing << false << "237" << false << "";
    QTest::newRow("LF line ends") << QByteArray(
        "001|08|08|06|07|07|10|05\n237|09|08|06|07|07|10|05\n")
                                  << true << "237" << true << "09080607071005";
    QTest::newRow("binary bytes") << QByteArray::fromHex("00ff0d0d0a1b7c7c7c80") << true << "237"
                                  << false << "";
}

void TstLayoutTable::lookup()
{
    QFETCH(QByteArray, table);
    QFETCH(bool, tableExists);
    QFETCH(QString, bank);
    QFETCH(bool, found);
    QFETCH(QString, layout);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    if (tableExists)
        writeFile(dir, layout_table::kTableFile, table);
    const layout_table::LookupResult r = layout_table::lookup(dir, bank);
    QVERIFY(r.error.isEmpty());
    QCOMPARE(r.layout.has_value(), found);
    if (found)
        QCOMPARE(*r.layout, layout);
}

void TstLayoutTable::placesTheLineByBankOrder_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QStringList>("expected"); // "NEW" marks the new line

    const QStringList two = {"001|a", "237|b"};
    QTest::newRow("between") << two << "104" << QStringList {"001|a", "NEW", "237|b"};
    QTest::newRow("after all") << two << "999" << QStringList {"001|a", "237|b", "NEW"};
    QTest::newRow("before all") << two << "000" << QStringList {"NEW", "001|a", "237|b"};
    QTest::newRow("replaces in place") << two << "237" << QStringList {"001|a", "NEW"};
    QTest::newRow("empty table") << QStringList() << "104" << QStringList {"NEW"};
    QTest::newRow("replaces the first of two")
        << QStringList {"237|a", "237|b"} << "237" << QStringList {"NEW", "237|b"};
    QTest::newRow("01 equals 001 as a number only")
        << QStringList {"001|a", "002|b"} << "01" << QStringList {"001|a", "NEW", "002|b"};
    QTest::newRow("unsorted: before the first higher number") << QStringList {
        "500|a", "100|b", "300|c"} << "200" << QStringList {"NEW", "500|a", "100|b", "300|c"};
    QTest::newRow("codes that are no number stay put") << QStringList {"001|a", "", "xyz|q",
        "237|b"} << "104" << QStringList {"001|a", "", "xyz|q", "NEW", "237|b"};
}

void TstLayoutTable::placesTheLineByBankOrder()
{
    QFETCH(QStringList, table);
    QFETCH(QString, bank);
    QFETCH(QStringList, expected);
    QCOMPARE(layout_table::withLine(table, bank, QStringLiteral("NEW")), expected);
}

void TstLayoutTable::saves_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<bool>("tableExists");
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("inserted in bank order")
        << kTwoBanks << true << "104" << QStringList {"10", "11", "12", "13", "14", "15", "16"}
        << QByteArray("001|08|08|06|07|07|10|05\r\n"
                      "104|10|11|12|13|14|15|16\r\n"
                      "237|09|08|06|07|07|10|05\r\n");
    QTest::newRow("empty table") << QByteArray() << true << "341"
                                 << QStringList {"09", "08", "06", "07", "07", "10", "05"}
                                 << QByteArray("341|09|08|06|07|07|10|05\r\n");
    QTest::newRow("missing table is created") << kMissing << false << "001" << kDefaultFields
                                              << QByteArray("001|08|08|06|07|07|10|05\r\n");
    QTest::newRow("one digit gains a leading zero")
        << QByteArray() << true << "001" << QStringList {"8", "8", "6", "7", "7", "10", "5"}
        << QByteArray("001|08|08|06|07|07|10|05\r\n");
    QTest::newRow("LF table rewritten with CR LF")
        << QByteArray("001|08|08|06|07|07|10|05\n") << true << "237" << kDefaultFields
        << QByteArray("001|08|08|06|07|07|10|05\r\n"
                      "237|08|08|06|07|07|10|05\r\n");
    QTest::newRow("foreign lines kept where they are")
        << QByteArray("xx\r\n\r\n500|01|01|01|01|01|01|01\r\n") << true << "104" << kDefaultFields
        << QByteArray("xx\r\n\r\n104|08|08|06|07|07|10|05\r\n500|01|01|01|01|01|01|01\r\n");
}

void TstLayoutTable::saves()
{
    QFETCH(QByteArray, table);
    QFETCH(bool, tableExists);
    QFETCH(QString, bank);
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, expected);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    if (tableExists)
        writeFile(dir, layout_table::kTableFile, table);

    const layout_table::SaveResult r = layout_table::save(dir, bank, ::fields(fields));
    QVERIFY2(r.saved(), qPrintable(r.reason));
    QCOMPARE(readFile(dir, layout_table::kTableFile), expected);
    // The backup is the table as it was, byte for byte; no backup when there was no table.
    QCOMPARE(
        readFile(dir, layout_table::kBackupFile), tableExists ? table : QByteArray("<missing>"));
    QVERIFY(!dir.exists(QLatin1String(layout_table::kTempFile)));

    // The next save backs up this one's table.
    QVERIFY(layout_table::save(dir, QStringLiteral("002"), ::fields(kDefaultFields)).saved());
    QCOMPARE(readFile(dir, layout_table::kBackupFile), expected);
}

void TstLayoutTable::refusesWhatNoLookupCouldUse_data()
{
    using Status = layout_table::SaveResult::Status;
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("field");

    QTest::newRow("empty bank") << "" << kDefaultFields << int(Status::BadBank) << 0;
    QTest::newRow("one-digit bank") << "1" << kDefaultFields << int(Status::BadBank) << 0;
    QTest::newRow("letters in bank") << "1a2" << kDefaultFields << int(Status::BadBank) << 0;
    QTest::newRow("empty field 1") << "001" << QStringList {"", "08", "06", "07", "07", "10", "05"}
                                   << int(Status::BadField) << 1;
    QTest::newRow("letter in field 7")
        << "001" << QStringList {"08", "08", "06", "07", "07", "10", "5x"} << int(Status::BadField)
        << 7;
}

void TstLayoutTable::refusesWhatNoLookupCouldUse()
{
    QFETCH(QString, bank);
    QFETCH(QStringList, fields);
    QFETCH(int, status);
    QFETCH(int, field);
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    writeFile(dir, layout_table::kTableFile, kTwoBanks);
    writeFile(dir, layout_table::kBackupFile, "old backup");

    const layout_table::SaveResult r = layout_table::save(dir, bank, ::fields(fields));
    QCOMPARE(int(r.status), status);
    QCOMPARE(r.field, field);
    QCOMPARE(readFile(dir, layout_table::kTableFile), kTwoBanks);
    QCOMPARE(readFile(dir, layout_table::kBackupFile), QByteArray("old backup"));
    QVERIFY(!dir.exists(QLatin1String(layout_table::kTempFile)));
}

void TstLayoutTable::failedSaveLeavesTheTableAsItWas_data()
{
    QTest::addColumn<QString>("blocked"); // a folder standing where this file goes
    QTest::addColumn<QString>("file"); // the file the failure names
    QTest::newRow("backup cannot be written") << QString::fromLatin1(layout_table::kBackupFile)
                                              << QString::fromLatin1(layout_table::kBackupFile);
    QTest::newRow("temporary file cannot be written") << QString::fromLatin1(
        layout_table::kTempFile) << QString::fromLatin1(layout_table::kTempFile);
}

void TstLayoutTable::failedSaveLeavesTheTableAsItWas()
{
    QFETCH(QString, blocked);
    QFETCH(QString, file);
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    writeFile(dir, layout_table::kTableFile, kTwoBanks);
    QVERIFY(dir.mkpath(blocked + QStringLiteral("/inside")));

    const layout_table::SaveResult r
        = layout_table::save(dir, QStringLiteral("104"), fields(kDefaultFields));
    QCOMPARE(int(r.status), int(layout_table::SaveResult::Status::FileError));
    QCOMPARE(r.file, file);
    QVERIFY(!r.reason.isEmpty());
    QCOMPARE(readFile(dir, layout_table::kTableFile), kTwoBanks);
    if (blocked != QLatin1String(layout_table::kTempFile))
        QVERIFY(!dir.exists(QLatin1String(layout_table::kTempFile)));
}

void TstLayoutTable::neverWritesThroughAnOldTemporaryFile()
{
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    writeFile(dir, layout_table::kTableFile, kTwoBanks);
    writeFile(dir, "victim.txt", "keep me");
    QVERIFY(QFile::link(
        dir.filePath(QStringLiteral("victim.txt")), dir.filePath(layout_table::kTempFile)));

    QVERIFY(layout_table::save(dir, QStringLiteral("104"), fields(kDefaultFields)).saved());
    QCOMPARE(readFile(dir, "victim.txt"), QByteArray("keep me"));
    QVERIFY(!QFileInfo(dir.filePath(layout_table::kTempFile)).isSymLink());
    QVERIFY(!dir.exists(QLatin1String(layout_table::kTempFile)));
    QVERIFY(readFile(dir, layout_table::kTableFile).contains("104|"));
}

QTEST_GUILESS_MAIN(TstLayoutTable)
#include "tst_layout_table.moc"
