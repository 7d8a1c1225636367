#include "printer_link/port_discovery.h"

#include "printer_link/parallel_port.h"

#include <QDir>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <algorithm>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using Kind = PortDevice::Kind;

// The USB printer driver's request for the device ID; the system headers do not carry it.
constexpr int kDeviceIdSize = 1024;
constexpr unsigned long kGetDeviceId = _IOC(_IOC_READ, 'P', 1, kDeviceIdSize);

// "ttyS2" before "ttyS10": the name without its trailing number, then the number.
bool naturalLess(const QString &a, const QString &b)
{
    const auto split = [](const QString &s) {
        qsizetype i = s.size();
        while (i > 0 && s.at(i - 1).isDigit())
            --i;
        return std::pair(s.left(i), s.mid(i).toULongLong());
    };
    return split(a) < split(b);
}

port_discovery::Found found(Kind kind, const QString &path, QStringList details)
{
    details.removeAll(QString());
    details.removeDuplicates();
    const QString label = details.isEmpty()
        ? path
        : QStringLiteral("%1 — %2").arg(path, details.join(QStringLiteral(", ")));
    return {path, label, port_diagnosis::diagnose(kind, path)};
}

// Paths under `folder` named `prefix` and a number, in natural order.
QStringList numbered(const QString &folder, const QString &prefix)
{
    const QRegularExpression name(QStringLiteral("^%1\\d+$").arg(prefix));
    QStringList paths;
    const QDir dir(folder);
    for (const QString &entry :
        dir.entryList({prefix + QLatin1Char('*')}, QDir::AllEntries | QDir::System)) {
        if (name.match(entry).hasMatch())
            paths << dir.filePath(entry);
    }
    std::sort(paths.begin(), paths.end(), naturalLess);
    return paths;
}

} // namespace

namespace port_discovery {

QList<SerialEntry> systemSerialPorts()
{
    QList<SerialEntry> entries;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        entries.append(
            {info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber()});
    return entries;
}

QList<Found> serialPorts(const QList<SerialEntry> &entries)
{
    QList<SerialEntry> sorted = entries;
    std::sort(sorted.begin(), sorted.end(),
        [](const SerialEntry &a, const SerialEntry &b) { return naturalLess(a.path, b.path); });
    QList<Found> ports;
    for (const SerialEntry &e : sorted) {
        const QString serial = e.serialNumber.isEmpty()
            ? QString()
            : QStringLiteral("nº de série %1").arg(e.serialNumber);
        ports << found(Kind::Serial, e.path, {e.description, e.manufacturer, serial});
    }
    return ports;
}

QList<Found> parallelPorts(const QString &devRoot)
{
    const QDir root(devRoot);
    QList<Found> ports;
    for (const QString &path : numbered(devRoot, QStringLiteral("lp")))
        ports << found(Kind::Parallel, path, {});
    for (const QString &path :
        numbered(root.filePath(QStringLiteral("usb")), QStringLiteral("lp"))) {
        const DeviceId id = parseDeviceId(readDeviceId(path));
        // "HP" and "HP LaserJet 4" read as "HP LaserJet 4".
        const QString name = id.model.startsWith(id.maker, Qt::CaseInsensitive)
            ? id.model
            : QStringLiteral("%1 %2").arg(id.maker, id.model).trimmed();
        ports << found(Kind::Parallel, path, {name});
    }
    for (const QString &path : numbered(devRoot, QStringLiteral("parport")))
        ports << found(Kind::Parallel, path, {});
    return ports;
}

DeviceId parseDeviceId(const QByteArray &id)
{
    DeviceId parsed;
    for (const QByteArray &field : id.split(';')) {
        const qsizetype colon = field.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = field.left(colon).trimmed().toUpper();
        const QString value = QString::fromUtf8(field.mid(colon + 1)).trimmed();
        if (key == "MFG" || key == "MANUFACTURER")
            parsed.maker = value;
        else if (key == "MDL" || key == "MODEL")
            parsed.model = value;
    }
    return parsed;
}

QByteArray readDeviceId(const QString &path)
{
    const int fd
        = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {};
    // Asked only of the USB printer driver: another device could read the request as its own.
    struct stat info
    { };
    QByteArray id(kDeviceIdSize, '\0');
    qsizetype length = 0;
    if (::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode)
        && parallel_port::sourceForMajor(::major(info.st_rdev)) == parallel_port::Source::UsbPrinter
        && ::ioctl(fd, kGetDeviceId, id.data()) >= 0) {
        // Two bytes of length, big-endian, counting themselves.
        length = std::clamp<qsizetype>(
            (uchar(id.at(0)) << 8 | uchar(id.at(1))) - 2, 0, kDeviceIdSize - 2);
    }
    ::close(fd);
    return id.mid(2, length);
}

} // namespace port_discovery
