#pragma once

#include "printer_link/monitored_mode.h"
#include "ui/services.h"

#include <QString>
#include <functional>

class PrinterLink;

// The monitored authentication: ESC "~1", wait for the document (status bit 4), the line, ESC "~0".
namespace monitored_authentication {

// Decides what happens between two status reads that found no document yet; false when the
// operator gave up waiting.
using Waiter = monitored_mode::Waiter;

enum class Outcome {
    Printed,
    SerialPort, // refused before any call: the status lines exist on the parallel ports only
    Cancelled,
    StatusFailed, // a status read could not be made or failed; `error` says why
    SendFailed, // a command could not be made at all; `error` says why
};

struct Result
{
    Outcome outcome = Outcome::Printed;
    QString error;
};

// Runs the whole sequence. `porta` is read right before each call; `line` once, after the wait.
[[nodiscard]] Result run(PrinterLink &link, const PortaSource &porta,
    const std::function<QString()> &line, Waiter &waiter);

// What the operator is told; empty when there is nothing to say.
[[nodiscard]] QString message(const Result &result);

} // namespace monitored_authentication
