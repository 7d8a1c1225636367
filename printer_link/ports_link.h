#pragma once

#include "printer_link/parallel_port.h"
#include "printer_link/port_settings.h"
#include "printer_link/printer_link.h"
#include "printer_link/serial_port.h"

// The printer on the machine's own ports: LPT1 and LPT2 on parallel printer devices, COM1 and
// COM2 on serial lines. No call waits longer than the write time limit.
class PortsLink : public PrinterLink
{
public:
    // `remedy`: where the messages send the operator to pick another device.
    explicit PortsLink(
        const PortSettings &settings, PortDevice::Remedy remedy = PortDevice::Remedy::CommandLine);

    // Reads the status lines of a parallel port; a serial port has none to read.
    [[nodiscard]] LinkResult Estado(int16_t port) override;
    // 0 when every byte was taken; -1 with the reason in `error` otherwise.
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override;
    LinkResult TXI(int16_t port, const QByteArray &bytes) override;
    void Sleep(uint32_t milliseconds) override;

    // Lets go of every open port; the next call opens it again. The setup dialog calls it, so
    // that the program's own hold does not read as another program's.
    void closePorts();

private:
    ParallelPort *parallel(int16_t port);
    SerialPort *serial(int16_t port);

    PortSettings m_settings;
    ParallelPort m_lpt1;
    ParallelPort m_lpt2;
    SerialPort m_com1;
    SerialPort m_com2;
};
