#include "virtual_printer/job_collector.h"
#include "virtual_printer/virtual_printer.h"

#include <QTest>

namespace {

using Call = JournalEntry::Call;

const QDateTime kStart(QDate(2007, 12, 19), QTime(10, 0));

const char *const kLogo = "1b4b2500"
                          "fe008200c600fe00c6008200c200fe00c20082009e20d2209e008200fa048204fa"
                          "008200fe";

struct Step
{
    Call call;
    QByteArray hex;
    int result = 0;
};

// One entry a second, from 10:00:00.
QVector<JournalEntry> journal(const QVector<Step> &steps)
{
    QVector<JournalEntry> out;
    for (const Step &s : steps) {
        out.append({kStart.addSecs(out.size()), s.call, int16_t(888), QByteArray::fromHex(s.hex),
            s.result});
    }
    return out;
}

// "front 0-8", "text 2-2 '4142'": kind, journal rows, and the text it carries.
QString shape(const PaperJob &j)
{
    static const char *const kKinds[]
        = {"front", "observations", "back", "authentication", "monitored", "text"};
    QString out = QStringLiteral("%1 %2-%3")
                      .arg(QString::fromLatin1(kKinds[static_cast<int>(j.kind)]))
                      .arg(j.firstCall)
                      .arg(j.lastCall);
    if (!j.text.isEmpty())
        out += QStringLiteral(" '%1'").arg(QString::fromLatin1(j.text.toHex()));
    return out;
}

// The front print sequence of the sample check with the default layout.
const QVector<Step> kFront = {
    {Call::TX, "1b2e3539303146756c616e6f7d"}, // 01 Fulano
    {Call::TX, "1b2e3539303253e36f205061756c6f7d"}, // 02 São Paulo
    {Call::TX, "1b2e353930333139313230377d"}, // 03 191207
    {Call::TX, "1b2e353930343030303030303233343539387d"}, // 04 000000234598
    {Call::TX, "1b2e353930354f627320317d"}, // 05 Obs 1
    {Call::TX, "1b2e353930364f627320327d"}, // 06 Obs 2
    {Call::TX, "1b2e353930375245414c7d"}, // 07 REAL
    {Call::TX, "1b2e3539303852454149537d"}, // 08 REAIS
    {Call::TX, "1b2e353930393030304e30383038303630373037313030357d"}, // 09 default layout
};

} // namespace

Q_DECLARE_METATYPE(QVector<Step>)

class TstJobCollector : public QObject
{
    Q_OBJECT
private slots:
    void groups_data();
    void groups();
    void frontCarriesTheFields();
    void authenticationCarriesTheLogo();
    void monitoredKeepsWhenTheLineWentOut();
    void oneCallAtATimeGivesTheSameJobs();
};

void TstJobCollector::groups_data()
{
    QTest::addColumn<QVector<Step>>("steps");
    QTest::addColumn<QStringList>("jobs");
    QTest::newRow("front") << kFront << QStringList {"front 0-8"};
    QTest::newRow("observations only") << QVector<Step> {{Call::TX, "1b2e353930354f627320317d"},
        {Call::TX, "1b2e353930364f627320327d"},
        {Call::TX, "1b2e353931303030304e30383038303630373037313030357d"}}
                                       << QStringList {"observations 0-2"};
    QTest::newRow("back, indented") << QVector<Step> {{Call::TX, "1b2e353931357d"},
        {Call::TX, "0a0d202041420d0a20204344"}, {Call::TX, "1b2e353931367d"}}
                                    << QStringList {"back 0-2 '0a0d202041420d0a20204344'"};
    QTest::newRow("back, empty text") << QVector<Step> {{Call::TX, "1b2e353931357d"},
        {Call::TX, ""}, {Call::TX, "1b2e353931367d"}}
                                      << QStringList {"back 0-2"};
    QTest::newRow("simple authentication")
        << QVector<Step> {{Call::TX, QByteArray("1b56") + kLogo + "4142"}}
        << QStringList {"authentication 0-0 '4142'"};
    QTest::newRow("monitored, status read while waiting") << QVector<Step> {{Call::TXI, "1b7e31"},
        {Call::Sleep, "", 1}, {Call::Estado, "", 0xc8}, {Call::Estado, "", 0xd8},
        {Call::TXI, "204242"}, {Call::TXI, "1b7e30"}} << QStringList {"monitored 0-5 '204242'"};
    QTest::newRow("plain text") << QVector<Step> {{Call::TX, "4c696e686120310d0a"}}
                                << QStringList {"text 0-0 '4c696e686120310d0a'"};
    QTest::newRow("test line after a back") << QVector<Step> {{Call::TX, "1b2e353931357d"},
        {Call::TX, "58"}, {Call::TX, "1b2e353931367d"}, {Call::TX, "41420a"}}
                                            << QStringList {"back 0-2 '58'", "text 3-3 '41420a'"};
    QTest::newRow("two fronts, the second without new fields")
        << (kFront + QVector<Step> {kFront.last()}) << QStringList {"front 0-8", "front 9-9"};
    // nothing on paper
    QTest::newRow("drawer") << QVector<Step> {{Call::TX, "1b6f"}} << QStringList {};
    QTest::newRow("empty text") << QVector<Step> {{Call::TX, ""}} << QStringList {};
    QTest::newRow("refused print")
        << QVector<Step> {{Call::TX, kFront.last().hex, -1}} << QStringList {};
    QTest::newRow("refused text") << QVector<Step> {{Call::TX, "41", -1}} << QStringList {};
    QTest::newRow("print cut short")
        << QVector<Step> {{Call::TX, "1b2e353930393030304e3038"}} << QStringList {};
    QTest::newRow("back never ended")
        << QVector<Step> {{Call::TX, "1b2e353931357d"}, {Call::TX, "4142"}} << QStringList {};
    QTest::newRow("back end alone")
        << QVector<Step> {{Call::TX, "1b2e353931367d"}} << QStringList {};
    QTest::newRow("unknown bytes") << QVector<Step> {{Call::TX, "1b40"}} << QStringList {};
}

