#include "virtual_printer/virtual_printer.h"

#include "printer_link/monitored_mode.h"
#include "printer_link/status.h"

#include <QThread>
#include <climits>
#include <utility>

namespace {

constexpr uint8_t kPaperEnd = 0x20;

} // namespace

QString callName(JournalEntry::Call call)
{
    const std::string_view name = callLatin1(call);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

VirtualPrinter::VirtualPrinter(QObject *parent)
    : QObject(parent)
    , m_status(kIdleStatus)
{ }

LinkResult VirtualPrinter::Estado(int16_t port)
{
    record(JournalEntry::Call::Estado, port, {}, m_status);
    return {m_status, {}};
}

LinkResult VirtualPrinter::TX(int16_t port, const QByteArray &bytes)
{
    const int16_t result = m_failCommands || (m_status & kPaperEnd) ? -1 : 0;
    record(JournalEntry::Call::TX, port, bytes, result);
    followMonitoredMode(bytes);
    return {result, {}};
}

LinkResult VirtualPrinter::TXI(int16_t port, const QByteArray &bytes)
{
    const int16_t result = m_failCommands || (m_status & kPaperEnd) ? -1 : 0;
    record(JournalEntry::Call::TXI, port, bytes, result);
    followMonitoredMode(bytes);
    return {result, {}};
}

void VirtualPrinter::Sleep(uint32_t milliseconds)
{
    record(JournalEntry::Call::Sleep, 0, {}, static_cast<int32_t>(milliseconds));
    QThread::msleep(milliseconds);
}

void VirtualPrinter::setStatus(uint8_t status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged(m_status);
}

void VirtualPrinter::setStatusBit(int bit, bool on)
{
    const auto mask = static_cast<uint8_t>(1u << (bit & 7));
    setStatus(on ? (m_status | mask) : (m_status & ~mask));
}

void VirtualPrinter::insertDocument()
{
    if (m_monitoring)
        setStatusBit(4, true);
}

void VirtualPrinter::followMonitoredMode(const QByteArray &bytes)
{
    const monitored_mode::Command command = monitored_mode::find(bytes);
    if (command == monitored_mode::Command::Start) {
        if (!m_monitoring)
            m_onLineBeforeMonitoring = (m_status >> 4) & 1;
        setStatusBit(4, false);
        if (!std::exchange(m_monitoring, true))
            emit monitoringChanged(true);
    } else if (command == monitored_mode::Command::End && m_monitoring) {
        // The line goes back to what it was, whether or not a document came.
        setStatusBit(4, m_onLineBeforeMonitoring);
        m_monitoring = false;
        emit monitoringChanged(false);
    }
}

void VirtualPrinter::setFailCommands(bool fail)
{
    m_failCommands = fail;
}

void VirtualPrinter::clearJournal()
{
    m_journal.clear();
    emit journalCleared();
}

void VirtualPrinter::replaceJournal(QVector<JournalEntry> entries)
{
    m_journal = std::move(entries);
    emit journalCleared();
}

void VirtualPrinter::record(
    JournalEntry::Call call, int16_t port, const QByteArray &bytes, int32_t result)
{
    if (call == JournalEntry::Call::Estado && !m_journal.isEmpty()) {
        JournalEntry &last = m_journal.last();
        // A count at its maximum starts an entry of its own, rather than wrap.
        if (last.call == call && last.port == port && last.result == result
            && last.repeats < INT32_MAX) {
            ++last.repeats;
            emit entryChanged(m_journal.size() - 1);
            return;
        }
    }
    m_journal.append({QDateTime::currentDateTime(), call, port, bytes, result});
    emit entryAdded(m_journal.size() - 1);
}
