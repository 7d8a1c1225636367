// Times the journal tools: drawing a journal of 10,000 calls with 1,000 jobs into a folder, as
// --render does, and what recording adds to a call sent to a serial printer: measured on a
// pseudo-terminal, which takes the bytes at once, as the time spent around the port's own call,
// and set against the time a real line at 9600 and 115200 bps takes to carry them. Exits with 1
// when the drawing takes 2 s or more in either format, or recording adds 5 % or more to the call.
#include "printer_link/ports_link.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_recorder.h"
#include "virtual_printer/paper_renderer.h"
#include "virtual_printer/printed_folder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <atomic>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace {

constexpr qint64 kRenderBudgetMs = 2000;
constexpr double kRecordingBudget = 0.05;

const QList<QByteArray> kFront = {"\x1b.5901Fulano de Tal}", "\x1b.5902S\xe3o Paulo}",
    "\x1b.5903191207}", "\x1b.5904000000234598}", "\x1b.5905Obs. um}", "\x1b.5906Obs. dois}",
    "\x1b.5907REAL}", "\x1b.5908REAIS}", "\x1b.5909000N08080607071005}"};

// 1,000 check fronts, each its nine calls and a status read, one a millisecond.
QByteArray journalFile()
{
    QVector<JournalEntry> entries;
    const QDateTime start(QDate(2026, 12, 7), QTime(10, 0));
    for (int job = 0; job < 1000; ++job) {
        for (const QByteArray &bytes : kFront)
            entries.append({start.addMSecs(entries.size()), JournalEntry::Call::TX, 888, bytes, 0});
        entries.append({start.addMSecs(entries.size()), JournalEntry::Call::Estado, 888, {}, 216});
    }
    return journal_format::text(entries).toUtf8();
}

// Read, grouped and drawn into a new folder: what --render does after its start.
qint64 renderMs(const QString &journal, const QString &folder, printed_folder::Format format)
{
    QElapsedTimer t;
    t.start();
    const journal_format::Parsed parsed = journal_format::readFile(journal);
    const QVector<PaperJob> jobs = collectJobs(parsed.entries);
    const QString error = printed_folder::write(jobs, folder, format);
    const qint64 ms = t.elapsed();
    return parsed.error.isEmpty() && error.isEmpty() && jobs.size() == 1000 ? ms : -1;
}

// The far end of a serial line, read as fast as it comes.
class SerialPrinter
{
public:
    SerialPrinter()
    {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
        m_reader = std::thread([this] {
            char buffer[4096];
            pollfd p {m_master, POLLIN, 0};
            while (!m_stop) {
                if (::poll(&p, 1, 50) > 0 && ::read(m_master, buffer, sizeof buffer) <= 0)
                    break;
            }
        });
    }
    ~SerialPrinter()
    {
        m_stop = true;
        m_reader.join();
        ::close(m_slave);
        ::close(m_master);
    }
    QString path;

private:
    int m_master = -1, m_slave = -1;
    std::atomic<bool> m_stop = false;
    std::thread m_reader;
};

// Times what passes through it: the call's own time, apart from what is done around it; and
// waits `pause` after each TX, outside that time.
class TimedLink : public PrinterLink
{
public:
    explicit TimedLink(PrinterLink &inner)
        : m_inner(inner)
    { }
    LinkResult Estado(int16_t port) override { return m_inner.Estado(port); }
    LinkResult TX(int16_t port, const QByteArray &bytes) override
    {
        const auto start = std::chrono::steady_clock::now();
        const LinkResult r = m_inner.TX(port, bytes);
        const auto end = std::chrono::steady_clock::now();
        ns += (end - start).count();
        while (std::chrono::steady_clock::now() - end < pause) { }
        return r;
    }
    LinkResult TXI(int16_t port, const QByteArray &bytes) override
    {
        return m_inner.TXI(port, bytes);
    }
    void Sleep(uint32_t milliseconds) override { m_inner.Sleep(milliseconds); }
    qint64 ns = 0;
    std::chrono::nanoseconds pause {0};

private:
    PrinterLink &m_inner;
};

struct Timing
{
    double callUs; // the port's own time for a call
    double aroundUs; // the rest of each call's time
};

