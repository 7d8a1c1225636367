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
// `printerDriver`: the parallel or USB printer driver, whose ENOSPC (out of paper) and EIO (off
// line) clear when the operator sees to the printer; from any other device they end the write
// at once, as a full device or disk does not empty by waiting.
[[nodiscard]] Outcome writeAll(
    int fd, const QByteArray &bytes, std::chrono::milliseconds limit, bool printerDriver);

} // namespace device_write
