#include "virtual_printer/job_collector.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"

#include <QDir>
#include <QTest>

namespace {

const QDateTime kStart(QDate(2007, 12, 19), QTime(10, 0));

const QByteArray kLogo = QByteArray::fromHex(
    "1b4b2500fe008200c600fe00c6008200c200fe00c20082009e20d2209e008200fa048204fa008200fe");

// The jobs printed from these TX calls, one a second from 10:00.
QVector<PaperJob> print(const QVector<QByteArray> &calls)
{
    QVector<JournalEntry> journal;
    for (const QByteArray &bytes : calls) {
        journal.append(
            {kStart.addSecs(journal.size()), JournalEntry::Call::TX, int16_t(888), bytes, 0});
    }
    return collectJobs(journal);
}

QVector<QByteArray> front(const QByteArray &value, const QByteArray &date, const QByteArray &print)
{
    return {QByteArray::fromHex("1b2e3539303146756c616e6f2064652054616c7d"), // Fulano de Tal
        QByteArray::fromHex("1b2e3539303253e36f205061756c6f7d"), // São Paulo
        "\x1b.5903" + date + "}", "\x1b.5904" + value + "}",
        QByteArray::fromHex("1b2e353930354f62732e20756d7d"), // Obs. um
        QByteArray::fromHex("1b2e353930364f62732e20646f69737d"), // Obs. dois
        QByteArray::fromHex("1b2e353930375245414c7d"),
        QByteArray::fromHex("1b2e3539303852454149537d"), print};
}

const QByteArray kPrintDefault
    = QByteArray::fromHex("1b2e353930393030304e30383038303630373037313030357d");

PaperJob only(const QVector<PaperJob> &jobs)
{
    return jobs.size() == 1 ? jobs.first() : PaperJob();
}

// Mean height of the dark pixels below the heading, or -1 when there are none.
double darkRowCentre(const QImage &image, int fromY)
{
    double sum = 0;
    int count = 0;
    for (int y = fromY; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 64) {
                sum += y;
                ++count;
            }
        }
    }
    return count ? sum / count : -1;
}

} // namespace

class TstPaperRenderer : public QObject
{
    Q_OBJECT
private slots:
    void writesPictures_data();
    void writesPictures();
    void checkIsDrawnAtItsSize();
    void logoTopDotIsBitSeven();
    void notes_data();
    void notes();
    void monitoredHeadingTellsWhenTheLineWentOut();
};

void TstPaperRenderer::writesPictures_data()
{
    QTest::addColumn<QVector<QByteArray>>("calls");
    QTest::newRow("cheque_frente") << front("000000234598", "191207", kPrintDefault);
    QTest::newRow("cheque_frente_formato_curto")
        << front("000123456789", "050308", QByteArray("\x1b.5909000N88677105}"));
    QTest::newRow("cheque_frente_maior_valor")
        << front("999999999999", "311299", QByteArray("\x1b.5909000N10090706050403}"));
    QTest::newRow("cheque_so_observacoes") << QVector<QByteArray> {QByteArray("\x1b.5905Obs. um}"),
        QByteArray("\x1b.5906Obs. dois}"), QByteArray("\x1b.5910000N08080607071005}")};
    QTest::newRow("cheque_verso") << QVector<QByteArray> {QByteArray("\x1b.5915}"),
        QByteArray::fromHex("0a0d2020") + "Endossado a Fulano de Tal\r\n  CPF 123.456.789-00\r\n  "
            + QByteArray::fromHex("53e36f205061756c6f"),
        QByteArray("\x1b.5916}")};
    QTest::newRow("autenticacao_simples")
        << QVector<QByteArray> {"\x1bV" + kLogo + " BBB 123 27012030 R$2.345,98"};
    QTest::newRow("autenticacao_dupla")
        << QVector<QByteArray> {"\x1bX" + kLogo + " BBB 123 27012030 R$2.345,98"};
    QTest::newRow("autenticacao_monitorada") << QVector<QByteArray> {
        QByteArray("\x1b~1"), QByteArray(" BBB 123 27012030 R$2.345,98"), QByteArray("\x1b~0")};
    QByteArray ruler;
    for (int n = 1; n <= 20; ++n) {
        ruler += QStringLiteral("Linha%1  1         2         3         4").arg(n, 2).toLatin1();
        if (n < 20)
            ruler += "\r\n";
    }
    QTest::newRow("texto_regua") << QVector<QByteArray> {ruler};
}

void TstPaperRenderer::writesPictures()
{
    QFETCH(QVector<QByteArray>, calls);
    const QVector<PaperJob> jobs = print(calls);
    QCOMPARE(jobs.size(), 1);
    const QImage image = paper_renderer::render(jobs.first());
    QVERIFY(!image.isNull());
    const QString dir = qEnvironmentVariable("VOREL_TEST_OUTPUT", QStringLiteral("screenshots"));
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(image.save(dir + QStringLiteral("/impresso_%1.png").arg(QTest::currentDataTag())));
}

