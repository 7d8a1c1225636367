#include "printer_link/ports_link.h"

#include "printer_link/port_messages.h"

#include <QThread>

namespace {

PortDevice device(const PortSettings &settings, int16_t port,
    PortDevice::Remedy remedy = PortDevice::Remedy::CommandLine)
{
    PortDevice d = *port_settings::deviceFor(settings, port);
    d.remedy = remedy;
    return d;
}

} // namespace

PortsLink::PortsLink(const PortSettings &settings, PortDevice::Remedy remedy)
    : m_settings(settings)
    , m_lpt1(device(settings, port_code::kLpt1, remedy), settings.writeTimeout)
    , m_lpt2(device(settings, port_code::kLpt2, remedy), settings.writeTimeout)
    , m_com1(device(settings, port_code::kCom1, remedy), settings)
    , m_com2(device(settings, port_code::kCom2, remedy), settings)
{ }

ParallelPort *PortsLink::parallel(int16_t port)
{
    return port == port_code::kLpt1 ? &m_lpt1 : port == port_code::kLpt2 ? &m_lpt2 : nullptr;
}

SerialPort *PortsLink::serial(int16_t port)
{
    return port == port_code::kCom1 ? &m_com1 : port == port_code::kCom2 ? &m_com2 : nullptr;
}

LinkResult PortsLink::Estado(int16_t port)
{
    if (ParallelPort *p = parallel(port))
        return p->status();
    if (serial(port))
        return {-1, port_messages::serialHasNoStatus(device(m_settings, port))};
    return {-1, port_messages::unknownPort(port)};
}

LinkResult PortsLink::TX(int16_t port, const QByteArray &bytes)
{
    if (ParallelPort *p = parallel(port))
        return p->write(bytes);
    if (SerialPort *s = serial(port))
        return s->write(bytes);
    return {-1, port_messages::unknownPort(port)};
}

LinkResult PortsLink::TXI(int16_t port, const QByteArray &bytes)
{
    return TX(port, bytes);
}

void PortsLink::Sleep(uint32_t milliseconds)
{
    QThread::msleep(milliseconds);
}

void PortsLink::closePorts()
{
    m_lpt1.close();
    m_lpt2.close();
    m_com1.close();
    m_com2.close();
}
