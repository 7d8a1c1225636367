#include "app/text_file.h"

#include "app/printer_link/cp1252.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace text_file {

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << cp1252::toUnicode(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << cp1252::toUnicode(bytes.mid(start));
    return lines;
}

QByteArray joinLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += cp1252::fromUnicode(line);
        out += kLineEnd;
    }
    return out;
}

namespace {

// Qt and the system word errors in English; the commonest get a Portuguese reason.
QString reasonFor(const QString &text)
{
    static const struct
    {
        const char *qt;
        const char *ours;
    } kKnown[] = {
        {"Permission denied", "sem permissão"},
        {"No space left on device", "disco cheio"},
        {"No such file or directory", "pasta inexistente"},
        {"Too many open files", "arquivos abertos demais"},
        {"file to open is a directory", "é uma pasta"},
        {"Read-only file system", "disco somente para leitura"},
        {"Disk quota exceeded", "cota de disco esgotada"},
        {"File too large", "arquivo grande demais"},
        {"is not writable", "sem permissão"},
    };
    for (const auto &known : kKnown) {
        if (text.contains(QLatin1String(known.qt), Qt::CaseInsensitive))
            return QString::fromUtf8(known.ours);
    }
    return {};
}

} // namespace

QString writeAll(QFileDevice &file, const QByteArray &bytes)
{
    // Qt counts a short write as done and drops its error, so the system is called directly.
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(file.handle(), next, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const QString text = QString::fromStdString(std::generic_category().message(errno));
            const QString known = reasonFor(text);
            return known.isEmpty() ? text : known;
        }
        next += n;
        left -= n;
    }
    return {};
}

QString reason(const QFileDevice &file)
{
    const QString text = file.errorString();
    const QString known = reasonFor(text);
    if (!known.isEmpty())
        return known;
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("disco cheio");
    return text.isEmpty() ? QStringLiteral("erro desconhecido") : text;
}

ReadResult read(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    result.exists = true;
    if (QFileInfo(path).isDir()) {
        result.error = QStringLiteral("é uma pasta");
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = reason(file);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.error = reason(file);
    return result;
}

namespace {

// A save cut short (power lost, process killed) leaves its temporary file beside the target;
// one untouched for an hour belongs to no save still running.
void removeStaleTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QString name = target.fileName();
    const QRegularExpression temporary(
        QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(name)));
    const QDateTime limit = QDateTime::currentDateTime().addSecs(-3600);
    const QFileInfoList candidates = target.absoluteDir().entryInfoList(
        {name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &f : candidates) {
        if (temporary.match(f.fileName()).hasMatch() && f.lastModified() < limit)
            QFile::remove(f.absoluteFilePath());
    }
}

} // namespace

QString replace(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("é uma pasta");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return reason(file);
    if (const QString why = writeAll(file, bytes); !why.isEmpty()) {
        file.cancelWriting();
        return why;
    }
    // commit() flushes, syncs to disk and renames; on failure the old file stays.
    if (!file.commit())
        return reason(file);
    removeStaleTemporaries(path);
    return {};
}

} // namespace text_file
