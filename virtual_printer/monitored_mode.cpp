#include "virtual_printer/monitored_mode.h"

#include "printer_link/printer_commands.h"

namespace monitored_mode {

Command find(const QByteArray &bytes)
{
    using namespace printer_commands;
    const auto command
        = [](char mode) { return QByteArray(1, kEsc).append(kMonitor).append(mode); };
    const qsizetype start = bytes.lastIndexOf(command(kMonitorOn));
    const qsizetype end = bytes.lastIndexOf(command(kMonitorOff));
    if (start < 0 && end < 0)
        return Command::None;
    return start > end ? Command::Start : Command::End;
}

} // namespace monitored_mode
