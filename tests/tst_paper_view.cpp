#include "tests/support/test_services.h"
#include "virtual_printer/journal_model.h"
#include "virtual_printer/paper_view.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QCheckBox>
#include <QFile>
#include <QImageReader>
#include <QTableView>

namespace {

const QVector<QByteArray> kFront = {QByteArray("\x1b.5901Fulano de Tal}"),
    QByteArray::fromHex("1b2e3539303253e36f205061756c6f7d"), QByteArray("\x1b.5903191207}"),
    QByteArray("\x1b.5904000000234598}"), QByteArray("\x1b.5905Obs. um}"),
    QByteArray("\x1b.5906Obs. dois}"), QByteArray("\x1b.5907REAL}"), QByteArray("\x1b.5908REAIS}"),
    QByteArray("\x1b.5909000N08080607071005}")};

void sendFront(VirtualPrinter &p)
{
    for (const QByteArray &command : kFront)
        (void)p.TX(888, command);
}

} // namespace

class TstPaperView : public QObject
{
    Q_OBJECT
private slots:
    void showsWhatWasPrinted();
    void paperEndRefusesCommands_data();
    void paperEndRefusesCommands();
    void savesThePicture();
    void journalSavedAndOpenedAgain();
    void openingABadFileKeepsTheJournal();
    void journalShowsDecodedCommands();
};

void TstPaperView::showsWhatWasPrinted()
{
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    PaperView *paper = w.paperView();
    QCOMPARE(paper->jobCount(), 0);
    QVERIFY(paper->currentImage().isNull());
    sendFront(p);
    QCOMPARE(paper->jobCount(), 1);
    QCOMPARE(paper->currentImage().width(), (175 + 8) * 8);
    (void)p.TX(888, QByteArray("\x1bo", 2)); // the drawer prints nothing
    (void)p.TX(888, QByteArray("ABC\n"));
    QCOMPARE(paper->jobCount(), 2);
    QVERIFY(paper->currentImage().width() < (175 + 8) * 8); // the text slip is the newest
    w.resize(1400, 700);
    paper->selectJob(0);
    QVERIFY(!paper->currentImage().isNull());
    grabToPng(&w, QStringLiteral("ImpressoraVirtual_papel"));
}

void TstPaperView::paperEndRefusesCommands_data()
{
    QTest::addColumn<bool>("paperEnd");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("jobs");
    QTest::newRow("paper present") << false << 0 << 1;
    QTest::newRow("paper end") << true << -1 << 0;
}

void TstPaperView::paperEndRefusesCommands()
{
    QFETCH(bool, paperEnd);
    QFETCH(int, result);
    QFETCH(int, jobs);
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    w.findChild<QCheckBox *>(QStringLiteral("bit5"))->setChecked(paperEnd);
    QCOMPARE(int(p.TX(888, QByteArray("\x1b.5909000N08080607071005}")).value), result);
    QCOMPARE(int(p.TXI(888, QByteArray("A")).value), result);
    QCOMPARE(p.journal().at(0).result, result);
    QCOMPARE(w.paperView()->jobCount(), jobs * 2);
    // The status itself still reads, so the operator can see why.
    QCOMPARE(bool(p.Estado(888).value & 0x20), paperEnd);
}

void TstPaperView::savesThePicture()
{
    RecordingMessages messages;
    VirtualPrinter p;
    PaperView paper(p, messages);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cheque.png"));
    QVERIFY(!paper.saveImageTo(path).isEmpty()); // nothing printed yet
    QVERIFY(!QFile::exists(path));
    sendFront(p);
    QCOMPARE(paper.saveImageTo(path), QString());
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), paper.currentImage().size());
    const QString error = paper.saveImageTo(dir.filePath(QStringLiteral("no/such/dir/x.png")));
    QVERIFY(error.contains(QStringLiteral("no/such/dir/x.png")));
}

void TstPaperView::journalSavedAndOpenedAgain()
{
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    (void)p.Estado(888);
    sendFront(p);
    (void)p.TX(2, QByteArray::fromHex("00011b"));
    const QVector<JournalEntry> before = p.journal();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diario.txt"));
    QCOMPARE(w.saveJournalTo(path), QString());
    p.clearJournal();
    QCOMPARE(w.paperView()->jobCount(), 0);

    QCOMPARE(w.openJournalFrom(path), QString());
    QCOMPARE(p.journal().size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        QCOMPARE(p.journal().at(i).bytes, before.at(i).bytes);
        QCOMPARE(p.journal().at(i).port, before.at(i).port);
        QCOMPARE(p.journal().at(i).time, before.at(i).time);
    }
    QCOMPARE(w.paperView()->jobCount(), 1);
    QCOMPARE(w.findChild<QTableView *>(QStringLiteral("journal"))->model()->rowCount(),
        int(before.size()));
}

void TstPaperView::openingABadFileKeepsTheJournal()
{
    RecordingMessages messages;
    VirtualPrinter p;
    VirtualPrinterWindow w(p, messages);
    sendFront(p);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("outro.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("lista de compras\n");
    f.close();
    QCOMPARE(w.openJournalFrom(path),
        QStringLiteral("%1 não é um diário: linha 1: faltam colunas").arg(path));
    QVERIFY(w.openJournalFrom(dir.filePath(QStringLiteral("nada.txt")))
                .startsWith(QStringLiteral("Não foi possível ler")));
    QCOMPARE(p.journal().size(), kFront.size());
    QCOMPARE(w.paperView()->jobCount(), 1);
}

void TstPaperView::journalShowsDecodedCommands()
{
    VirtualPrinter p;
    JournalModel model(p);
    (void)p.Estado(888);
    (void)p.TX(888, QByteArray("\x1b.5901Fulano}"));
    (void)p.TX(888, QByteArray("\x1b.5904000"));
    const auto commands = [&](int row) {
        return model.data(model.index(row, JournalModel::Commands), Qt::DisplayRole).toString();
    };
    QCOMPARE(commands(0), QString());
    QCOMPARE(commands(1), QStringLiteral("01 Favorecido «Fulano»"));
    QCOMPARE(commands(2), QStringLiteral("04 Valor «000» (incompleto)"));
    // Cleared and filled again: no decoded text of the old journal is left over.
    p.clearJournal();
    (void)p.TX(888, QByteArray("\x1bo"));
    QCOMPARE(commands(0), QStringLiteral("ESC o abrir gaveta"));
}

QTEST_MAIN(TstPaperView)
#include "tst_paper_view.moc"
