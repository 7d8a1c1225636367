#pragma once

#include <QByteArray>

// The printer's monitored mode: after ESC "~1" it reports no document (status bit 4 clear)
// until one is inserted; ESC "~0" ends the mode.
namespace monitored_mode {

enum class Command { None, Start, End };

// The last of the two commands found in `bytes`.
[[nodiscard]] Command find(const QByteArray &bytes);

} // namespace monitored_mode
