#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string_view>

// Result of one call into the printer library. `error` is set when the call could not be
// made at all (library or function missing, device unusable); `value` is then meaningless.
struct LinkResult
{
    int16_t value = 0;
    QString error;

    [[nodiscard]] bool callFailed() const { return !error.isEmpty(); }
    // For TX: the library refused the command, or it never reached the library.
    [[nodiscard]] bool refused() const { return callFailed() || value < 0; }
};

// The four calls every printing window makes. Port codes: 888 LPT1, 632 LPT2, 1 COM1, 2 COM2.
class PrinterLink
{
public:
    virtual ~PrinterLink() = default;

    [[nodiscard]] virtual LinkResult Estado(int16_t port) = 0;
    [[nodiscard]] virtual LinkResult TX(int16_t port, const QByteArray &bytes) = 0;
    // The windows never look at what TXI returns; the result is there for the log.
    virtual LinkResult TXI(int16_t port, const QByteArray &bytes) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// The port codes: the parallel ports by their I/O base address, the serial ports by number.
namespace port_code {
inline constexpr int16_t kLpt1 = 888;
inline constexpr int16_t kLpt2 = 632;
inline constexpr int16_t kCom1 = 1;
inline constexpr int16_t kCom2 = 2;

// COM1 or COM2: a port with no status lines to read.
[[nodiscard]] constexpr bool isSerial(int port)
{
    return port == kCom1 || port == kCom2;
}

// "LPT1", "LPT2", "COM1" or "COM2"; empty for a code the system does not know.
[[nodiscard]] constexpr std::string_view knownName(int16_t port)
{
    switch (port) {
    case kLpt1:
        return "LPT1";
    case kLpt2:
        return "LPT2";
    case kCom1:
        return "COM1";
    case kCom2:
        return "COM2";
    default:
        return {};
    }
}

// The known name, or the number of a code the system does not know.
[[nodiscard]] inline QString name(int16_t port)
{
    const std::string_view known = knownName(port);
    return known.empty() ? QString::number(port)
                         : QString::fromLatin1(known.data(), qsizetype(known.size()));
}
} // namespace port_code

// Narrows a port code the way every library call does.
[[nodiscard]] inline int16_t narrowPort(int porta)
{
    return static_cast<int16_t>(porta);
}
