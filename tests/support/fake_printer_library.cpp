// A printer library with the real ABI that records what it receives. With FAKE_PRINTER_CRASH set
// in the environment, TX crashes the program, as a broken library would. Built with
// FAKE_WITHOUT_TXI, it lacks TXI, for the lazy lookup test.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string g_last;
int g_lastPort = 0;
bool g_trailingZero = false;

int16_t take(int16_t port, const char *bytes)
{
    g_lastPort = port;
    uint32_t count = 0;
    std::memcpy(&count, bytes - 4, 4); // little-endian on every target we build for
    g_last.assign(bytes, count);
    g_trailingZero = bytes[count] == '\0';
    return static_cast<int16_t>(count == 3 ? -5 : count);
}
} // namespace

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT int16_t Estado(int16_t)
{
    return 0x90;
}
EXPORT int16_t TX(int16_t port, const char *bytes)
{
    if (std::getenv("FAKE_PRINTER_CRASH"))
        std::abort();
    return take(port, bytes);
}
#ifndef FAKE_WITHOUT_TXI
EXPORT int16_t TXI(int16_t port, const char *bytes)
{
    return take(port, bytes);
}
#endif
// For the test: what the last TX or TXI received, its port, and whether a zero followed.
EXPORT const char *fake_last(uint32_t *count, int *port, int *trailingZero)
{
    *count = static_cast<uint32_t>(g_last.size());
    *port = g_lastPort;
    *trailingZero = g_trailingZero;
    return g_last.data();
}
