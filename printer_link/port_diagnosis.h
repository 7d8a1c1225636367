#pragma once

#include "printer_link/port_settings.h"

#include <QString>
#include <cstdint>

// What stands between the user and a device, and what a port does when tried, in words the
// operator reads beside the device in the setup dialog.
namespace port_diagnosis {

enum class Verdict {
    Usable,
    Missing, // nothing at the path
    NoPermission,
    Busy, // another program holds it
    Absent, // a device node with no hardware behind it
    NotAPort, // a file, a folder, a FIFO, a device that is no printer port
    WrongKind, // a serial line chosen for a parallel port, or the other way round
    Failed // any other reason the system gave
};

struct Diagnosis
{
    Verdict verdict = Verdict::Usable;
    QString text; // one sentence naming the path

    [[nodiscard]] bool usable() const { return verdict == Verdict::Usable; }
};

// The device at `path` as a `kind` port. Never blocks and never writes: a device is opened
// non-blocking, asked what it is and closed again; anything else is only looked at. A port this
// program holds open reads as busy, so let go of it first (PortsLink::closePorts).
[[nodiscard]] Diagnosis diagnose(PortDevice::Kind kind, const QString &path);

struct PortTest
{
    bool ok = false; // reached, and for a parallel port the printer is ready
    QString text;
};

// "Testar": on a parallel port reads the status and describes it; on a serial port opens the
// device with the line settings and closes it, sending nothing. `port` is a port code (888...).
// Takes at most the write time limit of `settings`.
[[nodiscard]] PortTest testPort(const PortSettings &settings, int16_t port);

// "Enviar linha de teste": sends `bytes` to `port` with `settings` and lets go of the port again.
// Takes about the write time limit of `settings` at most.
[[nodiscard]] PortTest sendTest(
    const PortSettings &settings, int16_t port, const QByteArray &bytes);

// The status byte as the operator reads it: "em linha, com papel, sem erro".
[[nodiscard]] QString describeStatus(uint8_t status);

} // namespace port_diagnosis
