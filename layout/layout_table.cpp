#include "layout/layout_table.h"

#include "core/ascii.h"
#include "core/system_error.h"
#include "core/text_file.h"
#include "printer_link/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace layout_table {

namespace {

constexpr qsizetype kCodeLength = 3;
constexpr QChar kSeparator = QLatin1Char('|');

bool isDigits(const QString &text, qsizetype minLength, qsizetype maxLength)
{
    return text.size() >= minLength && text.size() <= maxLength && ascii::allDigits(text);
}

SaveResult fileError(const QString &file, const QString &reason)
{
    SaveResult r;
    r.status = SaveResult::Status::FileError;
    r.file = file;
    r.reason = reason;
    return r;
}

// Creates the file afresh (a file or link already there is removed, never written through),
// writes it and syncs it to disk.
QString writeFresh(const QString &path, const QByteArray &bytes)
{
    const QFileInfo old(path);
    if (old.exists() || old.isSymLink()) {
        QFile stale(path);
        if (!stale.remove())
            return system_error::reason(stale);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return system_error::reason(file);
    if (const QString why = text_file::writeAll(file, bytes); !why.isEmpty())
        return why;
    if (::fsync(file.handle()) != 0)
        return QStringLiteral("não foi possível gravar no disco");
    file.close();
    if (file.error() != QFileDevice::NoError)
        return system_error::reason(file);
    return {};
}

} // namespace

LookupResult lookup(const QDir &dir, const QString &bank)
{
    LookupResult result;
    if (bank.isEmpty()) {
        result.layout = QString();
        return result;
    }
    const text_file::ReadResult file
        = text_file::read(dir.filePath(QLatin1String(kTableFile)), kMaxTableBytes);
    if (!file.error.isEmpty()) {
        result.error = file.error;
        return result;
    }
    for (const QString &line : cp1252::toUnicode(text_file::splitLines(file.bytes))) {
        if (line.left(kCodeLength) == bank) {
            result.layout = line.mid(kCodeLength).remove(kSeparator);
            return result;
        }
    }
    return result;
}

std::optional<int> bankNumber(const QString &code)
{
    if (!isDigits(code, 1, kCodeLength))
        return std::nullopt;
    return code.toInt();
}

QStringList withLine(const QStringList &table, const QString &bank, const QString &line)
{
    const std::optional<int> number = bankNumber(bank);
    QStringList out;
    out.reserve(table.size() + 1);
    bool written = false;
    for (const QString &old : table) {
        if (written) {
            out << old;
            continue;
        }
        const QString code = old.left(kCodeLength);
        if (code == bank) {
            out << line;
            written = true;
            continue;
        }
        const std::optional<int> oldNumber = bankNumber(code);
        if (number && oldNumber && *number < *oldNumber) {
            out << line << old;
            written = true;
            continue;
        }
        out << old;
    }
    if (!written)
        out << line;
    return out;
}

SaveResult save(const QDir &dir, const QString &bank, const Fields &fields)
{
    if (!isDigits(bank, kCodeLength, kCodeLength))
        return {SaveResult::Status::BadBank, 0, {}, {}};
    QString line = bank;
    for (int k = 0; k < kFieldCount; ++k) {
        if (!isDigits(fields[k], 1, 2))
            return {SaveResult::Status::BadField, k + 1, {}, {}};
        // One digit alone would shift every later field of the layout string.
        line += kSeparator + fields[k].rightJustified(2, QLatin1Char('0'));
    }

    const QString tablePath = dir.filePath(QLatin1String(kTableFile));
    const QString tempPath = dir.filePath(QLatin1String(kTempFile));
    const QString backupPath = dir.filePath(QLatin1String(kBackupFile));

    const text_file::ReadResult old = text_file::read(tablePath, kMaxTableBytes);
    if (!old.error.isEmpty())
        return fileError(QLatin1String(kTableFile), old.error);
    // The rename below would replace a table the operator made read-only.
    if (old.exists && !QFileInfo(tablePath).isWritable())
        return fileError(QLatin1String(kTableFile), system_error::reason(EACCES));
    const QByteArray bytes = text_file::joinLines(cp1252::fromUnicode(
        withLine(cp1252::toUnicode(text_file::splitLines(old.bytes)), bank, line)));

    // A FIFO, device or folder standing there is refused and left to the operator.
    QString tempError = text_file::whyNotReplaceable(tempPath);
    if (tempError.isEmpty() && !(tempError = writeFresh(tempPath, bytes)).isEmpty())
        QFile::remove(tempPath);
    if (!tempError.isEmpty())
        return fileError(QLatin1String(kTempFile), tempError);

    // The backup becomes the table as it was; the table itself is only ever replaced in one
    // rename, so it is never missing or half written.
    QString backupError;
    if (old.exists) {
        backupError = text_file::replace(backupPath, old.bytes);
    } else if (const QFileInfo stale(backupPath);
               (stale.exists() || stale.isSymLink()) && !QFile::remove(backupPath)) {
        backupError = QStringLiteral("não foi possível apagar");
    }
    if (!backupError.isEmpty()) {
        QFile::remove(tempPath);
        return fileError(QLatin1String(kBackupFile), backupError);
    }

    std::error_code ec;
    std::filesystem::rename(
        QFile::encodeName(tempPath).toStdString(), QFile::encodeName(tablePath).toStdString(), ec);
    if (ec) {
        QFile::remove(tempPath);
        return fileError(QLatin1String(kTableFile), system_error::reason(ec.value()));
    }
    return {};
}

} // namespace layout_table
