#pragma once

#include "printer_link/printer_link.h"

#include <QDateTime>
#include <QObject>
#include <QVector>
#include <string_view>

struct JournalEntry
{
    enum class Call { Estado, TX, TXI, Sleep };

    QDateTime time;
    Call call = Call::TX;
    int16_t port = 0;
    QByteArray bytes; // empty for Estado and Sleep
    int32_t result = 0; // status read, TX result, or the milliseconds of Sleep
    // Consecutive status reads with the same port and result share one entry: a monitored
    // wait reads about a thousand times a second.
    int32_t repeats = 1;
};

// "Estado", "TX", "TXI" or "Sleep", as the journal writes it.
[[nodiscard]] constexpr std::string_view callLatin1(JournalEntry::Call call)
{
    constexpr std::string_view kNames[] = {"Estado", "TX", "TXI", "Sleep"};
    return kNames[size_t(call)];
}
[[nodiscard]] QString callName(JournalEntry::Call call);

// The built-in printer: takes every call and keeps a journal of them.
class VirtualPrinter : public QObject, public PrinterLink
{
    Q_OBJECT
public:
    explicit VirtualPrinter(QObject *parent = nullptr);

    [[nodiscard]] LinkResult Estado(int16_t port) override;
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override;
    LinkResult TXI(int16_t port, const QByteArray &bytes) override;
    void Sleep(uint32_t milliseconds) override;

    [[nodiscard]] uint8_t status() const { return m_status; }
    void setStatus(uint8_t status);
    void setStatusBit(int bit, bool on);

    // When set, TX answers -1 as a printer that refuses every command; so it does with the
    // paper-end bit (5) set.
    void setFailCommands(bool fail);

    // Between ESC "~1" and ESC "~0" status bit 4 stays clear until a document is inserted.
    [[nodiscard]] bool monitoring() const { return m_monitoring; }
    void insertDocument();

    [[nodiscard]] const QVector<JournalEntry> &journal() const { return m_journal; }
    void clearJournal();
    // A journal read from a file takes the place of this one.
    void replaceJournal(QVector<JournalEntry> entries);

signals:
    void entryAdded(int index);
    void entryChanged(int index);
    void journalCleared();
    void statusChanged(uint8_t status);
    void monitoringChanged(bool monitoring);

private:
    void record(JournalEntry::Call call, int16_t port, const QByteArray &bytes, int32_t result);
    void followMonitoredMode(const QByteArray &bytes);

    uint8_t m_status;
    bool m_failCommands = false;
    bool m_monitoring = false;
    bool m_onLineBeforeMonitoring = true;
    QVector<JournalEntry> m_journal;
};
