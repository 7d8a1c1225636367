#include "core/system_error.h"

#include <QFileDevice>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace system_error {

QString reason(int errnum)
{
    switch (errnum) {
    case EACCES:
    case EPERM:
        return QStringLiteral("permissão negada");
    case ENOENT:
        return QStringLiteral("o arquivo ou a pasta não existe");
    case ENOTDIR:
        return QStringLiteral("o caminho passa por algo que não é uma pasta");
    case EISDIR:
        return QStringLiteral("é uma pasta");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("o dispositivo não está presente");
    case EBUSY:
        return QStringLiteral("o dispositivo está ocupado");
    case EIO:
        return QStringLiteral("erro de entrada e saída");
    case ENOSPC:
        return QStringLiteral("disco ou dispositivo cheio");
    case EDQUOT:
        return QStringLiteral("cota de disco esgotada");
    case EFBIG:
        return QStringLiteral("arquivo grande demais");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("arquivos abertos demais");
    case ENOTTY:
    case EINVAL:
        return QStringLiteral("o dispositivo não é uma porta de impressora");
    case EROFS:
        return QStringLiteral("disco somente para leitura");
    case EPIPE:
        return QStringLiteral("o outro lado fechou a conexão");
    case ELOOP:
        return QStringLiteral("ligações simbólicas demais no caminho");
    case ENAMETOOLONG:
        return QStringLiteral("nome de arquivo longo demais");
    case 0:
        return QStringLiteral("erro desconhecido");
    default:
        return QStringLiteral("erro do sistema %1").arg(errnum);
    }
}

QString reason(const QFileDevice &file)
{
    // Qt keeps only its English text; the errno it came from is still the thread's last error
    // for the failures that matter here, but the text is what Qt promises, so it is matched.
    static const struct
    {
        const char *qt;
        int errnum;
    } kKnown[] = {
        {"Permission denied", EACCES},
        {"is not writable", EACCES},
        {"No space left on device", ENOSPC},
        {"No such file or directory", ENOENT},
        {"Too many open files", EMFILE},
        {"file to open is a directory", EISDIR},
        {"Is a directory", EISDIR},
        {"Read-only file system", EROFS},
        {"Disk quota exceeded", EDQUOT},
        {"File too large", EFBIG},
        {"Not a directory", ENOTDIR},
    };
    const QString text = file.errorString();
    for (const auto &known : kKnown) {
        if (text.contains(QLatin1String(known.qt), Qt::CaseInsensitive))
            return reason(known.errnum);
    }
    if (file.error() == QFileDevice::ResourceError)
        return reason(ENOSPC);
    return text.isEmpty() ? reason(0) : text;
}

QString notRegularFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return reason(EISDIR);
    const char *kind = S_ISFIFO(mode)    ? "um pipe nomeado (FIFO)"
        : S_ISSOCK(mode)                 ? "um socket"
        : S_ISCHR(mode) || S_ISBLK(mode) ? "um dispositivo"
                                         : nullptr;
    return kind ? QStringLiteral("é %1, não um arquivo comum").arg(QLatin1String(kind))
                : QStringLiteral("não é um arquivo comum");
}

} // namespace system_error
