#include "printer_link/port_messages.h"

#include "core/system_error.h"

#include <QLocale>
#include <cerrno>

namespace {

QString group(const PortDevice &device)
{
    return device.kind == PortDevice::Kind::Parallel ? QStringLiteral("lp")
                                                     : QStringLiteral("dialout");
}

QString otherPath(const PortDevice &device)
{
    return QStringLiteral("indique outro caminho com --%1").arg(device.option);
}

QString seconds(std::chrono::milliseconds limit)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil)
        .toString(double(limit.count()) / 1000.0, 'g', 6);
}

} // namespace

namespace port_messages {

QString reason(int errnum)
{
    // What the printer drivers mean by these two; everything else reads as anywhere else.
    switch (errnum) {
    case EIO:
        return QStringLiteral("impressora desligada, fora de linha ou com erro");
    case ENOSPC:
        return QStringLiteral("sem papel");
    default:
        return system_error::reason(errnum);
    }
}

QString openFailed(const PortDevice &device, int errnum)
{
    const QString &path = device.path;
    switch (errnum) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Permissão negada em %1: o usuário precisa pertencer ao grupo %2 "
                              "(sudo usermod -aG %2 $USER) e entrar de novo na sessão.")
            .arg(path, group(device));
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Nenhum dispositivo em %1: confira se a impressora ou o adaptador "
                              "está ligado, ou %2.")
            .arg(path, otherPath(device));
    case ENODEV:
    case ENXIO:
        return QStringLiteral("Dispositivo ausente em %1: o sistema não encontrou essa porta; "
                              "confira o cabo ou o adaptador, ou %2.")
            .arg(path, otherPath(device));
    case EBUSY:
        return QStringLiteral("Porta ocupada em %1: outro programa a está usando.").arg(path);
    default:
        return QStringLiteral("Não foi possível abrir %1: %2.").arg(path, reason(errnum));
    }
}

QString statusFailed(const PortDevice &device, int errnum)
{
    return QStringLiteral("Não foi possível ler o estado da impressora em %1: %2.")
        .arg(device.path, reason(errnum));
}

QString timedOut(const PortDevice &device, std::chrono::milliseconds limit, int errnum)
{
    QString text = QStringLiteral("A impressora em %1 não recebeu os dados em %2 s")
                       .arg(device.path, seconds(limit));
    if (errnum != 0)
        text += QStringLiteral(" (%1)").arg(reason(errnum));
    if (device.kind == PortDevice::Kind::Serial)
        text += QStringLiteral("; confira o cabo e o controle de fluxo (--serial-flow)");
    return text + QLatin1Char('.');
}

QString writeFailed(const PortDevice &device, const QString &why)
{
    return QStringLiteral("Falha ao enviar os dados para %1: %2.").arg(device.path, why);
}

QString serialHasNoStatus(const PortDevice &device)
{
    return QStringLiteral("A porta %1 (%2) é serial e não informa o estado da impressora.")
        .arg(device.name, device.path);
}

QString unknownPort(int port)
{
    return QStringLiteral("Porta desconhecida: %1 (use 888, 632, 1 ou 2).").arg(port);
}

} // namespace port_messages
