#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

class QFile;
class QFileDevice;

// The program's data files: single-byte text with CR LF line ends, read whole and replaced whole.
namespace text_file {

inline constexpr char kLineEnd[] = "\r\n";

// Lines ended by CR LF, a lone CR or a lone LF; a last line without an end counts too.
[[nodiscard]] QList<QByteArray> splitLines(const QByteArray &bytes);
// Every line followed by CR LF.
[[nodiscard]] QByteArray joinLines(const QList<QByteArray> &lines);
// joinLines(splitLines(bytes)), in one pass.
[[nodiscard]] QByteArray normalizeLines(const QByteArray &bytes);

// The reason given for a file over `maxBytes`: "grande demais (o limite é 512 KiB)".
[[nodiscard]] QString tooLarge(qint64 maxBytes);

struct OpenResult
{
    bool exists = false;
    QString error; // set when the file is there but cannot be read
    std::unique_ptr<QFile> file; // open for reading when neither of the above
};
// Opens without ever waiting on the other end: a FIFO, a device, a socket or a folder is refused,
// and so is a file of more than `maxBytes`. A missing file is not an error.
[[nodiscard]] OpenResult openForReading(const QString &path, qint64 maxBytes);

struct ReadResult
{
    bool exists = false;
    QByteArray bytes;
    QString error; // set when the file is there but could not be read
};
// The whole file, as openForReading() allows it: `exists` is false and `bytes` empty when it is
// missing.
[[nodiscard]] ReadResult read(const QString &path, qint64 maxBytes);

// Why `path` must not be replaced: something other than a regular file or a symbolic link stands
// there. Empty when it may be.
[[nodiscard]] QString whyNotReplaceable(const QString &path);

// Replaces the file in one step: a new file is written, synced to disk and renamed over the
// old one, so a crash leaves either the old or the new content. A symbolic link is replaced
// itself, never written through; a read-only file and what whyNotReplaceable() refuses are left
// as they are. Returns the reason of a failure.
[[nodiscard]] QString replace(const QString &path, const QByteArray &bytes);

// Writes all of `bytes` to the open `file`; returns the reason of a failure. Unlike
// QIODevice::write, a write cut short by a full disk is a failure.
[[nodiscard]] QString writeAll(QFileDevice &file, const QByteArray &bytes);
// The same on the open descriptor `fd`.
[[nodiscard]] QString writeAll(int fd, const QByteArray &bytes);

} // namespace text_file
