#include "virtual_printer/virtual_printer.h"

#include "app/printer_link/status.h"

#include <QThread>

namespace {

constexpr uint8_t kPaperEnd = 0x20;

} // namespace

QString callName(JournalEntry::Call call)
{
    switch (call) {
    case JournalEntry::Call::Estado:
        return QStringLiteral("Estado");
    case JournalEntry::Call::TX:
        return QStringLiteral("TX");
    case JournalEntry::Call::TXI:
        return QStringLiteral("TXI");
    case JournalEntry::Call::Sleep:
        return QStringLiteral("Sleep");
    }
    return {};
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
    return {result, {}};
}

LinkResult VirtualPrinter::TXI(int16_t port, const QByteArray &bytes)
{
    const int16_t result = m_failCommands || (m_status & kPaperEnd) ? -1 : 0;
    record(JournalEntry::Call::TXI, port, bytes, result);
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
    m_journal.append({QDateTime::currentDateTime(), call, port, bytes, result});
    emit entryAdded(m_journal.size() - 1);
}
