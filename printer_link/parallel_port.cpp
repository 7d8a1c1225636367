#include "printer_link/parallel_port.h"

#include "core/file_name.h"
#include "core/logging.h"
#include "core/system_error.h"
#include "printer_link/device_write.h"
#include "printer_link/port_messages.h"
#include "printer_link/status.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/lp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// Character device majors of the parallel printer driver (/dev/lp*) and of the USB printer
// class driver (/dev/usb/lp*).
constexpr unsigned int kParallelMajor = 6;
constexpr unsigned int kUsbMajor = 180;
// Error, select and paper end: the lines a USB printer reports.
constexpr uint8_t kUsbBits = 0x38;

} // namespace

namespace parallel_port {

uint8_t statusByte(int raw, Source source)
{
    const auto bits = static_cast<uint8_t>(raw & 0xFF);
    if (source == Source::UsbPrinter)
        return static_cast<uint8_t>((kIdleStatus & ~kUsbBits) | (bits & kUsbBits));
    return bits;
}

Source sourceForMajor(unsigned int major)
{
    return major == kUsbMajor ? Source::UsbPrinter : Source::ParallelPort;
}

bool isPrinterDriver(unsigned int major)
{
    return major == kParallelMajor || major == kUsbMajor;
}

} // namespace parallel_port

ParallelPort::ParallelPort(PortDevice device, std::chrono::milliseconds writeTimeout)
    : m_device(std::move(device))
    , m_writeTimeout(writeTimeout)
{ }

ParallelPort::~ParallelPort()
{
    close();
}

QString ParallelPort::open()
{
    if (m_fd >= 0)
        return {};
    // Non-blocking, so that neither the open nor any write can wait on the printer.
    const int fd = ::open(
        file_name::encode(m_device.path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return port_messages::openFailed(m_device, errno);
    struct stat info
    { };
    m_source = parallel_port::Source::ParallelPort;
    m_printerDriver = false;
    if (::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode)) {
        m_source = parallel_port::sourceForMajor(::major(info.st_rdev));
        m_printerDriver = parallel_port::isPrinterDriver(::major(info.st_rdev));
    }
    m_fd = fd;
    if (m_source == parallel_port::Source::UsbPrinter)
        qCInfo(lcPrinter).noquote() << m_device.name << "aberta em" << m_device.path
                                    << "(impressora USB: estado só nos bits 3 a 5)";
    else
        qCInfo(lcPrinter).noquote() << m_device.name << "aberta em" << m_device.path;
    return {};
}

void ParallelPort::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

LinkResult ParallelPort::failure(const QString &error)
{
    close();
    return {-1, error};
}

LinkResult ParallelPort::status()
{
    if (QString e = open(); !e.isEmpty())
        return {-1, e};
    // The USB printer driver answers this same request with the printer class's port status
    // byte; it has no request of its own for it in the system headers.
    int raw = 0;
    if (::ioctl(m_fd, LPGETSTATUS, &raw) < 0)
        return failure(port_messages::statusFailed(m_device, errno));
    return {int16_t(parallel_port::statusByte(raw, m_source)), {}};
}

LinkResult ParallelPort::write(const QByteArray &bytes)
{
    if (QString e = open(); !e.isEmpty())
        return {-1, e};
    const device_write::Outcome out
        = device_write::writeAll(m_fd, bytes, m_writeTimeout, m_printerDriver);
    if (out.written == bytes.size())
        return {};
    // The driver sends what it took on its own and has no way to drop it.
    const bool partial = out.written > 0;
    if (out.timedOut)
        return failure(port_messages::timedOut(m_device, m_writeTimeout, out.errnum, partial));
    const QString why
        = m_printerDriver ? port_messages::reason(out.errnum) : system_error::reason(out.errnum);
    return failure(port_messages::writeFailed(m_device, why, partial));
}
