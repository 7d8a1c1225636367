#pragma once

#include "printer_link/port_settings.h"

#include <QString>
#include <chrono>

// What the operator reads when a port lets the printer down. Every text names the device.
namespace port_messages {

// A system error number in a few Portuguese words, as a printer driver means it.
[[nodiscard]] QString reason(int errnum);

// The device could not be opened (`errnum` from open()), with what to do about it.
[[nodiscard]] QString openFailed(const PortDevice &device, int errnum);
// The status read failed (`errnum` from the ioctl).
[[nodiscard]] QString statusFailed(const PortDevice &device, int errnum);
// The printer took nothing more for `limit`; `errnum` is the last "not ready" answer, 0 if none.
[[nodiscard]] QString timedOut(
    const PortDevice &device, std::chrono::milliseconds limit, int errnum);
// The device failed while being written to.
[[nodiscard]] QString writeFailed(const PortDevice &device, const QString &why);
[[nodiscard]] QString serialHasNoStatus(const PortDevice &device);
[[nodiscard]] QString unknownPort(int port);

} // namespace port_messages
