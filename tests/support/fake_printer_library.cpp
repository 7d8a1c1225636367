// A printer library with the real ABI that records what it receives.
#include <cstdint>
#include <cstring>
#include <string>

namespace {
std::string g_last;
int g_calls = 0;
int16_t g_lastPort = 0;
bool g_trailingZero = false;
} // namespace

extern "C" {

__attribute__((visibility("default"))) int16_t Estado(int16_t port)
{
    ++g_calls;
    g_lastPort = port;
    return 0x90;
}

static int16_t take(int16_t port, const char *bytes)
{
    ++g_calls;
    g_lastPort = port;
    uint32_t count = 0;
    std::memcpy(&count, bytes - 4, 4); // little-endian on every target we build for
    g_last.assign(bytes, count);
    g_trailingZero = bytes[count] == '\0';
    return static_cast<int16_t>(count == 3 ? -5 : count);
}

__attribute__((visibility("default"))) int16_t TX(int16_t port, const char *bytes)
{
    return take(port, bytes);
}

__attribute__((visibility("default"))) int16_t TXI(int16_t port, const char *bytes)
{
    return take(port, bytes);
}

// For the test: what the last call received.
__attribute__((visibility("default"))) int fake_calls()
{
    return g_calls;
}
__attribute__((visibility("default"))) int fake_last_port()
{
    return g_lastPort;
}
__attribute__((visibility("default"))) const char *fake_last_bytes(uint32_t *count)
{
    *count = static_cast<uint32_t>(g_last.size());
    return g_last.data();
}
__attribute__((visibility("default"))) int fake_trailing_zero()
{
    return g_trailingZero ? 1 : 0;
}
}
