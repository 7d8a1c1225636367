#pragma once

#include <cstdint>

namespace inpout {

// Bit `bit` (0 to 15) of `value`, as 0 or 1.
[[nodiscard]] int16_t BitValue(int16_t value, int16_t bit);

} // namespace inpout
