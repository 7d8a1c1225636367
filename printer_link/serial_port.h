#pragma once

#include "printer_link/port_settings.h"
#include "printer_link/printer_link.h"

#include <QSerialPort>
#include <chrono>

namespace serial_port {

// The open failure as the operator reads it, for a device the user may open (so a refusal
// from Qt means someone else holds the port) or with the system error `errnum` that refused it.
[[nodiscard]] QString openFailed(
    const PortDevice &device, QSerialPort::SerialPortError error, int errnum);

} // namespace serial_port

// A serial printer device, opened on first use with the line settings and kept open.
// Any failure closes it, so the next call opens it again.
class SerialPort
{
public:
    SerialPort(PortDevice device, const PortSettings &settings);
    ~SerialPort();
    SerialPort(const SerialPort &) = delete;
    SerialPort &operator=(const SerialPort &) = delete;

    [[nodiscard]] LinkResult write(const QByteArray &bytes);
    // Waits at most the write time limit for what the driver still holds.
    void close() { close(m_writeTimeout); }

private:
    QString open();
    void close(std::chrono::milliseconds drainLimit);
    LinkResult failure(const QString &error);

    PortDevice m_device;
    int m_speed;
    SerialFlow m_flow;
    std::chrono::milliseconds m_writeTimeout;
    QSerialPort m_port;
};