void TstJobCollector::groups()
{
    QFETCH(QVector<Step>, steps);
    QFETCH(QStringList, jobs);
    QStringList got;
    for (const PaperJob &j : collectJobs(journal(steps)))
        got << shape(j);
    QCOMPARE(got, jobs);
}

void TstJobCollector::frontCarriesTheFields()
{
    const QVector<PaperJob> jobs = collectJobs(journal(kFront));
    QCOMPARE(jobs.size(), 1);
    const PaperJob &j = jobs.first();
    QCOMPARE(j.check.payee, QByteArray("Fulano"));
    QCOMPARE(j.check.city, QByteArray::fromHex("53e36f205061756c6f"));
    QCOMPARE(j.check.date, QByteArray("191207"));
    QCOMPARE(j.check.value, QByteArray("000000234598"));
    QCOMPARE(j.check.observation1, QByteArray("Obs 1"));
    QCOMPARE(j.check.observation2, QByteArray("Obs 2"));
    QCOMPARE(j.check.singular, QByteArray("REAL"));
    QCOMPARE(j.check.plural, QByteArray("REAIS"));
    QCOMPARE(j.printArguments, QByteArray("000N"));
    QCOMPARE(j.layout, QByteArray("08080607071005"));
    QCOMPARE(j.time, kStart.addSecs(8));
}

void TstJobCollector::authenticationCarriesTheLogo()
{
    const QVector<PaperJob> jobs = collectJobs(journal({{Call::TX, QByteArray("1b58") + kLogo}}));
    QCOMPARE(jobs.size(), 1);
    QVERIFY(jobs.first().twice);
    QCOMPARE(jobs.first().image.size(), 37);
    QCOMPARE(jobs.first().image.left(3), QByteArray::fromHex("fe0082"));
    QVERIFY(jobs.first().text.isEmpty());
}

void TstJobCollector::monitoredKeepsWhenTheLineWentOut()
{
    const QVector<PaperJob> jobs = collectJobs(journal({{Call::TXI, "1b7e31"}, {Call::Estado, ""},
        {Call::Estado, ""}, {Call::TXI, "41"}, {Call::TXI, "1b7e30"}}));
    QCOMPARE(jobs.size(), 1);
    QCOMPARE(jobs.first().waitStarted, kStart);
    QCOMPARE(jobs.first().lineTime, kStart.addSecs(3));
    QCOMPARE(jobs.first().time, kStart.addSecs(4));

    const QVector<PaperJob> noLine
        = collectJobs(journal({{Call::TXI, "1b7e31"}, {Call::TXI, "1b7e30"}}));
    QCOMPARE(noLine.size(), 1);
    QVERIFY(!noLine.first().lineTime.isValid());
}

void TstJobCollector::oneCallAtATimeGivesTheSameJobs()
{
    const QVector<JournalEntry> entries = journal(kFront + QVector<Step> {{Call::TX, "4142"}});
    JobCollector collector;
    QStringList got;
    for (int i = 0; i < entries.size(); ++i) {
        const QVector<PaperJob> jobs = collector.add(i, entries.at(i));
        for (const PaperJob &j : jobs)
            got << QStringLiteral("%1:%2").arg(i).arg(shape(j));
    }
    QCOMPARE(got, (QStringList {"8:front 0-8", "9:text 9-9 '4142'"}));
}

QTEST_GUILESS_MAIN(TstJobCollector)
#include "tst_job_collector.moc"
