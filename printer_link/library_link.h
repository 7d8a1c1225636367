#pragma once

#include "printer_link/port_settings.h"
#include "printer_link/printer_link.h"

#include <QLibrary>
#include <QStringList>

#if defined(_WIN32) && !defined(_WIN64)
#define VOREL_STDCALL __stdcall
#else
#define VOREL_STDCALL
#endif

namespace library_link {

// Where the library is looked for: the given path alone, or beside the executable and then
// the system's search path; never the working directory.
[[nodiscard]] QStringList candidates(const QString &explicitPath, const QString &applicationDir);

// Why the file at `path` cannot be the printer library, in Portuguese: missing, unreadable, no
// library at all or one built for another machine than this program; empty when nothing in the
// file itself says why.
[[nodiscard]] QString fileProblem(const QString &path);

// The folders of the system's search path that are looked in for a bare name, in order:
// LD_LIBRARY_PATH, then the usual library folders.
[[nodiscard]] QStringList systemFolders();

// The string as the library receives it: 32-bit little-endian count, the bytes, a zero byte.
// The library gets a pointer to the first byte, 4 bytes into this buffer.
[[nodiscard]] QByteArray framed(const QByteArray &bytes);

} // namespace library_link

// The printer library, loaded on the first call; each function is looked up on its first call.
class LibraryLink : public PrinterLink
{
public:
    // `remedy`: whether the messages send the operator to the printer setup of the main window.
    LibraryLink(QString explicitPath, QString applicationDir,
        PortDevice::Remedy remedy = PortDevice::Remedy::CommandLine);

    [[nodiscard]] LinkResult Estado(int16_t port) override;
    [[nodiscard]] LinkResult TX(int16_t port, const QByteArray &bytes) override;
    LinkResult TXI(int16_t port, const QByteArray &bytes) override;
    void Sleep(uint32_t milliseconds) override;

private:
    using StatusFn = int16_t(VOREL_STDCALL *)(int16_t);
    using SendFn = int16_t(VOREL_STDCALL *)(int16_t, const char *);

    QString load();
    // Why `name` (a path, or the bare name for the system's search) did not load.
    [[nodiscard]] QString whyNotLoaded(const QString &name) const;
    void logSystemText(const QString &text);
    QFunctionPointer resolve(const char *name, QFunctionPointer &slot, QString *error);
    [[nodiscard]] QString withRemedy(const QString &error) const;
    LinkResult send(
        const char *name, QFunctionPointer &slot, int16_t port, const QByteArray &bytes);

    QString m_explicitPath;
    QString m_applicationDir;
    PortDevice::Remedy m_remedy;
    QLibrary m_library;
    QStringList m_logged; // the system's own texts, each logged once
    QString m_fileName; // of the library loaded, as given
    QFunctionPointer m_estado = nullptr;
    QFunctionPointer m_tx = nullptr;
    QFunctionPointer m_txi = nullptr;
};
