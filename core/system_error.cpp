#include "core/system_error.h"

#include "core/logging.h"

#include <QCoreApplication>
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
    // Qt keeps only a text, its own (English, or in its translation) or the C library's in the
    // system's language. The errno it came from is still the thread's last error for the
    // failures that matter here, but the text is what Qt promises, so it is matched.
    static const struct
    {
        const char *context;
        const char *source; // up to a "%1", if any
        int errnum;
    } kQtTexts[] = {
        {"QIODevice", "Permission denied", EACCES},
        {"QIODevice", "No space left on device", ENOSPC},
        {"QIODevice", "No such file or directory", ENOENT},
        {"QIODevice", "Too many open files", EMFILE},
        {"QIODevice", "file to open is a directory", EISDIR},
        {"QSaveFile", "Existing file %1 is not writable", EACCES},
        {"QSaveFile", "Filename refers to a directory", EISDIR},
    };
    static const int kSystemTexts[] = {EACCES, ENOSPC, ENOENT, EMFILE, EISDIR, EROFS, EDQUOT, EFBIG,
        ENOTDIR, EIO, ENAMETOOLONG, ELOOP};
    const QString text = file.errorString();
    const auto holds = [&text](const QString &known) {
        return text.contains(known.section(QStringLiteral("%1"), 0, 0), Qt::CaseInsensitive);
    };
    for (const auto &known : kQtTexts) {
        if (holds(QString::fromLatin1(known.source))
            || holds(QCoreApplication::translate(known.context, known.source)))
            return reason(known.errnum);
    }
    for (int errnum : kSystemTexts) {
        if (holds(QString::fromLocal8Bit(std::strerror(errnum))))
            return reason(errnum);
    }
    qCInfo(lcUi).noquote() << "erro de arquivo sem tradução:" << text;
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return reason(ENOSPC);
    case QFileDevice::PermissionsError:
        return reason(EACCES);
    case QFileDevice::ReadError:
        return QStringLiteral("erro de leitura");
    case QFileDevice::WriteError:
        return QStringLiteral("erro de gravação");
    default:
        return reason(0);
    }
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
