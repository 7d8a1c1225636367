#include "virtual_printer/job_collector.h"

#include "printer_link/printer_commands.h"
#include "virtual_printer/command_decoder.h"
#include "virtual_printer/virtual_printer.h"

using command_decoder::Command;
using Number = printer_commands::CheckNumber;

namespace {

constexpr qsizetype kPrintArgumentsLength = sizeof printer_commands::kPrintArguments - 1;

QByteArray *field(CheckFields &f, int number)
{
    switch (static_cast<Number>(number)) {
    case Number::Payee:
        return &f.payee;
    case Number::City:
        return &f.city;
    case Number::Date:
        return &f.date;
    case Number::Value:
        return &f.value;
    case Number::Observation1:
        return &f.observation1;
    case Number::Observation2:
        return &f.observation2;
    case Number::CurrencySingular:
        return &f.singular;
    case Number::CurrencyPlural:
        return &f.plural;
    default:
        return nullptr;
    }
}

} // namespace

void JobCollector::finish(PaperJob job)
{
    m_done.append(std::move(job));
}

void JobCollector::flushCall(int index, const JournalEntry &entry)
{
    if (!m_callJobOpen)
        return;
    m_callJobOpen = false;
    const bool printsSomething = m_callJob.kind == PaperJob::Kind::Authentication
        || !m_callJob.text.isEmpty() || !m_callJob.image.isEmpty();
    if (!printsSomething)
        return;
    m_callJob.firstCall = m_callJob.lastCall = index;
    m_callJob.time = entry.time;
    finish(std::move(m_callJob));
}

QVector<PaperJob> JobCollector::add(int index, const JournalEntry &entry)
{
    m_done.clear();
    const bool carriesBytes
        = entry.call == JournalEntry::Call::TX || entry.call == JournalEntry::Call::TXI;
    if (!carriesBytes || entry.result < 0)
        return {};

    const auto callJob = [&](PaperJob::Kind kind) -> PaperJob & {
        if (!m_callJobOpen) {
            m_callJob = PaperJob();
            m_callJob.kind = kind;
            m_callJobOpen = true;
        }
        return m_callJob;
    };
    const auto checkJob = [&](PaperJob::Kind kind, const QByteArray &data) {
        flushCall(index, entry);
        PaperJob job;
        job.kind = kind;
        job.firstCall = m_fieldsFrom >= 0 ? m_fieldsFrom : index;
        job.lastCall = index;
        job.time = entry.time;
        job.check = m_fields;
        job.printArguments = data.left(kPrintArgumentsLength);
        job.layout = data.mid(kPrintArgumentsLength);
        m_fieldsFrom = -1;
        finish(std::move(job));
    };

    for (const Command &c : command_decoder::decode(entry.bytes)) {
        switch (c.kind) {
        case Command::Kind::Check:
            if (!c.complete)
                break; // the printer never saw its end
            if (QByteArray *f = field(m_fields, c.number)) {
                *f = c.data;
                if (m_fieldsFrom < 0)
                    m_fieldsFrom = index;
            } else if (c.number == int(Number::PrintFront)) {
                checkJob(PaperJob::Kind::CheckFront, c.data);
            } else if (c.number == int(Number::PrintObservations)) {
                checkJob(PaperJob::Kind::CheckObservations, c.data);
            } else if (c.number == int(Number::BackBegin)) {
                flushCall(index, entry);
                m_inBack = true;
                m_back.clear();
                m_backFrom = index;
            } else if (c.number == int(Number::BackEnd) && m_inBack) {
                flushCall(index, entry);
                m_inBack = false;
                PaperJob job;
                job.kind = PaperJob::Kind::CheckBack;
                job.firstCall = m_backFrom;
                job.lastCall = index;
                job.time = entry.time;
                job.text = std::exchange(m_back, {});
                finish(std::move(job));
            }
            break;
        case Command::Kind::AuthSimple:
        case Command::Kind::AuthDouble:
            flushCall(index, entry);
            callJob(PaperJob::Kind::Authentication).twice = c.kind == Command::Kind::AuthDouble;
            break;
        case Command::Kind::BitImage:
            if (m_callJobOpen)
                m_callJob.image += c.data;
            else
                callJob(PaperJob::Kind::Text).image = c.data;
            break;
        case Command::Kind::Text:
            if (m_callJobOpen && m_callJob.kind == PaperJob::Kind::Authentication) {
                m_callJob.text += c.data;
            } else if (m_inBack) {
                m_back += c.data;
            } else if (m_monitored) {
                m_monitoredJob.text += c.data;
                m_monitoredJob.lineTime = entry.time;
            } else {
                callJob(PaperJob::Kind::Text).text += c.data;
            }
            break;
        case Command::Kind::MonitorOn:
            flushCall(index, entry);
            m_monitored = true;
            m_monitoredJob = PaperJob();
            m_monitoredJob.kind = PaperJob::Kind::MonitoredAuthentication;
            m_monitoredJob.firstCall = index;
            m_monitoredJob.waitStarted = entry.time;
            break;
        case Command::Kind::MonitorOff:
            flushCall(index, entry);
            if (m_monitored) {
                m_monitored = false;
                m_monitoredJob.lastCall = index;
                m_monitoredJob.time = entry.time;
                finish(std::exchange(m_monitoredJob, {}));
            }
            break;
        case Command::Kind::Drawer:
        case Command::Kind::Unknown:
            break;
        }
    }
    flushCall(index, entry);
    return std::exchange(m_done, {});
}

QVector<PaperJob> collectJobs(const QVector<JournalEntry> &journal)
{
    JobCollector collector;
    QVector<PaperJob> jobs;
    for (int i = 0; i < journal.size(); ++i)
        jobs += collector.add(i, journal.at(i));
    return jobs;
}
