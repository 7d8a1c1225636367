#include "printer_link/library_link.h"

#include "core/file_name.h"
#include "core/logging.h"
#include "printer_link/port_messages.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QtEndian>

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
    const QStringList names = library_link::candidates(m_explicitPath, m_applicationDir);
    QStringList reasons;
    for (const QString &name : names) {
        // Beside the executable: only an existing file, so a missing one does not hide the
        // real reason of a later candidate.
        if (name.contains(QLatin1Char('/')) && m_explicitPath.isEmpty() && !QFile::exists(name))
            continue;
        const file_name::QtName qtName(name);
        m_library.setFileName(qtName.name());
        if (m_library.load()) {
            // Where the search found it, or its own name rather than the descriptor's.
            m_fileName = qtName.name() == name ? m_library.fileName() : name;
            qCInfo(lcPrinter).noquote() << "biblioteca da impressora:" << m_fileName;
            return {};
        }
        reasons << m_library.errorString();
    }
    const QString what = m_explicitPath.isEmpty() ? QStringLiteral("Vorel_Dll") : m_explicitPath;
    return withRemedy(QStringLiteral("Não foi possível carregar a biblioteca da impressora %1: %2")
                          .arg(what,
                              reasons.isEmpty() ? QStringLiteral("arquivo não encontrado")
                                                : reasons.join(QStringLiteral("; "))));
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
