#include "virtual_printer/journal_recorder.h"

#include "core/logging.h"
#include "core/system_error.h"
#include "core/text_file.h"
#include "virtual_printer/journal_format.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A line held longer than this is written, so that a crash loses at most this much of a wait.
constexpr qint64 kHoldMs = 1000;
// At most one sync to disk in this time; a power cut loses at most the calls of the last one.
// Each sync makes the next write to every page it wrote fault, the pages readied ahead included:
// at 20 ms that alone cost more than 5 % of a call to a serial port.
constexpr std::chrono::milliseconds kSyncGap {100};
// Enough of the start of a file to read its first line's head.
constexpr qsizetype kStartBytes = 4096;

int openForAppend(const QByteArray &name)
{
    int fd;
    // Read as well: what the file holds is checked first. O_NONBLOCK: a FIFO is refused
    // rather than waited on. O_NOFOLLOW: no write goes through a symbolic link.
    do
        fd = ::open(name.constData(),
            O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Why the open journal `fd` of `size` bytes cannot be added to; what follows its last whole line
// is cut off first: the torn end of a line that a power cut left, or the room, still zeros, that
// a recording cut short had taken.
QString prepare(int fd, qint64 size)
{
    QByteArray start(std::min<qint64>(size, kStartBytes), Qt::Uninitialized);
    if (::pread(fd, start.data(), start.size(), 0) != start.size())
        return system_error::reason(errno);
    if (const QString why = journal_format::whyNotJournal(start); !why.isEmpty())
        return QStringLiteral("o arquivo não é um diário (%1)").arg(why);
    qint64 end = size;
    QByteArray chunk(64 << 10, Qt::Uninitialized);
    while (end > 0) {
        const qint64 from = std::max<qint64>(0, end - chunk.size());
        if (::pread(fd, chunk.data(), end - from, from) != end - from)
            return system_error::reason(errno);
        const char *found = static_cast<const char *>(::memrchr(chunk.data(), '\n', end - from));
        if (found) {
            end = from + (found - chunk.data()) + 1;
            break;
        }
        end = from;
    }
    if (end < size) {
        qCInfo(lcPrinter) << "diário: cortado o fim sem linha inteira," << size - end << "bytes";
        if (::ftruncate(fd, end) != 0)
            return system_error::reason(errno);
    }
    return {};
}

} // namespace

JournalRecorder::JournalRecorder(PrinterLink &inner, QObject *parent)
    : QObject(parent)
    , m_inner(&inner)
{
    m_held.repeats = 0;
}

JournalRecorder::~JournalRecorder()
{
    stop();
}

QString JournalRecorder::start(const QString &path)
{
    stop();
    const QByteArray name = QFile::encodeName(path);
    const auto refused = [&path](const QString &why) {
        return QStringLiteral("Não foi possível gravar o diário em %1: %2").arg(path, why);
    };
    const int fd = openForAppend(name);
    if (fd < 0) {
        const int error = errno;
        struct stat st
        { };
        if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            return refused(QStringLiteral("é uma ligação simbólica"));
        if (::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode))
            return refused(system_error::notRegularFile(st.st_mode));
        return refused(system_error::reason(error));
    }
    struct stat st
    { };
    QString why;
    if (::fstat(fd, &st) != 0)
        why = system_error::reason(errno);
    else if (!S_ISREG(st.st_mode))
        why = system_error::notRegularFile(st.st_mode);
    else if (const int flags = ::fcntl(fd, F_GETFL);
             flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        why = system_error::reason(errno);
    else if (st.st_size > 0)
        why = prepare(fd, st.st_size);
    const qint64 size = ::lseek(fd, 0, SEEK_END);
    if (why.isEmpty() && size < 0)
        why = system_error::reason(errno);
    if (why.isEmpty() && size == 0)
        why = text_file::writeAll(fd, (journal_format::header() + QLatin1Char('\n')).toUtf8());
    if (!why.isEmpty()) {
        ::close(fd);
        return refused(why);
    }
    if (const QString why
        = m_file.open(fd, ::lseek(fd, 0, SEEK_END), journal_format::kMaxFileBytes);
        !why.isEmpty()) {
        ::close(fd);
        return refused(why);
    }
    m_fd = fd;
    m_path = path;
    m_lastWasRead = false;
    m_held.repeats = 0;
    m_stopping = false;
    m_unsynced = true;
    m_syncError = 0;
    m_syncedSize = m_file.size();
    m_syncer = std::thread(&JournalRecorder::syncLoop, this);
    return {};
}

void JournalRecorder::stop()
{
    if (m_fd < 0)
        return;
    writeHeld();
    if (m_fd < 0)
        return; // failed on the held line, and stopped there
    close();
}

void JournalRecorder::syncLoop()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_syncerIdle = true;
        m_wake.wait(lock, [this] { return m_unsynced || m_stopping; });
        m_syncerIdle = false;
        if (!m_unsynced.exchange(false))
            return;
        lock.unlock();
        const auto started = std::chrono::steady_clock::now();
        // Pages written through the map are the file's pages: this syncs them too.
        if (::fdatasync(m_fd) != 0)
            m_syncError = errno;
        // As much ahead as the last moments took, and at least the page being written.
        const qint64 size = m_file.size();
        m_file.prefault(std::clamp<qint64>(2 * (size - m_syncedSize), 1, 4 << 20));
        m_syncedSize = size;
        lock.lock();
        // One sync for all the calls of the next moments: one per call kept the disk and the
        // other core busy for calls that take microseconds.
        m_wake.wait_until(lock, started + kSyncGap, [this] { return m_stopping; });
    }
}

