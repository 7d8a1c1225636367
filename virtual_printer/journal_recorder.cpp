#include "virtual_printer/journal_recorder.h"

#include "core/logging.h"
#include "core/system_error.h"
#include "core/text_file.h"
#include "virtual_printer/journal_format.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A line held longer than this is written, so that a crash loses at most this much of a wait.
constexpr qint64 kHoldMs = 1000;
// At most one sync to disk in this time; a power cut loses at most the calls of the last one.
constexpr std::chrono::milliseconds kSyncGap {20};
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

// Why the open journal `fd` of `size` bytes cannot be added to; the torn end of a line that a
// power cut left is cut off first.
QString prepare(int fd, qint64 size)
{
    QByteArray start(std::min<qint64>(size, kStartBytes), Qt::Uninitialized);
    if (::pread(fd, start.data(), start.size(), 0) != start.size())
        return system_error::reason(errno);
    if (const QString why = journal_format::whyNotJournal(start); !why.isEmpty())
        return QStringLiteral("o arquivo não é um diário (%1)").arg(why);
    // Every line goes out in one write, so a last line without its end was cut short by a
    // power cut and cannot be read back; it goes, and the lines added after it stay readable.
    qint64 end = size;
    char chunk[4096];
    while (end > 0) {
        const qint64 from = std::max<qint64>(0, end - qint64(sizeof chunk));
        if (::pread(fd, chunk, end - from, from) != end - from)
            return system_error::reason(errno);
        const char *found = static_cast<const char *>(::memrchr(chunk, '\n', end - from));
        if (found) {
            end = from + (found - chunk) + 1;
            break;
        }
        end = from;
    }
    if (end < size) {
        qCInfo(lcPrinter) << "diário: cortada a última linha, incompleta," << size - end << "bytes";
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
    m_size = ::lseek(fd, 0, SEEK_END);
    if (why.isEmpty() && m_size < 0)
        why = system_error::reason(errno);
    if (why.isEmpty() && m_size == 0)
        why = text_file::writeAll(fd, (journal_format::header() + QLatin1Char('\n')).toUtf8());
    if (!why.isEmpty()) {
        ::close(fd);
        return refused(why);
    }
    m_fd = fd;
    m_size = ::lseek(fd, 0, SEEK_END);
    m_path = path;
    m_lastWasRead = false;
    m_held.repeats = 0;
    m_stopping = false;
    m_unsynced = true;
    m_syncError = 0;
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
        if (!m_unsynced)
            return;
        m_unsynced = false;
        lock.unlock();
        const auto started = std::chrono::steady_clock::now();
        const int error = ::fdatasync(m_fd) == 0 ? 0 : errno;
        lock.lock();
        if (error != 0)
            m_syncError = error;
        // One sync for all the calls of the next moments: one per call kept the disk and the
        // other core busy for calls that take microseconds.
        m_wake.wait_until(lock, started + kSyncGap, [this] { return m_stopping; });
    }
}

void JournalRecorder::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_syncer.join();
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

void JournalRecorder::write(const JournalEntry &entry)
{
    int syncError;
    {
        const std::lock_guard lock(m_mutex);
        syncError = m_syncError;
    }
    if (syncError != 0) {
        fail(system_error::reason(syncError));
        return;
    }
    m_line.truncate(0);
    journal_format::appendLine(m_line, entry);
    const QByteArray &line = m_line;
    // Past the limit the journal could no longer be opened.
    if (m_size + line.size() > journal_format::kMaxFileBytes) {
        fail(text_file::tooLarge(journal_format::kMaxFileBytes));
        return;
    }
    if (const QString why = text_file::writeAll(m_fd, line); !why.isEmpty()) {
        // A line cut short would end the journal for every reader.
        (void)::ftruncate(m_fd, m_size);
        fail(why);
        return;
    }
    m_size += line.size();
    bool idle;
    {
        const std::lock_guard lock(m_mutex);
        m_unsynced = true;
        idle = m_syncerIdle;
    }
    // Woken between two syncs, the thread would only go back to sleep: a switch per call.
    if (idle)
        m_wake.notify_one();
}

void JournalRecorder::writeHeld()
{
    if (m_held.repeats == 0)
        return;
    const JournalEntry held = std::exchange(m_held, {});
    m_held.repeats = 0;
    write(held);
}

void JournalRecorder::record(JournalEntry entry)
{
    if (m_fd < 0)
        return;
    const bool read = entry.call == JournalEntry::Call::Estado;
    if (read && m_lastWasRead) {
        const JournalEntry &last = m_held.repeats > 0 ? m_held : m_lastRead;
        if (entry.port == last.port && entry.result == last.result) {
            if (m_held.repeats == 0) {
                m_held = std::move(entry);
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
    write(entry);
}

// The offset is looked up once a minute, as clocks change on the minute: looked up on every call,
// it took longer than a call to a serial port.
QDateTime JournalRecorder::now()
{
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (const qint64 minute = ms / 60000; minute != m_offsetMinute) {
        m_offset = QDateTime::fromMSecsSinceEpoch(minute * 60000).offsetFromUtc();
        m_offsetMinute = minute;
    }
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, m_offset);
}

LinkResult JournalRecorder::Estado(int16_t port)
{
    const QDateTime time = now();
    const LinkResult r = m_inner->Estado(port);
    record({time, JournalEntry::Call::Estado, port, {}, r.value});
    return r;
}

LinkResult JournalRecorder::TX(int16_t port, const QByteArray &bytes)
{
    const QDateTime time = now();
    const LinkResult r = m_inner->TX(port, bytes);
    record({time, JournalEntry::Call::TX, port, bytes, r.value});
    return r;
}

LinkResult JournalRecorder::TXI(int16_t port, const QByteArray &bytes)
{
    const QDateTime time = now();
    const LinkResult r = m_inner->TXI(port, bytes);
    record({time, JournalEntry::Call::TXI, port, bytes, r.value});
    return r;
}

void JournalRecorder::Sleep(uint32_t milliseconds)
{
    const QDateTime time = now();
    m_inner->Sleep(milliseconds);
    record({time, JournalEntry::Call::Sleep, 0, {}, int32_t(milliseconds)});
}
