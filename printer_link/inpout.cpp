#include "printer_link/inpout.h"

namespace inpout {

int16_t BitValue(int16_t value, int16_t bit)
{
    // The mask is built in 32 bits: bit 15 does not fit a positive 16-bit integer.
    const int32_t mask = int32_t {1} << (bit & 15);
    return static_cast<int16_t>((int32_t {value} & mask) != 0 ? 1 : 0);
}

} // namespace inpout