void TstPaperRenderer::checkIsDrawnAtItsSize()
{
    // 175 mm of check plus 4 mm of desk on either side.
    const QImage at8
        = paper_renderer::render(only(print(front("000000234598", "191207", kPrintDefault))), 8);
    QCOMPARE(at8.width(), (175 + 8) * 8);
    const QImage at4
        = paper_renderer::render(only(print(front("000000234598", "191207", kPrintDefault))), 4);
    QCOMPARE(at4.width(), (175 + 8) * 4);
    QVERIFY(at8.height() > (80 + 8) * 8);
}

void TstPaperRenderer::logoTopDotIsBitSeven()
{
    PaperJob top;
    top.kind = PaperJob::Kind::Text;
    top.image = QByteArray::fromHex("80");
    PaperJob bottom = top;
    bottom.image = QByteArray::fromHex("01");
    PaperJob none = top;
    none.image = QByteArray::fromHex("00");
    const int belowHeading = 16 * 8; // heading and desk, in pixels at 8 per mm
    const double topY = darkRowCentre(paper_renderer::render(top), belowHeading);
    const double bottomY = darkRowCentre(paper_renderer::render(bottom), belowHeading);
    QVERIFY(topY > 0);
    // Seven dot pitches of 0.7 mm apart.
    QVERIFY2(qAbs(bottomY - topY - 7 * 0.7 * 8) < 2,
        qPrintable(QStringLiteral("top %1, bottom %2").arg(topY).arg(bottomY)));
    QCOMPARE(darkRowCentre(paper_renderer::render(none), belowHeading), -1.0);
}

void TstPaperRenderer::notes_data()
{
    QTest::addColumn<QVector<QByteArray>>("calls");
    QTest::addColumn<QStringList>("notes");
    QTest::newRow("sample check, nothing to say")
        << front("000000234598", "191207", kPrintDefault) << QStringList {};
    QTest::newRow("short layout")
        << front("000000234598", "191207", QByteArray("\x1b.5909000N88677105}"))
        << QStringList {"formato «88677105» não tem 14 algarismos: usado o padrão 08080607071005"};
    QTest::newRow("empty layout")
        << front("000000234598", "191207", QByteArray("\x1b.5909000N}"))
        << QStringList {"formato «» não tem 14 algarismos: usado o padrão 08080607071005"};
    QTest::newRow("other print arguments")
        << front("000000234598", "191207", QByteArray("\x1b.5909001S08080607071005}"))
        << QStringList {"esperado 000N antes do formato, veio «001S»"};
    QTest::newRow("lines past the bottom edge")
        << front("000000234598", "191207", QByteArray("\x1b.5909000N20202020202020}"))
        << QStringList {"linhas além da borda do cheque (140 mm)"};
    QTest::newRow("value not twelve digits") << front("2.345,98", "191207",
        kPrintDefault) << QStringList {"valor «2.345,98» não é de 12 algarismos"};
    QTest::newRow("no such date") << front("000000234598", "310207", kPrintDefault)
                                  << QStringList {"data «310207» não é DDMMAA"};
    QTest::newRow("observations only need no value or date")
        << QVector<QByteArray> {QByteArray("\x1b.5910000N08080607071005}")} << QStringList {};
    QTest::newRow("back longer than the check") << QVector<QByteArray> {QByteArray("\x1b.5915}"),
        QByteArray(20, '\n'), QByteArray("\x1b.5916}")}
                                                << QStringList {"4 linhas não couberam no verso"};
    QTest::newRow("monitored without a line") << QVector<QByteArray> {QByteArray("\x1b~1"),
        QByteArray("\x1b~0")} << QStringList {"nenhuma linha enviada entre ESC ~1 e ESC ~0"};
    QTest::newRow("image wider than the paper")
        << QVector<QByteArray> {QByteArray("\x1bK\x60\x01", 4) + QByteArray(352, '\x81')}
        << QStringList {"imagem de 352 colunas cortada na borda"};
    QTest::newRow("text longer than shown") << QVector<QByteArray> {QByteArray(150, '\n')}
                                            << QStringList {"mostradas 100 de 151 linhas"};
}

void TstPaperRenderer::notes()
{
    QFETCH(QVector<QByteArray>, calls);
    QFETCH(QStringList, notes);
    QCOMPARE(paper_renderer::notes(only(print(calls))), notes);
}

void TstPaperRenderer::monitoredHeadingTellsWhenTheLineWentOut()
{
    const PaperJob job
        = only(print({QByteArray("\x1b~1"), QByteArray(" BBB"), QByteArray("\x1b~0")}));
    QCOMPARE(paper_renderer::heading(job),
        QStringLiteral("Autenticação monitorada — 19/12/2007 10:00:02.000 — chamadas 1 a 3"));
    QCOMPARE(paper_renderer::details(job),
        QStringLiteral("linha enviada às 10:00:01.000, 1000 ms após ESC ~1"));
}

QTEST_MAIN(TstPaperRenderer)
#include "tst_paper_renderer.moc"
