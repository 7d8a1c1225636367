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

QTEST_MAIN(TstVirtualPrinter)
#include "tst_virtual_printer.moc"
