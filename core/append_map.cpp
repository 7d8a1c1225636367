#include "core/append_map.h"

#include "core/system_error.h"
#include "core/text_file.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Room taken at a time: one system call for tens of thousands of lines, and room enough for the
// pages readied ahead of the writer.
constexpr qint64 kRoom = 8 << 20;

// The maps a SIGBUS may come from: a page of the file that is no longer there.
struct Guarded
{
    std::atomic<char *> begin {nullptr};
    std::atomic<size_t> length {0};
    std::atomic<std::atomic<bool> *> hit {nullptr}; // the map's own flag, read after each copy
    std::atomic<bool> used {false};
};
std::array<Guarded, 16> g_guarded;
struct sigaction g_previous
{ };

void onBus(int signal, siginfo_t *info, void *context)
{
    char *const at = static_cast<char *>(info->si_addr);
    for (Guarded &g : g_guarded) {
        char *const begin = g.begin.load();
        const size_t length = g.length.load();
        if (begin != nullptr && at >= begin && at < begin + length) {
            // The copy that faulted ends in plain memory; the writer sees `hit` when it returns.
            (void)::mmap(begin, length, PROT_READ | PROT_WRITE,
                MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            g.hit.load()->store(true);
            return;
        }
    }
    // Not one of ours: what would have happened without us.
    if (g_previous.sa_flags & SA_SIGINFO) {
        g_previous.sa_sigaction(signal, info, context);
    } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
    } else {
        ::signal(signal, SIG_DFL);
        ::raise(signal);
    }
}

void guardAgainstBusErrors()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action
        { };
        action.sa_sigaction = onBus;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous);
    });
}

qint64 roundUp(qint64 value, qint64 unit)
{
    return (value + unit - 1) / unit * unit;
}

} // namespace

AppendMap::~AppendMap()
{
    (void)close();
}

QString AppendMap::open(int fd, qint64 size, qint64 limit)
{
    (void)close();
    guardAgainstBusErrors();
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    m_mapStart = size / page * page;
    m_mapLength = size_t(std::max(roundUp(limit, page), roundUp(size, page)) - m_mapStart);
    // All the way to the limit at once: growing is then only taking room in the file, and the
    // map never moves under the additions. Past the file's end it is only addresses.
    void *map = ::mmap(nullptr, m_mapLength, PROT_READ | PROT_WRITE, MAP_SHARED, fd, m_mapStart);
    if (map == MAP_FAILED)
        return system_error::reason(errno);
    for (m_slot = 0; m_slot < int(g_guarded.size()); ++m_slot) {
        if (!g_guarded[m_slot].used.exchange(true))
            break;
    }
    if (m_slot == int(g_guarded.size())) {
        (void)::munmap(map, m_mapLength);
        return QStringLiteral("arquivos demais gravados ao mesmo tempo");
    }
    m_map = static_cast<char *>(map);
    Guarded &g = g_guarded[m_slot];
    m_hit = false;
    g.hit.store(&m_hit);
    g.length.store(m_mapLength);
    g.begin.store(m_map);
    m_fd = fd;
    m_size = size;
    m_roomEnd = size;
    m_limit = limit;
    m_lost = false;
    return {};
}

QString AppendMap::append(QByteArrayView bytes)
{
    if (m_lost || m_fd < 0)
        return system_error::reason(EBADF);
    const qint64 size = m_size.load(std::memory_order_relaxed);
    if (size + bytes.size() > m_limit)
        return text_file::tooLarge(m_limit);
    if (size + bytes.size() > m_roomEnd.load(std::memory_order_relaxed)) {
        if (const QString why = grow(bytes.size()); !why.isEmpty())
            return why;
    }
    std::copy_n(bytes.data(), bytes.size(), m_map + (size - m_mapStart));
    // The handler runs within the copy, on this thread: only the compiler must keep the order.
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (m_hit.load(std::memory_order_relaxed)) {
        m_lost = true;
        return QStringLiteral("o arquivo deixou de aceitar dados: foi encurtado por outro "
                              "programa, ou o disco encheu");
    }
    m_size.store(size + bytes.size(), std::memory_order_relaxed);
    return {};
}

QString AppendMap::grow(qint64 needed)
{
    const qint64 size = m_size.load(std::memory_order_relaxed);
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    const qint64 from = m_roomEnd.load(std::memory_order_relaxed);
    qint64 end = std::min(roundUp(size + needed, page) + kRoom, roundUp(m_limit, page));
    // Blocks taken now cannot be missing when a page is written: a full disk is told here. A
    // disk without that much free still takes what fits.
    int result;
    do {
        result = ::fallocate(m_fd, 0, from, end - from);
        if (result != 0 && errno == ENOSPC && end > roundUp(size + needed, page)) {
            end = roundUp(size + needed, page);
            errno = EINTR;
        }
    } while (result != 0 && errno == EINTR);
    if (result != 0 && (errno == EOPNOTSUPP || errno == ENOSYS))
        result = ::ftruncate(m_fd, end);
    if (result != 0)
        return system_error::reason(errno);
    m_roomEnd.store(end, std::memory_order_relaxed);
    return {};
}

void AppendMap::prefault(qint64 bytes) const
{
#ifdef MADV_POPULATE_WRITE
    if (m_map == nullptr)
        return;
    const qint64 page = ::sysconf(_SC_PAGESIZE);
    const qint64 from = m_size.load(std::memory_order_relaxed) / page * page;
    const qint64 end
        = std::min(m_roomEnd.load(std::memory_order_relaxed), from + roundUp(bytes, page));
    if (end <= from)
        return;
    (void)::madvise(m_map + (from - m_mapStart), size_t(end - from), MADV_POPULATE_WRITE);
    // A first access of a page through the map costs more than a line on virtual machines whose
    // host keeps page tables of its own, even once the page is in: it is paid here. Only read,
    // and past the page being written; what is read is not used.
    for (qint64 at = from + page; at < end; at += page)
        (void)*reinterpret_cast<volatile const char *>(m_map + (at - m_mapStart));
#endif
}

QString AppendMap::close()
{
    if (m_fd < 0)
        return {};
    Guarded &g = g_guarded[m_slot];
    g.begin.store(nullptr);
    g.used.store(false);
    m_slot = -1;
    (void)::munmap(m_map, m_mapLength);
    m_map = nullptr;
    QString why;
    // A file another program cut short is left as that program left it.
    if (!m_lost && m_roomEnd != m_size && ::ftruncate(m_fd, m_size) != 0)
        why = system_error::reason(errno);
    m_fd = -1;
    return why;
}
