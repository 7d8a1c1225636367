#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class PrinterLink;

// The printer's monitored mode: after ESC "~1" it reports no document (status bit 4 clear)
// until one is inserted; ESC "~0" ends the mode.
namespace monitored_mode {

enum class Command { None, Start, End };

// ESC "~1": the printer watches for the document.
[[nodiscard]] QByteArray start();
// ESC "~0": the printer leaves the monitored mode.
[[nodiscard]] QByteArray end();
// The last of the two commands found in `bytes`.
[[nodiscard]] Command find(const QByteArray &bytes);

// Decides what happens between two status reads that found no document yet.
class Waiter
{
public:
    virtual ~Waiter() = default;
    // Lets about a millisecond pass; false when the wait is given up.
    [[nodiscard]] virtual bool keepWaiting() = 0;
};

enum class Wait {
    Document, // status bit 4 is set
    GivenUp, // the waiter gave up
    StatusFailed, // a status read could not be made or failed; `error` says why
};

struct WaitResult
{
    Wait outcome = Wait::Document;
    QString error;
};

// After ESC "~1" went to the printer: reads the status of the port `port()` gives, right before
// each read, until bit 4 is set.
[[nodiscard]] WaitResult waitForDocument(
    PrinterLink &link, const std::function<int()> &port, Waiter &waiter);

} // namespace monitored_mode
