#include "tests/support/test_services.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

class TstVirtualPrinter : public QObject
{
    Q_OBJECT
private slots:
    void startsIdleOnLineWithPaper();
    void journalsEveryCall();
    void failSwitchRefusesTx();
    void operatorSetsStatusBits();
    void clearsAndSavesTheJournal();
    void readableText_data();
    void readableText();
    void monitoredModeFollowsItsCommands_data();
    void monitoredModeFollowsItsCommands();
    void journalNamesMonitoringAndFoldsRepeatedReads();
};

void TstVirtualPrinter::startsIdleOnLineWithPaper()
{
    VirtualPrinter p;
    const int16_t s = p.Estado(888).value;
    QVERIFY(s & 0x10); // on line
    QVERIFY(s & 0x80); // not busy
    QVERIFY(!(s & 0x20)); // paper present
}

void TstVirtualPrinter::journalsEveryCall()
{
    VirtualPrinter p;
    JournalModel model(p);
    (void)p.Estado(888);
    (void)p.TX(2, QByteArray::fromHex("1b6f00"));
    p.TXI(632, "AB");
    p.Sleep(1);
    QCOMPARE(model.rowCount(), 4);
    const auto cell = [&model](int row, int column) {
        return model.data(model.index(row, column), Qt::DisplayRole).toString();
    };
    QCOMPARE(cell(1, JournalModel::Call), QStringLiteral("TX"));
    QCOMPARE(cell(1, JournalModel::Port), QStringLiteral("COM2"));
    QCOMPARE(cell(1, JournalModel::Count), QStringLiteral("3"));
    QCOMPARE(cell(1, JournalModel::Hex), QStringLiteral("1B 6F 00"));
    QCOMPARE(cell(2, JournalModel::Port), QStringLiteral("LPT2"));
    QCOMPARE(cell(3, JournalModel::Call), QStringLiteral("Sleep"));
}

void TstVirtualPrinter::failSwitchRefusesTx()
{
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    QCOMPARE(p.TX(888, "A").value, int16_t(0));
    w.findChild<QCheckBox *>(QStringLiteral("falharComandos"))->setChecked(true);
    QCOMPARE(p.TX(888, "A").value, int16_t(-1));
    QCOMPARE(p.journal().last().result, -1);
}

void TstVirtualPrinter::operatorSetsStatusBits()
{
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    w.findChild<QCheckBox *>(QStringLiteral("bit4"))->setChecked(false);
    w.findChild<QCheckBox *>(QStringLiteral("bit5"))->setChecked(true);
    QCOMPARE(p.Estado(888).value, int16_t(0xD8 - 0x10 + 0x20));
    p.setStatus(0x90);
    QVERIFY(w.findChild<QCheckBox *>(QStringLiteral("bit7"))->isChecked());
    QVERIFY(!w.findChild<QCheckBox *>(QStringLiteral("bit3"))->isChecked());
    grabToPng(&w, QStringLiteral("ImpressoraVirtual"));
}

void TstVirtualPrinter::clearsAndSavesTheJournal()
{
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    (void)p.TX(888, QByteArray::fromHex("1b56"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diario.txt"));
    QCOMPARE(w.saveJournalTo(path), QString());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString saved = QString::fromUtf8(f.readAll());
    QVERIFY(saved.contains(QStringLiteral("\tTX\tLPT1\t2\t0\t1B 56\t‹ESC›V\n")));
    QVERIFY(!w.saveJournalTo(dir.filePath(QStringLiteral("no/such/dir/x.txt"))).isEmpty());
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("limpar")), Qt::LeftButton);
    QVERIFY(p.journal().isEmpty());
}

void TstVirtualPrinter::readableText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("controls named")
        << QByteArray::fromHex("1b0d0a00") << QStringLiteral("‹ESC›‹CR›‹LF›‹00›");
    QTest::newRow("cp1252") << QByteArray::fromHex("53e3806f") << QStringLiteral("Sã€o");
}

void TstVirtualPrinter::readableText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(journal_format::readable(bytes), text);
}

void TstVirtualPrinter::monitoredModeFollowsItsCommands_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("steps"); // "TX <hex>", "TXI <hex>" or "insert"
    QTest::addColumn<int>("after");
    QTest::addColumn<bool>("monitoring");
    QTest::newRow("start clears bit 4") << 0xD8 << QStringList {"TXI 1b7e31"} << 0xC8 << true;
    QTest::newRow("document inserted")
        << 0xD8 << QStringList {"TXI 1b7e31", "insert"} << 0xD8 << true;
    QTest::newRow("end without document restores")
        << 0xD8 << QStringList {"TXI 1b7e31", "TXI 1b7e30"} << 0xD8 << false;
    QTest::newRow("off line stays off line")
        << 0xC8 << QStringList {"TX 1b7e31", "insert", "TX 1b7e30"} << 0xC8 << false;
    QTest::newRow("last command of a string counts")
        << 0xD8 << QStringList {"TX 1b7e30411b7e31"} << 0xC8 << true;
    QTest::newRow("insert outside the mode") << 0xC8 << QStringList {"insert"} << 0xC8 << false;
    QTest::newRow("end without start") << 0xC8 << QStringList {"TXI 1b7e30"} << 0xC8 << false;
    QTest::newRow("other command") << 0xD8 << QStringList {"TXI 1b7e32"} << 0xD8 << false;
}

void TstVirtualPrinter::monitoredModeFollowsItsCommands()
{
    QFETCH(int, status);
    QFETCH(QStringList, steps);
    QFETCH(int, after);
    QFETCH(bool, monitoring);
    VirtualPrinter p;
    p.setStatus(uint8_t(status));
    for (const QString &step : steps) {
        const QByteArray bytes = QByteArray::fromHex(step.section(QLatin1Char(' '), 1).toLatin1());
        if (step == QLatin1String("insert"))
            p.insertDocument();
        else if (step.startsWith(QLatin1String("TXI")))
            p.TXI(888, bytes);
        else
            (void)p.TX(888, bytes);
    }
    QCOMPARE(int(p.status()), after);
    QCOMPARE(p.monitoring(), monitoring);
}

void TstVirtualPrinter::journalNamesMonitoringAndFoldsRepeatedReads()
{
    VirtualPrinter p;
    JournalModel model(p);
    p.TXI(888, QByteArray::fromHex("1b7e31"));
    for (int i = 0; i < 3; ++i)
        (void)p.Estado(888);
    (void)p.Estado(632);
    p.insertDocument();
    (void)p.Estado(632);
    p.TXI(888, QByteArray::fromHex("1b7e30"));
    const auto cell = [&model](int row, int column) {
        return model.data(model.index(row, column), Qt::DisplayRole).toString();
    };
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(cell(0, JournalModel::Commands),
        QStringLiteral("ESC ~1 início da autenticação monitorada"));
    QCOMPARE(cell(1, JournalModel::Call), QStringLiteral("Estado ×3"));
    QCOMPARE(cell(2, JournalModel::Call), QStringLiteral("Estado"));
    QCOMPARE(cell(3, JournalModel::Result), QString::number(0xD8));
    QCOMPARE(
        cell(4, JournalModel::Commands), QStringLiteral("ESC ~0 fim da autenticação monitorada"));
}

QTEST_MAIN(TstVirtualPrinter)
#include "tst_virtual_printer.moc"
