#include "printer_link/library_link.h"

#include "core/file_name.h"
#include "core/logging.h"
#include "core/system_error.h"
#include "printer_link/port_messages.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QThread>
#include <QtEndian>
#include <cerrno>

namespace {

constexpr int kElfHeader = 20;

} // namespace

namespace library_link {

QStringList candidates(const QString &explicitPath, const QString &applicationDir)
{
    if (!explicitPath.isEmpty())
        return {QFileInfo(explicitPath).absoluteFilePath()};
    const QDir dir(applicationDir);
    // A bare name makes the loader search the system's paths only.
    return {dir.absoluteFilePath(QStringLiteral("libVorel_Dll.so")),
        dir.absoluteFilePath(QStringLiteral("Vorel_Dll.so")), QStringLiteral("Vorel_Dll")};
}

QString fileProblem(const QString &path)
{
    const file_name::QtName qtName(path);
    const QFileInfo info(qtName.name());
    if (!info.exists())
        return system_error::reason(ENOENT);
    if (info.isDir())
        return system_error::reason(EISDIR);
    QFile file(qtName.name());
    if (!file.open(QIODevice::ReadOnly))
        return system_error::reason(EACCES);
    const QByteArray header = file.read(kElfHeader);
    if (header.size() < kElfHeader || !header.startsWith(QByteArray::fromHex("7f454c46")))
        return QStringLiteral("não é uma biblioteca");
    QFile self(QStringLiteral("/proc/self/exe"));
    const QByteArray own = self.open(QIODevice::ReadOnly) ? self.read(kElfHeader) : QByteArray();
    if (own.size() < kElfHeader)
        return {};
    // Byte 4 is the word size, bytes 18 and 19 the processor.
    if (header[4] != own[4]) {
        return QStringLiteral("é uma biblioteca de %1 bits, e este programa é de %2 bits")
            .arg(header[4] == 1 ? 32 : 64)
            .arg(own[4] == 1 ? 32 : 64);
    }
    if (header.mid(18, 2) != own.mid(18, 2))
        return QStringLiteral("é uma biblioteca para outro tipo de processador");
    return {};
}

QStringList systemFolders()
{
    QStringList folders;
    for (const QString &folder : qEnvironmentVariable("LD_LIBRARY_PATH").split(QLatin1Char(':')))
        if (!folder.isEmpty())
            folders << folder;
    folders << QStringLiteral("/usr/local/lib") << QLibraryInfo::path(QLibraryInfo::LibrariesPath)
            << QStringLiteral("/usr/lib") << QStringLiteral("/lib");
    folders.removeDuplicates();
    return folders;
}

QByteArray framed(const QByteArray &bytes)
{
    QByteArray buffer(4, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(bytes.size()), buffer.data());
    buffer.append(bytes);
    buffer.append('\0');
    return buffer;
}

} // namespace library_link

LibraryLink::LibraryLink(QString explicitPath, QString applicationDir, PortDevice::Remedy remedy)
    : m_explicitPath(std::move(explicitPath))
    , m_applicationDir(std::move(applicationDir))
    , m_remedy(remedy)
{ }

QString LibraryLink::withRemedy(const QString &error) const
{
    if (m_remedy != PortDevice::Remedy::Menu)
        return error;
    return QStringLiteral("%1 Escolha outra biblioteca %2.")
        .arg(error.endsWith(QLatin1Char('.')) ? error : error + QLatin1Char('.'),
            port_messages::setupPlace());
}

QString LibraryLink::load()
{
    if (m_library.isLoaded())
        return {};
    QStringList places;
    for (const QString &name : library_link::candidates(m_explicitPath, m_applicationDir)) {
        const bool bare = !name.contains(QLatin1Char('/'));
        // A file that is plainly no library is not handed to the system's loader.
        QString why = bare ? QString() : library_link::fileProblem(name);
        if (why.isEmpty()) {
            const file_name::QtName qtName(name);
            m_library.setFileName(qtName.name());
            if (m_library.load()) {
                // Where the search found it, or its own name rather than the descriptor's.
                m_fileName = qtName.name() == name ? m_library.fileName() : name;
                qCInfo(lcPrinter).noquote() << "biblioteca da impressora:" << m_fileName;
                return {};
            }
            logSystemText(m_library.errorString());
            why = whyNotLoaded(name);
        }
        places << (bare ? QStringLiteral("no caminho de bibliotecas do sistema (%1): %2")
                              .arg(library_link::systemFolders().join(QStringLiteral(", ")), why)
                        : QStringLiteral("%1: %2").arg(name, why));
    }
    if (!m_explicitPath.isEmpty()) {
        return withRemedy(QStringLiteral("Não foi possível carregar a biblioteca da impressora %1.")
                              .arg(places.join(QString())));
    }
    return withRemedy(QStringLiteral("Não foi possível carregar a biblioteca da impressora "
                                     "Vorel_Dll. Procurada nesta ordem: %1.")
                          .arg(places.join(QStringLiteral("; "))));
}

QString LibraryLink::whyNotLoaded(const QString &name) const
{
    const QString refused = QStringLiteral(
        "o sistema não conseguiu carregá-la (falta uma biblioteca da qual ela depende, ou o "
        "arquivo está danificado; o motivo do sistema vai para o registro vorel.printer)");
    if (name.contains(QLatin1Char('/')))
        return refused;
    // The system's loader does not say where it looked; the usual places are looked in here.
    for (const QString &folder : library_link::systemFolders()) {
        for (const char *file : {"libVorel_Dll.so", "Vorel_Dll.so"}) {
            const QString path = QDir(folder).filePath(QLatin1String(file));
            if (QFileInfo::exists(path)) {
                const QString problem = library_link::fileProblem(path);
                return QStringLiteral("%1: %2").arg(path, problem.isEmpty() ? refused : problem);
            }
        }
    }
    return QStringLiteral("não encontrada");
}

void LibraryLink::logSystemText(const QString &text)
{
    if (m_logged.contains(text))
        return;
    m_logged << text;
    qCWarning(lcPrinter).noquote() << "biblioteca da impressora:" << text;
}

QFunctionPointer LibraryLink::resolve(const char *name, QFunctionPointer &slot, QString *error)
{
    if (slot)
        return slot;
    if (QString e = load(); !e.isEmpty()) {
        *error = e;
        return nullptr;
    }
    slot = m_library.resolve(name);
    if (!slot) {
        *error = withRemedy(
            QStringLiteral("A função %1 não foi encontrada na biblioteca da impressora %2.")
                .arg(QString::fromLatin1(name), m_fileName));
    }
    return slot;
}

LinkResult LibraryLink::send(
    const char *name, QFunctionPointer &slot, int16_t port, const QByteArray &bytes)
{
    LinkResult r;
    auto fn = reinterpret_cast<SendFn>(resolve(name, slot, &r.error));
    if (!fn)
        return r;
    const QByteArray buffer = library_link::framed(bytes);
    r.value = fn(port, buffer.constData() + 4);
    return r;
}

LinkResult LibraryLink::Estado(int16_t port)
{
    LinkResult r;
    auto fn = reinterpret_cast<StatusFn>(resolve("Estado", m_estado, &r.error));
    if (fn)
        r.value = fn(port);
    return r;
}

LinkResult LibraryLink::TX(int16_t port, const QByteArray &bytes)
{
    return send("TX", m_tx, port, bytes);
}

LinkResult LibraryLink::TXI(int16_t port, const QByteArray &bytes)
{
    return send("TXI", m_txi, port, bytes);
}

void LibraryLink::Sleep(uint32_t milliseconds)
{
    QThread::msleep(milliseconds);
}
