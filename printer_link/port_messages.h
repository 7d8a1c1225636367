#pragma once

#include "printer_link/port_settings.h"

#include <QString>
#include <chrono>

// What the operator reads when a port lets the printer down. Every text names the device.
namespace port_messages {

// A system error number in a few Portuguese words, as a printer driver means it.
[[nodiscard]] QString reason(int errnum);

using Remedy = PortDevice::Remedy;

// Where the main window offers the printer setup: "em "Configurar impressora..." (...)".
[[nodiscard]] QString setupPlace();

// The device could not be opened (`errnum` from open()), with what to do about it where the
// device's remedy says.
[[nodiscard]] QString openFailed(const PortDevice &device, int errnum);
// Any other reason `errnum` kept the device at `path` from being opened.
[[nodiscard]] QString cannotOpen(const QString &path, int errnum);
// The user is not in `group`, which may use the device at `path`.
[[nodiscard]] QString noPermission(const QString &path, const QString &group);
// Not even the group owning the device may use it: only the administrator can help.
[[nodiscard]] QString onlyAdministrator(const QString &path, const QString &owner);
// `what` says what the path is instead ("é uma pasta").
[[nodiscard]] QString notAPort(const QString &path, const QString &what);
// A serial device chosen for a parallel port, or the other way round.
[[nodiscard]] QString wrongKind(const QString &path, PortDevice::Kind actual);
[[nodiscard]] QString usable(const QString &path);
// The status read failed (`errnum` from the ioctl).
[[nodiscard]] QString statusFailed(const PortDevice &device, int errnum);
// The printer took nothing more for `limit`; `errnum` is the last "not ready" answer, 0 if none.
// `partial`: part of the command may have reached the printer, and no driver can call it back.
[[nodiscard]] QString timedOut(
    const PortDevice &device, std::chrono::milliseconds limit, int errnum, bool partial = false);
// The device failed while being written to.
[[nodiscard]] QString writeFailed(
    const PortDevice &device, const QString &why, bool partial = false);
[[nodiscard]] QString serialHasNoStatus(const PortDevice &device);
[[nodiscard]] QString unknownPort(int port);

} // namespace port_messages
