// A printer library that lacks TXI, for the lazy lookup test.
#include <cstdint>

extern "C" {
__attribute__((visibility("default"))) int16_t Estado(int16_t)
{
    return 0x10;
}
__attribute__((visibility("default"))) int16_t TX(int16_t, const char *)
{
    return 0;
}
}
