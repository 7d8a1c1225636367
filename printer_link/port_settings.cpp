#include "printer_link/port_settings.h"

namespace {

using namespace port_code;

QString flowDescription(SerialFlow flow)
{
    switch (flow) {
    case SerialFlow::None:
        return QStringLiteral("sem controle de fluxo");
    case SerialFlow::Hardware:
        return QStringLiteral("fluxo por hardware, RTS/CTS");
    case SerialFlow::Software:
        return QStringLiteral("fluxo por software, XON/XOFF");
    }
    return {};
}

} // namespace

namespace port_settings {

std::optional<PortDevice> deviceFor(const PortSettings &settings, int16_t port)
{
    using Kind = PortDevice::Kind;
    const auto device = [port](Kind kind, const QString &path) {
        return PortDevice {kind, port_code::name(port), port_code::name(port).toLower(), path};
    };
    switch (port) {
    case kLpt1:
        return device(Kind::Parallel, settings.lpt1);
    case kLpt2:
        return device(Kind::Parallel, settings.lpt2);
    case kCom1:
        return device(Kind::Serial, settings.com1);
    case kCom2:
        return device(Kind::Serial, settings.com2);
    default:
        return std::nullopt;
    }
}

QMap<int, QString> describe(const PortSettings &settings)
{
    const QString serial = QStringLiteral("%1 (%2 bps, 8N1, %3)");
    const QString speed = QString::number(settings.serialSpeed);
    const QString flow = flowDescription(settings.serialFlow);
    return {{kLpt1, settings.lpt1}, {kLpt2, settings.lpt2},
        {kCom1, serial.arg(settings.com1, speed, flow)},
        {kCom2, serial.arg(settings.com2, speed, flow)}};
}

QString flowName(SerialFlow flow)
{
    switch (flow) {
    case SerialFlow::None:
        return QStringLiteral("none");
    case SerialFlow::Hardware:
        return QStringLiteral("hardware");
    case SerialFlow::Software:
        return QStringLiteral("software");
    }
    return {};
}

std::optional<SerialFlow> flowFromName(const QString &name)
{
    for (SerialFlow f : {SerialFlow::None, SerialFlow::Hardware, SerialFlow::Software}) {
        if (name == flowName(f))
            return f;
    }
    return std::nullopt;
}

} // namespace port_settings