// The nine front calls `rounds` times through `link`, which reaches the port through `timed`.
Timing timePerCall(PrinterLink &link, TimedLink &timed, int rounds)
{
    qint64 ns = 0;
    timed.ns = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const QByteArray &bytes : kFront) {
            const auto start = std::chrono::steady_clock::now();
            (void)link.TX(port_code::kCom1, bytes);
            ns += (std::chrono::steady_clock::now() - start).count();
        }
    }
    const double calls = rounds * kFront.size();
    return {timed.ns / 1e3 / calls, (ns - timed.ns) / 1e3 / calls};
}

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts for the pictures
    QTextStream out(stdout);
    bool within = true;

    const QTemporaryDir dir;
    const QString journal = dir.filePath(QStringLiteral("diario.txt"));
    QFile file(journal);
    if (!file.open(QIODevice::WriteOnly) || file.write(journalFile()) < 0)
        return 1;
    file.close();
    // "gravar" or "render" as the argument runs that half alone.
    const QString only = app.arguments().value(1);
    if (only != QLatin1String("gravar")) {
        // The steps apart: reading and grouping, then drawing without writing a file.
        QElapsedTimer t;
        t.start();
        const QVector<PaperJob> jobs = collectJobs(journal_format::readFile(journal).entries);
        const qint64 readMs = t.restart();
        qint64 pixels = 0;
        for (const PaperJob &job : jobs)
            pixels += paper_renderer::render(job).sizeInBytes();
        out << QStringLiteral("diário\t--render por partes: ler e agrupar 10.000 chamadas; "
                              "desenhar 1.000 cheques (um núcleo, sem gravar)\t%1 ms; %2 ms (%3 "
                              "MB de pixels)\n")
                   .arg(readMs)
                   .arg(t.elapsed())
                   .arg(pixels >> 20);
    }
    for (const auto format : {printed_folder::Format::Png, printed_folder::Format::Pdf}) {
        if (only == QLatin1String("gravar"))
            break;
        const bool pdf = format == printed_folder::Format::Pdf;
        const qint64 ms = renderMs(
            journal, dir.filePath(pdf ? QStringLiteral("pdf") : QStringLiteral("png")), format);
        within = within && ms >= 0 && ms < kRenderBudgetMs;
        out << QStringLiteral("diário\t--render de 10.000 chamadas, 1.000 cheques (%1)\t%2 ms\n")
                   .arg(pdf ? QStringLiteral("pdf") : QStringLiteral("png"))
                   .arg(ms);
    }

    if (only == QLatin1String("render"))
        return within ? 0 : 1;
    // Blocks with and without the recorder in turn, so that a busy moment weighs on both.
    SerialPrinter printer;
    PortSettings settings;
    settings.com1 = printer.path;
    settings.serialSpeed = 115200;
    PortsLink ports(settings);
    TimedLink timed(ports);
    JournalRecorder recorder(timed);
    if (!recorder.start(dir.filePath(QStringLiteral("gravado.txt"))).isEmpty())
        return 1;
    (void)timePerCall(timed, timed, 50); // the port opens on the first call
    // What recording adds to a call: its time around the port's own, less that time without it.
    // TX returns once the system has the bytes, not when the line has carried them: the call's
    // own time is the one to hold recording against. A pause as long as that, in blocks of its
    // own, shows what the mere spacing of the calls does to the port's time on this machine.
    const auto measure = [&](int blocks, std::chrono::nanoseconds pause) {
        QVector<double> call, around[2], whole[3];
        for (int block = 0; block < blocks; ++block) {
            const Timing bare = timePerCall(timed, timed, 100);
            const Timing recorded = timePerCall(recorder, timed, 100);
            timed.pause = pause;
            const Timing paused = timePerCall(timed, timed, 100);
            timed.pause = {};
            call.append(bare.callUs);
            around[0].append(bare.aroundUs);
            around[1].append(recorded.aroundUs);
            whole[0].append(bare.callUs + bare.aroundUs);
            whole[1].append(recorded.callUs + recorded.aroundUs);
            whole[2].append(paused.callUs + paused.aroundUs);
        }
        return std::tuple(median(call), median(around[1]) - median(around[0]), median(whole[0]),
            median(whole[1]), median(whole[2]));
    };
    const double guessUs = std::get<1>(measure(11, {}));
    const auto [callUs, addedUs, bareUs, recordedUs, pausedUs]
        = measure(101, std::chrono::nanoseconds(qint64(std::max(guessUs, 0.0) * 1e3)));
    within = within && addedUs / callUs < kRecordingBudget;
    out << QStringLiteral("diário\tgravar: o que o gravador acrescenta a um TX numa linha serial "
                          "(pty, sem espera da impressora), mediana de 101 blocos de 900 "
                          "chamadas\tTX %1 µs; gravar +%2 µs (+%3 %)\n")
               .arg(callUs, 0, 'f', 2)
               .arg(addedUs, 0, 'f', 2)
               .arg(addedUs / callUs * 100, 0, 'f', 1);
    out << QStringLiteral("diário\tgravar: a chamada inteira, com o TX; e com uma pausa de %1 µs "
                          "no lugar do gravador\tsem gravar %2 µs, gravando %3 µs (+%4 %), com a "
                          "pausa %5 µs (+%6 %)\n")
               .arg(guessUs, 0, 'f', 2)
               .arg(bareUs, 0, 'f', 2)
               .arg(recordedUs, 0, 'f', 2)
               .arg((recordedUs / bareUs - 1) * 100, 0, 'f', 1)
               .arg(pausedUs, 0, 'f', 2)
               .arg((pausedUs / bareUs - 1) * 100, 0, 'f', 1);
    // A real serial printer takes each command at the line's pace: ten bits a byte.
    qsizetype bytes = 0;
    for (const QByteArray &command : kFront)
        bytes += command.size();
    for (const int bps : {9600, 115200}) {
        const double wireUs = 1e6 * 10 * bytes / kFront.size() / bps;
        const double added = addedUs / (wireUs + callUs);
        out << QStringLiteral("diário\tgravar, contra o tempo de linha a %1 bps (calculado: %2 µs "
                              "por comando da frente)\t+%3 %\n")
                   .arg(bps)
                   .arg(wireUs, 0, 'f', 0)
                   .arg(added * 100, 0, 'f', 3);
    }
    out.flush();
    return within ? 0 : 1;
}
