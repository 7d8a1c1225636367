#include "virtual_printer/monitored_mode.h"

#include "auth/auth_commands.h"

namespace monitored_mode {

Command find(const QByteArray &bytes)
{
    const qsizetype start = bytes.lastIndexOf(auth_commands::monitoredStart());
    const qsizetype end = bytes.lastIndexOf(auth_commands::monitoredEnd());
    if (start < 0 && end < 0)
        return Command::None;
    return start > end ? Command::Start : Command::End;
}

} // namespace monitored_mode
