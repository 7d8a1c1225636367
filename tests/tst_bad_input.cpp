#include "virtual_printer/command_decoder.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/virtual_printer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

// The bytes the decoder branches on, so random strings reach its corners.
const QByteArray kInteresting = QByteArray::fromHex("1b2e3539303130393135317d4b56587e6f0d0a00ff25");

const QVector<QByteArray> kValid = {
    QByteArray::fromHex("1b2e3539303146756c616e6f7d"),
    QByteArray::fromHex("1b2e353930393030304e30383038303630373037313030357d"),
    QByteArray::fromHex("1b2e353931303030304e30383038307d"),
    QByteArray::fromHex("1b2e353930343030303030303233343539387d"),
    QByteArray::fromHex("1b2e353930333139313230377d"),
    QByteArray::fromHex("1b2e353931357d"),
    QByteArray::fromHex("1b2e353931367d"),
    QByteArray::fromHex("1b561b4b2500fe008200c600fe00c6008200c200fe00c20082009e20d2209e008200fa0482"
                        "04fa008200fe4142"),
    QByteArray::fromHex("1b7e31"),
    QByteArray::fromHex("1b7e30"),
    QByteArray::fromHex("1b6f"),
    QByteArray("Linha 1  1         2         3         4\r\n"),
};

QByteArray randomBytes(QRandomGenerator &rng)
{
    const int length = rng.bounded(0, 120);
    QByteArray out(length, '\0');
    const bool biased = rng.bounded(2) == 0;
    for (char &c : out) {
        c = biased ? kInteresting.at(rng.bounded(int(kInteresting.size())))
                   : char(rng.bounded(256));
    }
    return out;
}

QByteArray mutated(QRandomGenerator &rng)
{
    QByteArray out = kValid.at(rng.bounded(int(kValid.size())));
    for (int n = rng.bounded(1, 4); n > 0; --n) {
        const int at = out.isEmpty() ? 0 : rng.bounded(int(out.size()));
        switch (rng.bounded(4)) {
        case 0:
            if (!out.isEmpty())
                out[at] = char(rng.bounded(256));
            break;
        case 1:
            out.insert(at, kInteresting.at(rng.bounded(int(kInteresting.size()))));
            break;
        case 2:
            out.remove(at, 1);
            break;
        default:
            out.truncate(at);
        }
    }
    return out;
}

// Every byte in exactly one command, in order, none empty.
bool coversEveryByte(const QByteArray &bytes, const QVector<command_decoder::Command> &commands)
{
    qsizetype next = 0;
    for (const command_decoder::Command &c : commands) {
        if (c.offset != next || c.length <= 0)
            return false;
        next += c.length;
    }
    return next == bytes.size();
}

} // namespace

class TstBadInput : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void randomAndMutatedCalls();
    void everyCutOfTheValidCommands();
    void hugeCallsStayBounded_data();
    void hugeCallsStayBounded();
};

void TstBadInput::init()
{
    // A warning here means some text of the input was taken for something else.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
}

void TstBadInput::randomAndMutatedCalls()
{
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator rng(seed);
    QElapsedTimer timer;
    timer.start();
    JobCollector collector;
    QVector<JournalEntry> journal;
    int pictures = 0;
    for (int i = 0; i < 4000; ++i) {
        const QByteArray bytes = rng.bounded(2) ? randomBytes(rng) : mutated(rng);
        const auto commands = command_decoder::decode(bytes);
        QVERIFY2(coversEveryByte(bytes, commands),
            qPrintable(QStringLiteral("seed %1, bytes %2")
                           .arg(seed)
                           .arg(QString::fromLatin1(bytes.toHex()))));
        (void)command_decoder::summary(commands);
        journal.append({QDateTime::currentDateTime(), JournalEntry::Call::TX, int16_t(888), bytes,
            rng.bounded(10) == 0 ? -1 : 0});
        for (const PaperJob &job : collector.add(i, journal.last())) {
            const QImage image = paper_renderer::render(job, 2);
            QVERIFY2(!image.isNull(), qPrintable(QStringLiteral("seed %1").arg(seed)));
            ++pictures;
        }
    }
    QVERIFY(pictures > 100);
    qInfo("seed %u: 4000 calls, %d pictures in %lld ms", seed, pictures, timer.elapsed());
}

void TstBadInput::everyCutOfTheValidCommands()
{
    for (const QByteArray &valid : kValid) {
        for (qsizetype cut = 0; cut <= valid.size(); ++cut) {
            const QByteArray bytes = valid.left(cut);
            QVERIFY(coversEveryByte(bytes, command_decoder::decode(bytes)));
            for (const PaperJob &job : collectJobs({{QDateTime::currentDateTime(),
                     JournalEntry::Call::TX, int16_t(888), bytes, 0}}))
                QVERIFY(!paper_renderer::render(job, 2).isNull());
        }
    }
}

void TstBadInput::hugeCallsStayBounded_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("a megabyte of line feeds") << QByteArray(1 << 20, '\n');
    QTest::newRow("a megabyte of one line") << QByteArray(1 << 20, 'A');
    QTest::newRow("widest bit image") << QByteArray("\x1bK\xff\xff", 4) + QByteArray(65535, '\xff');
    QTest::newRow("authentication with a long line")
        << QByteArray("\x1bV\x1bK\x02\x00\xff\xff", 8) + QByteArray(100000, 'x');
    QTest::newRow("a long payee then print")
        << QByteArray("\x1b.5901") + QByteArray(100000, 'y') + "}\x1b.5909000N}";
    QTest::newRow("a long back") << QByteArray("\x1b.5915}") + QByteArray(200000, 'z')
            + QByteArray("\x1b.5916}");
    QTest::newRow("ten thousand escapes") << QByteArray(10000, '\x1b');
}

void TstBadInput::hugeCallsStayBounded()
{
    QFETCH(QByteArray, bytes);
    QElapsedTimer timer;
    timer.start();
    const auto commands = command_decoder::decode(bytes);
    QVERIFY(coversEveryByte(bytes, commands));
    for (const PaperJob &job : collectJobs(
             {{QDateTime::currentDateTime(), JournalEntry::Call::TX, int16_t(888), bytes, 0}})) {
        const QImage image = paper_renderer::render(job);
        // No picture is taller than a hundred lines of text on the slip.
        QVERIFY(image.height() < 8 * 600);
        QVERIFY(image.width() < 8 * 200);
    }
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_MAIN(TstBadInput)
#include "tst_bad_input.moc"
