#include "core/text_file.h"

#include "core/system_error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <unistd.h>

namespace text_file {

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << bytes.mid(start, i - start);
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << bytes.mid(start);
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &line : lines) {
        out += line;
        out += kLineEnd;
    }
    return out;
}

QString writeAll(QFileDevice &file, const QByteArray &bytes)
{
    // Qt counts a short write as done and drops its error, so the system is called directly.
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(file.handle(), next, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return system_error::reason(n < 0 ? errno : EIO);
        next += n;
        left -= n;
    }
    return {};
}

ReadResult read(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    result.exists = true;
    if (QFileInfo(path).isDir()) {
        result.error = system_error::reason(EISDIR);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = system_error::reason(file);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.error = system_error::reason(file);
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
        return system_error::reason(EISDIR);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return system_error::reason(file);
    if (const QString why = writeAll(file, bytes); !why.isEmpty()) {
        file.cancelWriting();
        return why;
    }
    // commit() flushes, syncs to disk and renames; on failure the old file stays.
    if (!file.commit())
        return system_error::reason(file);
    removeStaleTemporaries(path);
    return {};
}

} // namespace text_file
