#include "printer_link/port_diagnosis.h"

#include "core/file_name.h"
#include "core/system_error.h"
#include "printer_link/port_messages.h"
#include "printer_link/ports_link.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <linux/lp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Kind = PortDevice::Kind;
using port_diagnosis::Diagnosis;
using port_diagnosis::Verdict;

// Character device majors: raw parallel port access, and the built-in serial ports
// (/dev/ttyS0 is minor 64).
constexpr unsigned int kPpdevMajor = 99;
constexpr unsigned int kTtyMajor = 4;
constexpr unsigned int kFirstTtyS = 64;

// Status bits as the parallel port's status register has them.
constexpr uint8_t kNotBusy = 0x80;
constexpr uint8_t kPaperEnd = 0x20;
constexpr uint8_t kOnLine = 0x10;
constexpr uint8_t kNoError = 0x08;

QString whatItIs(mode_t mode)
{
    if (S_ISDIR(mode))
        return system_error::reason(EISDIR);
    if (S_ISREG(mode))
        return QStringLiteral("é um arquivo comum");
    if (S_ISFIFO(mode))
        return QStringLiteral("é um pipe nomeado (FIFO)");
    if (S_ISSOCK(mode))
        return QStringLiteral("é um soquete");
    return QStringLiteral("é um dispositivo de blocos, como um disco");
}

QString userName(uid_t uid)
{
    char buffer[4096];
    passwd entry {};
    passwd *found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    char buffer[4096];
    group entry {};
    group *found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

// Joining the group that owns the device helps only if that group may use it.
Diagnosis noAccess(const QString &path, const struct stat &info, Kind kind)
{
    const mode_t need = kind == Kind::Serial ? S_IRGRP | S_IWGRP : S_IWGRP;
    if (info.st_gid != 0 && (info.st_mode & need) == need)
        return {Verdict::NoPermission, port_messages::noPermission(path, groupName(info.st_gid))};
    return {Verdict::NoPermission, port_messages::onlyAdministrator(path, userName(info.st_uid))};
}

// A built-in serial port the machine does not have still has its /dev/ttyS node.
bool missingUart(int fd, const struct stat &info)
{
    serial_struct serial {};
    return ::major(info.st_rdev) == kTtyMajor && ::minor(info.st_rdev) >= kFirstTtyS
        && ::ioctl(fd, TIOCGSERIAL, &serial) == 0 && serial.type == PORT_UNKNOWN;
}

// What answers on the open descriptor: a serial line, a parallel printer port, or neither.
Diagnosis probe(int fd, const PortDevice &device, const struct stat &info)
{
    const QString &path = device.path;
    if (missingUart(fd, info))
        return {Verdict::Absent, port_messages::openFailed(device, ENODEV)};
    termios line {};
    if (::tcgetattr(fd, &line) == 0) {
        // Another program's exclusive hold; root's own open passes it, so it is asked for.
        int exclusive = 0;
        if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0)
            return {Verdict::Busy, port_messages::openFailed(device, EBUSY)};
        if (device.kind == Kind::Parallel)
            return {Verdict::WrongKind, port_messages::wrongKind(path, Kind::Serial)};
        return {Verdict::Usable, port_messages::usable(path)};
    }
    int status = 0;
    if (::ioctl(fd, LPGETSTATUS, &status) == 0) {
        if (device.kind == Kind::Serial)
            return {Verdict::WrongKind, port_messages::wrongKind(path, Kind::Parallel)};
        return {Verdict::Usable, port_messages::usable(path)};
    }
    // The raw port takes no plain writes; the printer driver on top of it does.
    if (::major(info.st_rdev) == kPpdevMajor)
        return {Verdict::NotAPort,
            port_messages::notAPort(path,
                QStringLiteral("é o acesso direto à porta paralela; carregue o driver da "
                               "impressora (sudo modprobe lp) e escolha um /dev/lp"))};
    return {Verdict::NotAPort,
        port_messages::notAPort(
            path, QStringLiteral("o dispositivo não responde como porta paralela nem serial"))};
}

