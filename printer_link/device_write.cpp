#include "printer_link/device_write.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// The parallel printer driver has no poll(): it always answers "ready" and then refuses the
// write, so a refusal waits this long before asking again instead of spinning.
constexpr std::chrono::milliseconds kRetryPause {10};

bool notReadyYet(int errnum, bool printerDriver)
{
    // EAGAIN: the device's buffer is full. ENOSPC, EIO: the printer drivers' "out of paper" and
    // "off line".
    return errnum == EAGAIN || errnum == EWOULDBLOCK
        || (printerDriver && (errnum == ENOSPC || errnum == EIO));
}

} // namespace

namespace device_write {

Outcome writeAll(
    int fd, const QByteArray &bytes, std::chrono::milliseconds limit, bool printerDriver)
{
    Outcome out;
    const QDeadlineTimer deadline(limit);
    int notReady = 0;
    while (out.written < bytes.size()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0) {
            out.timedOut = true;
            out.errnum = notReady;
            return out;
        }
        pollfd p {fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            out.errnum = errno;
            return out;
        }
        if (ready == 0)
            continue;
        if (p.revents & POLLNVAL) {
            out.errnum = EBADF;
            return out;
        }
        if (p.revents & (POLLERR | POLLHUP)) {
            out.errnum = EIO;
            return out;
        }
        const ssize_t n = ::write(
            fd, bytes.constData() + out.written, static_cast<size_t>(bytes.size() - out.written));
        if (n > 0) {
            out.written += n;
            continue;
        }
        const int e = n < 0 ? errno : EAGAIN;
        if (e == EINTR)
            continue;
        if (!notReadyYet(e, printerDriver)) {
            out.errnum = e;
            return out;
        }
        if (e != EAGAIN && e != EWOULDBLOCK)
            notReady = e;
        std::this_thread::sleep_for(
            std::min(kRetryPause, std::chrono::milliseconds(deadline.remainingTime())));
    }
    return out;
}

} // namespace device_write
