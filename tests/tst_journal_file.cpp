#include "virtual_printer/journal_format.h"
#include "virtual_printer/virtual_printer.h"

#include <QFile>
#include <QTest>

using Call = JournalEntry::Call;

class TstJournalFile : public QObject
{
    Q_OBJECT
private slots:
    void readsTheGoldenFile();
    void writesTheGoldenFileBackByteForByte();
    void roundTripsEveryByte();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void acceptsCrLfAndBlankLines();

private:
    static QByteArray golden();
};

QByteArray TstJournalFile::golden()
{
    QFile f(QStringLiteral(TEST_DATA "/diario.txt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TstJournalFile::readsTheGoldenFile()
{
    const journal_format::Parsed p = journal_format::parse(golden());
    QCOMPARE(p.error, QString());
    QCOMPARE(p.entries.size(), 6);
    const JournalEntry &estado = p.entries.at(0);
    QCOMPARE(estado.call, Call::Estado);
    QCOMPARE(estado.port, int16_t(888));
    QCOMPARE(estado.result, 216);
    QCOMPARE(estado.time, QDateTime(QDate(2007, 12, 19), QTime(10, 0)));
    QCOMPARE(p.entries.at(1).bytes, QByteArray::fromHex("1b2e353930317d"));
    QCOMPARE(p.entries.at(1).time.time().msec(), 125);
    QCOMPARE(p.entries.at(2).call, Call::TXI);
    QCOMPARE(p.entries.at(2).port, int16_t(632));
    QCOMPARE(p.entries.at(2).result, -1);
    QCOMPARE(p.entries.at(3).call, Call::Sleep);
    QCOMPARE(p.entries.at(3).port, int16_t(0));
    QCOMPARE(p.entries.at(4).port, int16_t(2));
    QCOMPARE(p.entries.at(4).bytes, QByteArray::fromHex("0009e30a"));
    QCOMPARE(p.entries.at(5).port, int16_t(5));
    QVERIFY(p.entries.at(5).bytes.isEmpty());
}

void TstJournalFile::writesTheGoldenFileBackByteForByte()
{
    const QByteArray file = golden();
    QVERIFY(!file.isEmpty());
    QCOMPARE(journal_format::text(journal_format::parse(file).entries).toUtf8(), file);
}

void TstJournalFile::roundTripsEveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QDateTime t(QDate(2024, 2, 29), QTime(0, 0, 0, 1));
    const QVector<JournalEntry> entries = {{t, Call::TX, 888, all, 0},
        {t.addMSecs(1), Call::TXI, -32768, QByteArray(3, '\0'), -1},
        {t.addMSecs(2), Call::Estado, 32767, {}, 255, 250}, {t.addDays(1), Call::Sleep, 0, {}, 1},
        {t.addMSecs(3), Call::TX, 1, QByteArray("a\tb\r\nc"), 0}};
    const journal_format::Parsed back
        = journal_format::parse(journal_format::text(entries).toUtf8());
    QCOMPARE(back.error, QString());
    QCOMPARE(back.entries.size(), entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(back.entries.at(i).time, entries.at(i).time);
        QCOMPARE(back.entries.at(i).call, entries.at(i).call);
        QCOMPARE(back.entries.at(i).port, entries.at(i).port);
        QCOMPARE(back.entries.at(i).bytes, entries.at(i).bytes);
        QCOMPARE(back.entries.at(i).result, entries.at(i).result);
        QCOMPARE(back.entries.at(i).repeats, entries.at(i).repeats);
    }
}

void TstJournalFile::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    const QByteArray good = "2007-12-19T10:00:00.000\tTX\tLPT1\t1\t0\t41\tA\n";
    QTest::newRow("too few columns") << good + "2007-12-19T10:00:00.000\tTX\tLPT1\n"
                                     << QStringLiteral("linha 2: faltam colunas");
    QTest::newRow("no date") << QByteArray("10:00:00.000\tTX\tLPT1\t1\t0\t41\tA\n")
                             << QStringLiteral("linha 1: hora inválida");
    QTest::newRow("unknown call") << QByteArray("2007-12-19T10:00:00.000\tRX\tLPT1\t1\t0\t41\t\n")
                                  << QStringLiteral("linha 1: chamada desconhecida");
    QTest::newRow("port out of range")
        << QByteArray("2007-12-19T10:00:00.000\tTX\t40000\t1\t0\t41\t\n")
        << QStringLiteral("linha 1: porta inválida");
    QTest::newRow("result not a number")
        << QByteArray("2007-12-19T10:00:00.000\tTX\tLPT1\t1\tok\t41\t\n")
        << QStringLiteral("linha 1: resultado inválido");
    QTest::newRow("odd hex") << QByteArray("2007-12-19T10:00:00.000\tTX\tLPT1\t1\t0\t4\t\n")
                             << QStringLiteral("linha 1: bytes inválidos");
    QTest::newRow("not hex") << QByteArray("2007-12-19T10:00:00.000\tTX\tLPT1\t1\t0\tZZ\t\n")
                             << QStringLiteral("linha 1: bytes inválidos");
    QTest::newRow("count disagrees")
        << QByteArray("2007-12-19T10:00:00.000\tTX\tLPT1\t2\t0\t41\t\n")
        << QStringLiteral("linha 1: contagem de bytes não confere");
    QTest::newRow("some other file")
        << QByteArray("\x89PNG\r\n\x1a\n") << QStringLiteral("linha 1: faltam colunas");
}

void TstJournalFile::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const journal_format::Parsed p = journal_format::parse(file);
    QCOMPARE(p.error, error);
}

void TstJournalFile::acceptsCrLfAndBlankLines()
{
    const journal_format::Parsed p
        = journal_format::parse("2007-12-19T10:00:00.000\tTX\tLPT1\t1\t0\t41\tA\r\n\r\n"
                                "2007-12-19T10:00:00.001\tTX\tLPT1\t1\t0\t42\tB\r\n");
    QCOMPARE(p.error, QString());
    QCOMPARE(p.entries.size(), 2);
    QCOMPARE(p.entries.at(1).bytes, QByteArray("B"));
}

QTEST_GUILESS_MAIN(TstJournalFile)
#include "tst_journal_file.moc"
