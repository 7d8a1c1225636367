#pragma once

#include "printer_link/port_settings.h"
#include "printer_link/printer_link.h"

#include <QByteArray>
#include <chrono>
#include <cstdint>

namespace parallel_port {

enum class Source {
    ParallelPort, // the port's status register, all eight lines
    UsbPrinter // the USB printer class port status: bits 3 to 5 only
};

// The status byte the windows see. A USB printer reports only error, select and paper end
// (bits 3 to 5); the other bits then read as an idle printer's.
[[nodiscard]] uint8_t statusByte(int raw, Source source);

// Which status the character device with this major number gives.
[[nodiscard]] Source sourceForMajor(unsigned int major);
// Whether the character device with this major number is a printer driver (parallel or USB),
// whose ENOSPC means out of paper rather than a full device.
[[nodiscard]] bool isPrinterDriver(unsigned int major);

} // namespace parallel_port

// A parallel printer device (/dev/lp0, /dev/usb/lp0), opened on first use and kept open.
// Any failure closes it, so the next call opens it again.
class ParallelPort
{
public:
    ParallelPort(PortDevice device, std::chrono::milliseconds writeTimeout);
    ~ParallelPort();
    ParallelPort(const ParallelPort &) = delete;
    ParallelPort &operator=(const ParallelPort &) = delete;

    [[nodiscard]] LinkResult status();
    [[nodiscard]] LinkResult write(const QByteArray &bytes);
    void close();

private:
    QString open();
    LinkResult failure(const QString &error);

    PortDevice m_device;
    std::chrono::milliseconds m_writeTimeout;
    int m_fd = -1;
    parallel_port::Source m_source = parallel_port::Source::ParallelPort;
    bool m_printerDriver = false;
};
