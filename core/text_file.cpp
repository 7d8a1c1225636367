#include "core/text_file.h"

#include "core/system_error.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
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

QByteArray normalizeLines(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n') {
            out += c;
            continue;
        }
        out += kLineEnd;
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
    }
    if (!out.isEmpty() && !out.endsWith('\n'))
        out += kLineEnd;
    return out;
}

QString tooLarge(qint64 maxBytes)
{
    const bool mebibytes = maxBytes % (1 << 20) == 0;
    return QStringLiteral("grande demais (o limite é %1 %2)")
        .arg(mebibytes ? maxBytes >> 20 : maxBytes >> 10)
        .arg(mebibytes ? QStringLiteral("MiB") : QStringLiteral("KiB"));
}

namespace {

// Why the file open as `fd` is not to be read.
QString whyNotReadable(int fd, qint64 maxBytes)
{
    struct stat st
    { };
    if (::fstat(fd, &st) != 0)
        return system_error::reason(errno);
    if (!S_ISREG(st.st_mode))
        return system_error::notRegularFile(st.st_mode);
    if (st.st_size > maxBytes)
        return tooLarge(maxBytes);
    // Opened without waiting; reading from now on waits for the disk as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return system_error::reason(errno);
    return {};
}

// A new file beside `target`, named as the target with six letters or digits added; its name
// goes to `name`. -1 with errno set when none could be made.
int createTemporary(const QByteArray &target, QByteArray &name)
{
    static constexpr char kChars[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + '.';
        for (int i = 0; i < 6; ++i)
            name += kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))];
        // 0666: the umask gives a new file the usual permissions.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// So that the rename itself survives a power cut; a folder that cannot be synced changes nothing
// of the result.
void syncFolder(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

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

QString writeAll(int fd, const QByteArray &bytes)
{
    // Qt counts a short write as done and drops its error, so the system is called directly.
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, next, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return system_error::reason(n < 0 ? errno : EIO);
        next += n;
        left -= n;
    }
    return {};
}

QString writeAll(QFileDevice &file, const QByteArray &bytes)
{
    return writeAll(file.handle(), bytes);
}

OpenResult openForReading(const QString &path, qint64 maxBytes)
{
    OpenResult result;
    const QByteArray name = QFile::encodeName(path);
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int fd;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            return result;
        result.exists = true;
        // A socket cannot be opened at all; say what it is rather than why open() failed.
        struct stat st
        { };
        result.error = ::stat(name.constData(), &st) == 0 && !S_ISREG(st.st_mode)
            ? system_error::notRegularFile(st.st_mode)
            : system_error::reason(error);
        return result;
    }
    result.exists = true;
    result.error = whyNotReadable(fd, maxBytes);
    auto file = std::make_unique<QFile>();
    if (result.error.isEmpty()
        && !file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        result.error = system_error::reason(*file);
    if (!result.error.isEmpty()) {
        ::close(fd);
        return result;
    }
    result.file = std::move(file);
    return result;
}

ReadResult read(const QString &path, qint64 maxBytes)
{
    const OpenResult opened = openForReading(path, maxBytes);
    ReadResult result {opened.exists, {}, opened.error};
    if (!opened.file)
        return result;
    // The file may have grown since it was measured: one byte past the limit tells.
    result.bytes = opened.file->read(maxBytes + 1);
    if (opened.file->error() != QFileDevice::NoError)
        result.error = system_error::reason(*opened.file);
    else if (result.bytes.size() > maxBytes)
        result.error = tooLarge(maxBytes);
    if (!result.error.isEmpty())
        result.bytes.clear();
    return result;
}

QString whyNotReplaceable(const QString &path)
{
    struct stat st
    { };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode)
        || S_ISLNK(st.st_mode))
        return {};
    return system_error::notRegularFile(st.st_mode);
}

QString replace(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old
    { };
    const bool regular = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    if (const QString why = whyNotReplaceable(path); !why.isEmpty())
        return why;
    // The rename would replace a file the operator made read-only.
    if (regular && ::access(target.constData(), W_OK) != 0)
        return system_error::reason(errno);
    QByteArray temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        return system_error::reason(errno);
    QString why;
    if (regular && ::fchmod(fd, old.st_mode & 07777) != 0)
        why = system_error::reason(errno);
    if (why.isEmpty())
        why = writeAll(fd, bytes);
    if (why.isEmpty() && ::fsync(fd) != 0)
        why = system_error::reason(errno);
    if (::close(fd) != 0 && why.isEmpty())
        why = system_error::reason(errno);
    // rename() puts the new file where a link stood: the link's target is never touched.
    if (why.isEmpty() && ::rename(temporary.constData(), target.constData()) != 0)
        why = system_error::reason(errno);
    if (!why.isEmpty()) {
        ::unlink(temporary.constData());
        return why;
    }
    syncFolder(path);
    removeStaleTemporaries(path);
    return {};
}

} // namespace text_file
