#pragma once

#include <QString>
#include <cstdint>

// Status byte of a printer that is idle, online, has paper and reports no error:
// bit 7 not busy, bit 6 no acknowledge pulse, bit 5 paper present (0), bit 4 on line,
// bit 3 no error.
inline constexpr uint8_t kIdleStatus = 0xD8;

namespace status_line {

// What 0 and 1 mean on line `bit` (0 to 7) of the status byte, for the operator.
[[nodiscard]] QString meaning(int bit);

} // namespace status_line
