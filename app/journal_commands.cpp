#include "app/journal_commands.h"

#include "printer_link/library_link.h"
#include "printer_link/logging_link.h"
#include "printer_link/ports_link.h"
#include "virtual_printer/job_collector.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/journal_recorder.h"
#include "virtual_printer/journal_replay.h"
#include "virtual_printer/printed_folder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTextStream>
#include <QThread>
#include <csignal>

namespace journal_commands {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void interrupt(int)
{
    g_interrupted = 1;
}

// Ctrl+C, logout or shutdown end the replay between calls or in a wait, so that ESC "~0" still
// goes out after an interrupted wait.
class Interruptions
{
public:
    Interruptions()
    {
        g_interrupted = 0;
        for (int i = 0; i < 3; ++i)
            m_before[i] = std::signal(kSignals[i], interrupt);
    }
    ~Interruptions()
    {
        for (int i = 0; i < 3; ++i)
            std::signal(kSignals[i], m_before[i]);
    }
    Interruptions(const Interruptions &) = delete;
    Interruptions &operator=(const Interruptions &) = delete;

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    void (*m_before[3])(int) = {};
};

// Waits for the document until the time limit or an interruption.
class LimitedWaiter : public monitored_mode::Waiter
{
public:
    explicit LimitedWaiter(std::chrono::milliseconds limit)
        : m_limit(limit)
    { }
    [[nodiscard]] bool keepWaiting() override
    {
        if (!m_deadline.has_value())
            m_deadline.emplace(m_limit);
        if (g_interrupted || m_deadline->hasExpired())
            return false;
        QThread::msleep(1);
        return true;
    }

private:
    std::chrono::milliseconds m_limit;
    std::optional<QDeadlineTimer> m_deadline; // from the first wait on
};

QString seconds(std::chrono::milliseconds ms)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(ms.count() / 1000.0, 'g', 6);
}

} // namespace

int render(const Options &options, QTextStream &out, QTextStream &err)
{
    const journal_format::Parsed journal = journal_format::readFile(options.render);
    if (!journal.error.isEmpty()) {
        err << journal.error << Qt::endl;
        return 2;
    }
    const QVector<PaperJob> jobs = collectJobs(journal.entries);
    const auto format = options.pdf ? printed_folder::Format::Pdf : printed_folder::Format::Png;
    if (const QString error = printed_folder::write(jobs, options.renderTo, format);
        !error.isEmpty()) {
        err << error << Qt::endl;
        return 1;
    }
    const auto count = [](qsizetype n, const char *one, const char *many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? one : many));
    };
    out << QStringLiteral("%1 de %2 %3 em %4, com o texto em %5.")
               .arg(count(jobs.size(), "impresso", "impressos"),
                   count(journal.entries.size(), "chamada", "chamadas"),
                   jobs.size() == 1 ? QStringLiteral("gravado") : QStringLiteral("gravados"),
                   options.renderTo, QLatin1String(printed_folder::kListingName))
        << Qt::endl;
    return 0;
}

int replay(const Options &options, QTextStream &out, QTextStream &err)
{
    const settings::Loaded file = settings::read(settings::defaultPath());
    if (!file.problem.isEmpty())
        err << file.problem << Qt::endl;
    const PrinterSettings printer = options::overFile(file.settings, options);
    if (printer.printer == PrinterSettings::Printer::Virtual) {
        err << options::virtualReplay() << Qt::endl;
        return 2;
    }
    const journal_format::Parsed journal = journal_format::readFile(options.replay);
    if (!journal.error.isEmpty()) {
        err << journal.error << Qt::endl;
        return 2;
    }
    std::unique_ptr<PrinterLink> backend;
    if (printer.printer == PrinterSettings::Printer::Library)
        backend = std::make_unique<LibraryLink>(
            printer.libraryPath, QCoreApplication::applicationDirPath());
    else
        backend = std::make_unique<PortsLink>(printer.ports);
    // What is sent may be recorded, as any other printing.
    JournalRecorder recorder(*backend);
    if (!options.journal.isEmpty()) {
        if (const QString error = recorder.start(options.journal); !error.isEmpty()) {
            err << error << Qt::endl;
            return 2;
        }
    }
    QObject::connect(&recorder, &JournalRecorder::failed,
        [&err](const QString &message) { err << message << Qt::endl; });
    LoggingLink link(recorder);

    const Interruptions interruptions;
    LimitedWaiter waiter(options.waitTimeout);
    const journal_replay::Result result = journal_replay::replay(
        link, journal.entries, waiter,
        [&](const journal_replay::Event &event) {
            out << journal_replay::describe(journal.entries, event) << Qt::endl;
        },
        [] { return g_interrupted != 0; });
    const QString givenUp = g_interrupted
        ? QStringLiteral("interrompido")
        : QStringLiteral("o documento não veio em %1 s").arg(seconds(options.waitTimeout));
    const QString summary = journal_replay::summary(result, givenUp);
    if (result.outcome != journal_replay::Outcome::Done) {
        err << summary << Qt::endl;
        return 1;
    }
    out << summary << Qt::endl;
    return 0;
}

} // namespace journal_commands
