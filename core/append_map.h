#pragma once

#include <QByteArrayView>
#include <QString>
#include <atomic>

// Adds to the end of a file through a shared memory map of it: once copied, the bytes belong to
// the system's cache of the file, so a crash of the program loses none of them, and no system
// call is made for each addition. Room is taken ahead, 8 MiB at a time, and reads as zeros
// until written; close() gives back what was not used. A file cut short by another program, or
// a disk that fills up under the map, stops the additions with a message, not the program.
// One thread adds; another may call prefault() until close().
class AppendMap
{
public:
    AppendMap() = default;
    ~AppendMap();
    AppendMap(const AppendMap &) = delete;
    AppendMap &operator=(const AppendMap &) = delete;

    // Adds after the first `size` bytes of the open file `fd`, which stays the caller's; room is
    // never taken past `limit` bytes. The reason when the file cannot be mapped.
    [[nodiscard]] QString open(int fd, qint64 size, qint64 limit);
    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }
    // The bytes written so far, the first `size` of open() included.
    [[nodiscard]] qint64 size() const { return m_size; }
    // Empty, or why the bytes were not added: they would pass the limit, or the file failed
    // (and then nothing is added any more).
    [[nodiscard]] QString append(QByteArrayView bytes);
    // Readies the pages of the next `bytes` for writing, so that the additions do not stop at
    // each new page. They go to disk at the next sync, zeros where nothing was added yet: only
    // as much as is about to be written is worth it.
    void prefault(qint64 bytes) const;
    // Ends the file after the last addition; the reason when it cannot.
    QString close();

private:
    QString grow(qint64 needed);

    int m_fd = -1;
    std::atomic<qint64> m_size = 0;
    qint64 m_limit = 0;
    qint64 m_mapStart = 0; // the file offset of m_map, a whole number of pages
    std::atomic<qint64> m_roomEnd = 0; // the room taken: the file's size while open
    char *m_map = nullptr; // from m_mapStart to the limit, so that it never moves
    size_t m_mapLength = 0;
    int m_slot = -1; // in the table the SIGBUS handler reads
    std::atomic<bool> m_hit = false; // set by that handler: the map lost its file
    bool m_lost = false; // the file stopped taking bytes; it is left as it is
};