QString bits(uint8_t status)
{
    return QStringLiteral("%1").arg(status, 8, 2, QLatin1Char('0'));
}

} // namespace

namespace port_diagnosis {

Diagnosis diagnose(PortDevice::Kind kind, const QString &path)
{
    const PortDevice device {kind, {}, {}, path, PortDevice::Remedy::Dialog};
    const QByteArray local = file_name::encode(path);
    struct stat info
    { };
    if (path.isEmpty() || ::stat(local.constData(), &info) != 0) {
        const int e = path.isEmpty() ? ENOENT : errno;
        if (e == ENOENT || e == ENOTDIR)
            return {Verdict::Missing, port_messages::openFailed(device, e)};
        return {Verdict::Failed, port_messages::cannotOpen(path, e)};
    }
    // Only a device is opened: a FIFO would wait for a writer, and nothing else is a port.
    if (!S_ISCHR(info.st_mode))
        return {Verdict::NotAPort, port_messages::notAPort(path, whatItIs(info.st_mode))};
    const int access = kind == Kind::Serial ? O_RDWR : O_WRONLY;
    const int fd = ::open(local.constData(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        switch (const int e = errno) {
        case EACCES:
        case EPERM:
            return noAccess(path, info, kind);
        case EBUSY:
            return {Verdict::Busy, port_messages::openFailed(device, e)};
        case ENXIO:
        case ENODEV:
        case ENOENT:
            return {Verdict::Absent, port_messages::openFailed(device, e)};
        default:
            return {Verdict::Failed, port_messages::cannotOpen(path, e)};
        }
    }
    const Diagnosis found = probe(fd, device, info);
    ::close(fd);
    return found;
}

PortTest testPort(const PortSettings &settings, int16_t port)
{
    const std::optional<PortDevice> device = port_settings::deviceFor(settings, port);
    if (!device)
        return {false, port_messages::unknownPort(port)};
    PortsLink link(settings, PortDevice::Remedy::Dialog);
    if (device->kind == PortDevice::Kind::Parallel) {
        const LinkResult read = link.Estado(port);
        if (read.callFailed())
            return {false, read.error};
        const auto status = uint8_t(read.value);
        const bool ready = (status & (kOnLine | kPaperEnd | kNoError)) == (kOnLine | kNoError);
        return {ready,
            QStringLiteral("A impressora em %1 respondeu: %2 (estado %3).")
                .arg(device->path, describeStatus(status), bits(status))};
    }
    // An empty write opens the port with the line settings and sends nothing; the link closes
    // it on the way out.
    const LinkResult opened = link.TX(port, {});
    if (opened.refused())
        return {false, opened.error};
    return {true,
        QStringLiteral("%1 abriu e fechou em %2. Uma porta serial não informa se a impressora "
                       "está ligada.")
            .arg(device->name, port_settings::describe(settings).value(port))};
}

PortTest sendTest(const PortSettings &settings, int16_t port, const QByteArray &bytes)
{
    const std::optional<PortDevice> device = port_settings::deviceFor(settings, port);
    if (!device)
        return {false, port_messages::unknownPort(port)};
    PortsLink link(settings, PortDevice::Remedy::Dialog);
    if (const LinkResult sent = link.TX(port, bytes); sent.refused())
        return {false, sent.error};
    return {true,
        QStringLiteral("%1 bytes enviados para %2 em %3.")
            .arg(QString::number(bytes.size()), device->name, device->path)};
}

QString describeStatus(uint8_t status)
{
    QStringList parts {
        status & kOnLine ? QStringLiteral("em linha") : QStringLiteral("fora de linha"),
        status & kPaperEnd ? QStringLiteral("sem papel") : QStringLiteral("com papel"),
        status & kNoError ? QStringLiteral("sem erro") : QStringLiteral("com erro"),
    };
    if (!(status & kNotBusy))
        parts << QStringLiteral("ocupada");
    return parts.join(QStringLiteral(", "));
}

} // namespace port_diagnosis
