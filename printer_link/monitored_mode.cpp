#include "printer_link/monitored_mode.h"

#include "printer_link/inpout.h"
#include "printer_link/printer_commands.h"
#include "printer_link/printer_link.h"

namespace monitored_mode {

namespace {

constexpr int16_t kDocumentBit = 4;

QByteArray command(char mode)
{
    using namespace printer_commands;
    return QByteArray(1, kEsc).append(kMonitor).append(mode);
}

} // namespace

QByteArray start()
{
    return command(printer_commands::kMonitorOn);
}

QByteArray end()
{
    return command(printer_commands::kMonitorOff);
}

Command find(const QByteArray &bytes)
{
    const qsizetype started = bytes.lastIndexOf(start());
    const qsizetype ended = bytes.lastIndexOf(end());
    if (started < 0 && ended < 0)
        return Command::None;
    return started > ended ? Command::Start : Command::End;
}

WaitResult waitForDocument(PrinterLink &link, const std::function<int()> &port, Waiter &waiter)
{
    // A millisecond for the printer to take ESC "~1" before the first read.
    link.Sleep(1);
    for (;;) {
        const LinkResult status = link.Estado(narrowPort(port()));
        if (status.callFailed())
            return {Wait::StatusFailed, status.error};
        // A library tells a failed read with a negative value, in which bit 4 reads as set.
        if (status.value < 0)
            return {Wait::StatusFailed,
                QStringLiteral("a biblioteca da impressora informou falha (%1)").arg(status.value)};
        if (inpout::BitValue(status.value, kDocumentBit) == 1)
            return {};
        if (!waiter.keepWaiting())
            return {Wait::GivenUp, {}};
    }
}

} // namespace monitored_mode
