#pragma once

#include <QByteArray>
#include <chrono>

namespace device_write {

struct Outcome
{
    qsizetype written = 0;
    bool timedOut = false;
    int errnum = 0; // the error that stopped it; on a time-out, the last "not ready" answer
};

// Writes all of `bytes` to the non-blocking descriptor `fd`, waiting with poll() for the device
// to take more, and gives up once `limit` has passed without it all being taken.
[[nodiscard]] Outcome writeAll(int fd, const QByteArray &bytes, std::chrono::milliseconds limit);

} // namespace device_write
