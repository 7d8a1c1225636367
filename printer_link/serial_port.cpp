#include "printer_link/serial_port.h"

#include "core/file_name.h"
#include "core/logging.h"
#include "printer_link/device_write.h"
#include "printer_link/port_messages.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kDrainPoll {10};

QSerialPort::FlowControl qtFlow(SerialFlow flow)
{
    switch (flow) {
    case SerialFlow::None:
        return QSerialPort::NoFlowControl;
    case SerialFlow::Hardware:
        return QSerialPort::HardwareControl;
    case SerialFlow::Software:
        return QSerialPort::SoftwareControl;
    }
    return QSerialPort::HardwareControl;
}

} // namespace

namespace serial_port {

QString openFailed(const PortDevice &device, QSerialPort::SerialPortError error, int errnum)
{
    switch (error) {
    case QSerialPort::PermissionError:
        // The user may open the device (checked before), so it is a lock held by another program.
        return QStringLiteral("Porta ocupada em %1: outro programa a está usando.")
            .arg(device.path);
    case QSerialPort::DeviceNotFoundError:
        return port_messages::openFailed(device, ENODEV);
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("A porta %1 não aceitou a velocidade ou o controle de fluxo pedidos.")
            .arg(device.path);
    default:
        return QStringLiteral("Não foi possível abrir %1: %2.")
            .arg(device.path, port_messages::reason(errnum));
    }
}

} // namespace serial_port

SerialPort::SerialPort(PortDevice device, const PortSettings &settings)
    : m_device(std::move(device))
    , m_speed(settings.serialSpeed)
    , m_flow(settings.serialFlow)
    , m_writeTimeout(settings.writeTimeout)
{ }

SerialPort::~SerialPort()
{
    close(m_writeTimeout);
}

QString SerialPort::open()
{
    if (m_port.isOpen())
        return {};
    // Qt says "permission" both for a device the user may not open and for one another
    // program holds; asking the system first tells the two apart.
    if (::faccessat(AT_FDCWD, file_name::encode(m_device.path).constData(), R_OK | W_OK, AT_EACCESS)
        != 0) {
        return port_messages::openFailed(m_device, errno);
    }
    const file_name::QtName name(m_device.path);
    m_port.setPortName(name.name());
    m_port.setBaudRate(m_speed);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(qtFlow(m_flow));
    // Write only: the printer's answers are never read, so nothing of them piles up here.
    if (!m_port.open(QIODevice::WriteOnly)) {
        const int errnum = errno;
        // Qt's own text is English: the log keeps it, the operator reads Portuguese.
        qCInfo(lcPrinter).noquote() << m_device.path << m_port.errorString();
        const QString error = serial_port::openFailed(m_device, m_port.error(), errnum);
        m_port.clearError();
        return error;
    }
    qCInfo(lcPrinter).noquote() << m_device.name << "aberta em" << m_device.path << m_speed
                                << "bps 8N1, fluxo" << port_settings::flowName(m_flow);
    return {};
}

void SerialPort::close(std::chrono::milliseconds drainLimit)
{
    if (!m_port.isOpen())
        return;
    // Closing a serial line waits, up to half a minute, for the driver to send what it holds,
    // and a printer holding the flow would freeze the program that long: wait at most
    // `drainLimit`, then drop the rest.
    const QDeadlineTimer deadline(drainLimit);
    int queued = 0;
    while (::ioctl(m_port.handle(), TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired())
        std::this_thread::sleep_for(kDrainPoll);
    m_port.clear(QSerialPort::Output);
    m_port.close();
    m_port.clearError();
}

LinkResult SerialPort::failure(const QString &error)
{
    close(std::chrono::milliseconds(0));
    return {-1, error};
}

LinkResult SerialPort::write(const QByteArray &bytes)
{
    if (QString e = open(); !e.isEmpty())
        return {-1, e};
    // Written on the descriptor, not through QSerialPort: its wait gives up early whenever its
    // read buffer is full and keeps unsent bytes to go out ahead of the next command.
    const int fd = m_port.handle();
    // Not a printer driver: a serial line's EIO is a hang-up, which waiting does not mend.
    const device_write::Outcome out = device_write::writeAll(fd, bytes, m_writeTimeout, false);
    if (out.written == bytes.size())
        return {};
    // What the driver still holds is dropped, so that it cannot reach the printer after the
    // command was given up; what already left the port cannot be called back.
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
        queued = 0;
    ::tcflush(fd, TCOFLUSH);
    const bool partial = out.written > queued;
    if (out.timedOut)
        return failure(port_messages::timedOut(m_device, m_writeTimeout, 0, partial));
    return failure(
        port_messages::writeFailed(m_device, port_messages::reason(out.errnum), partial));
}
