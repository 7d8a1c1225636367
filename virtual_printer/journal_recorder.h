#pragma once

#include "core/append_map.h"
#include "printer_link/printer_link.h"
#include "virtual_printer/virtual_printer.h"

#include <QElapsedTimer>
#include <QObject>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// Adds every call that passes through it to a journal file as the call returns, through a memory
// map of the file, so that a crash of the program loses none; a thread of its own syncs the file
// to disk behind the calls: at once after a pause, at most every 100 ms while they stream. A status
// read answered as the one before shares its line with the reads that follow, written when the
// answer changes, another call comes or a second has passed: a monitored wait reads about a
// thousand times a second.
class JournalRecorder : public QObject, public PrinterLink
{
    Q_OBJECT
public:
    explicit JournalRecorder(PrinterLink &inner, QObject *parent = nullptr);
    ~JournalRecorder() override;

    // The next call goes to `inner`.
    void setInner(PrinterLink &inner) { m_inner = &inner; }

    // Adds to the journal at `path`, which is made, with its header, when missing; the message
    // when it cannot: not a journal, a newer version, a folder...
    [[nodiscard]] QString start(const QString &path);
    void stop();
    [[nodiscard]] bool recording() const { return m_fd >= 0; }
    [[nodiscard]] const QString &path() const { return m_path; }

    [[nodiscard]] LinkResult Estado(int16_t port) override;
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override;
    LinkResult TXI(int16_t port, const QByteArray &bytes) override;
    void Sleep(uint32_t milliseconds) override;

signals:
    // Recording stopped because the file could not take a line; the calls go on unrecorded.
    void failed(const QString &message);

private:
    void record(qint64 time, JournalEntry entry);
    void writeHeld();
    void write(qint64 time, const JournalEntry &entry);
    // Ends the syncing thread and closes the file.
    void close();
    void fail(const QString &why);
    void syncLoop();
    // Milliseconds since 1970 in local time.
    [[nodiscard]] qint64 now();

    PrinterLink *m_inner;
    QString m_path;
    int m_fd = -1;
    AppendMap m_file;
    std::array<char, 2048> m_buffer; // a line
    QByteArray m_line; // a line too long for m_buffer
    // The local zone's offset from UTC in the minute m_offsetMinute since the epoch.
    qint64 m_offsetMinute = -1;
    int m_offset = 0;

    // The last line written was this status read; reads answered alike since then are held.
    bool m_lastWasRead = false;
    JournalEntry m_lastRead;
    JournalEntry m_held; // repeats: how many are held, none when 0
    qint64 m_heldTime = 0;
    QElapsedTimer m_heldSince;

    // Atomic, so that a call takes no lock: a lock is taken only to wake the syncing thread.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::atomic<bool> m_unsynced = false;
    bool m_stopping = false;
    std::atomic<bool> m_syncerIdle = false; // waiting for a line to sync, not between two syncs
    std::atomic<int> m_syncError = 0;
    qint64 m_syncedSize = 0; // of the file, at the syncing thread's last sync
    std::thread m_syncer;
};