void JournalRecorder::close()
{
    m_unsynced = true;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_syncer.join();
    if (const QString why = m_file.close(); !why.isEmpty())
        qCWarning(lcPrinter) << "diário: não foi possível devolver o espaço reservado:" << why;
    ::close(m_fd);
    m_fd = -1;
}

void JournalRecorder::fail(const QString &why)
{
    close();
    emit failed(QStringLiteral("A gravação do diário em %1 parou: %2. A impressora continua "
                               "recebendo os comandos, sem gravar.")
                    .arg(m_path, why));
}

void JournalRecorder::write(qint64 time, const JournalEntry &entry)
{
    if (const int error = m_syncError; error != 0) {
        fail(system_error::reason(error));
        return;
    }
    // Built apart and then copied, so that the file's memory is written once, in one go; in a
    // buffer of the recorder's own when it fits, as a command mostly does.
    const qsizetype most = journal_format::mostLineBytes(entry);
    char *line = m_buffer.data();
    if (most > qsizetype(m_buffer.size())) {
        m_line.resize(most);
        line = m_line.data();
    }
    // Past the limit the journal could no longer be opened: the file refuses to grow past it.
    const QByteArrayView bytes(line, journal_format::writeLine(line, time, entry) - line);
    if (const QString why = m_file.append(bytes); !why.isEmpty()) {
        fail(why);
        return;
    }
    // A flag already up, as it mostly is, is not written again: a write here is a lock of the bus.
    if (!m_unsynced.load(std::memory_order_relaxed))
        m_unsynced = true;
    // Woken between two syncs, the thread would only go back to sleep: a switch per call.
    if (m_syncerIdle) {
        const std::lock_guard lock(m_mutex);
        m_wake.notify_one();
    }
}

void JournalRecorder::writeHeld()
{
    if (m_held.repeats == 0)
        return;
    const JournalEntry held = std::exchange(m_held, {});
    m_held.repeats = 0;
    write(m_heldTime, held);
}

void JournalRecorder::record(qint64 time, JournalEntry entry)
{
    if (m_fd < 0)
        return;
    const bool read = entry.call == JournalEntry::Call::Estado;
    if (read && m_lastWasRead) {
        const JournalEntry &last = m_held.repeats > 0 ? m_held : m_lastRead;
        if (entry.port == last.port && entry.result == last.result) {
            if (m_held.repeats == 0) {
                m_held = std::move(entry);
                m_heldTime = time;
                m_heldSince.start();
            } else {
                ++m_held.repeats;
            }
            if (m_heldSince.elapsed() >= kHoldMs || m_held.repeats == INT32_MAX)
                writeHeld();
            return;
        }
    }
    writeHeld();
    m_lastWasRead = read;
    if (read)
        m_lastRead = entry;
    write(time, entry);
}

// The offset is looked up once a minute, as clocks change on the minute: looked up on every call,
// it took longer than a call to a serial port.
qint64 JournalRecorder::now()
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 ms = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    if (const qint64 minute = ms / 60000; minute != m_offsetMinute) {
        m_offset = QDateTime::fromMSecsSinceEpoch(minute * 60000).offsetFromUtc();
        m_offsetMinute = minute;
    }
    return ms + qint64(m_offset) * 1000;
}

LinkResult JournalRecorder::Estado(int16_t port)
{
    const qint64 time = now();
    const LinkResult r = m_inner->Estado(port);
    record(time, {{}, JournalEntry::Call::Estado, port, {}, r.value});
    return r;
}

LinkResult JournalRecorder::TX(int16_t port, const QByteArray &bytes)
{
    const qint64 time = now();
    const LinkResult r = m_inner->TX(port, bytes);
    record(time, {{}, JournalEntry::Call::TX, port, bytes, r.value});
    return r;
}

LinkResult JournalRecorder::TXI(int16_t port, const QByteArray &bytes)
{
    const qint64 time = now();
    const LinkResult r = m_inner->TXI(port, bytes);
    record(time, {{}, JournalEntry::Call::TXI, port, bytes, r.value});
    return r;
}

void JournalRecorder::Sleep(uint32_t milliseconds)
{
    const qint64 time = now();
    m_inner->Sleep(milliseconds);
    record(time, {{}, JournalEntry::Call::Sleep, 0, {}, int32_t(milliseconds)});
}
