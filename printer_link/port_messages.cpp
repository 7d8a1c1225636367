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
    switch (device.remedy) {
    case port_messages::Remedy::Dialog:
        return QStringLiteral("escolha outro dispositivo");
    case port_messages::Remedy::Menu:
        return QStringLiteral("escolha outro ") + port_messages::setupPlace();
    case port_messages::Remedy::CommandLine:
        break;
    }
    return QStringLiteral("indique outro caminho com --%1").arg(device.option);
}

// Where the serial line settings are changed, as an aside after "controle de fluxo".
QString flowPlace(const PortDevice &device)
{
    switch (device.remedy) {
    case port_messages::Remedy::Dialog:
        return {};
    case port_messages::Remedy::Menu:
        return QLatin1Char(' ') + port_messages::setupPlace();
    case port_messages::Remedy::CommandLine:
        break;
    }
    return QStringLiteral(" (--serial-flow)");
}

QString seconds(std::chrono::milliseconds limit)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil)
        .toString(double(limit.count()) / 1000.0, 'g', 6);
}

// A printer left inside half a command takes the next command's bytes as the rest of it.
QString partialNote(bool partial)
{
    if (!partial)
        return {};
    return QStringLiteral(" A impressora pode ter recebido parte do comando: desligue-a e ligue-a "
                          "de novo antes de continuar.");
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

QString setupPlace()
{
    return QStringLiteral(
        "em \"Configurar impressora...\" (clique com o botão direito na janela principal)");
}

QString openFailed(const PortDevice &device, int errnum)
{
    const QString &path = device.path;
    switch (errnum) {
    case EACCES:
    case EPERM:
        return noPermission(path, group(device));
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
        return cannotOpen(path, errnum);
    }
}

QString cannotOpen(const QString &path, int errnum)
{
    return QStringLiteral("Não foi possível abrir %1: %2.").arg(path, reason(errnum));
}

QString noPermission(const QString &path, const QString &group)
{
    return QStringLiteral("Permissão negada em %1: o usuário precisa pertencer ao grupo %2 "
                          "(sudo usermod -aG %2 $USER) e entrar de novo na sessão.")
        .arg(path, group);
}

QString onlyAdministrator(const QString &path, const QString &owner)
{
    return QStringLiteral("Permissão negada em %1: só %2 pode usar esse dispositivo; peça ao "
                          "administrador que dê acesso a ele.")
        .arg(path, owner);
}

QString notAPort(const QString &path, const QString &what)
{
    return QStringLiteral("%1 não é uma porta de impressora: %2.").arg(path, what);
}

QString wrongKind(const QString &path, PortDevice::Kind actual)
{
    if (actual == PortDevice::Kind::Serial)
        return QStringLiteral("%1 é uma porta serial: escolha-a para COM1 ou COM2.").arg(path);
    return QStringLiteral("%1 é uma porta paralela: escolha-a para LPT1 ou LPT2.").arg(path);
}

QString usable(const QString &path)
{
    return QStringLiteral("%1 está pronto para uso.").arg(path);
}

QString statusFailed(const PortDevice &device, int errnum)
{
    return QStringLiteral("Não foi possível ler o estado da impressora em %1: %2.")
        .arg(device.path, reason(errnum));
}

QString timedOut(
    const PortDevice &device, std::chrono::milliseconds limit, int errnum, bool partial)
{
    QString text = QStringLiteral("A impressora em %1 não recebeu os dados em %2 s")
                       .arg(device.path, seconds(limit));
    if (errnum != 0)
        text += QStringLiteral(" (%1)").arg(reason(errnum));
    if (device.kind == PortDevice::Kind::Serial)
        text += QStringLiteral("; confira o cabo e o controle de fluxo") + flowPlace(device);
    return text + QLatin1Char('.') + partialNote(partial);
}

QString writeFailed(const PortDevice &device, const QString &why, bool partial)
{
    return QStringLiteral("Falha ao enviar os dados para %1: %2.").arg(device.path, why)
        + partialNote(partial);
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
