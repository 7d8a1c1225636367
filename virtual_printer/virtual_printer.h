#pragma once

#include "app/printer_link/printer_link.h"

#include <QDateTime>
#include <QObject>
#include <QVector>

struct JournalEntry
{
    enum class Call { Estado, TX, TXI, Sleep };

    QDateTime time;
    Call call = Call::TX;
    int16_t port = 0;
    QByteArray bytes; // empty for Estado and Sleep
    int32_t result = 0; // status read, TX result, or the milliseconds of Sleep
};

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
    [[nodiscard]] bool failCommands() const { return m_failCommands; }
    void setFailCommands(bool fail);

    [[nodiscard]] const QVector<JournalEntry> &journal() const { return m_journal; }
    void clearJournal();
    // A journal read from a file takes the place of this one.
    void replaceJournal(QVector<JournalEntry> entries);

signals:
    void entryAdded(int index);
    void journalCleared();
    void statusChanged(uint8_t status);

private:
    void record(JournalEntry::Call call, int16_t port, const QByteArray &bytes, int32_t result);

    uint8_t m_status;
    bool m_failCommands = false;
    QVector<JournalEntry> m_journal;
};
