#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QFileDevice;

// The program's data files: single-byte text with CR LF line ends, read whole and replaced whole.
namespace text_file {

inline constexpr char kLineEnd[] = "\r\n";

// Lines ended by CR LF, a lone CR or a lone LF; a last line without an end counts too.
[[nodiscard]] QList<QByteArray> splitLines(const QByteArray &bytes);
// Every line followed by CR LF.
[[nodiscard]] QByteArray joinLines(const QList<QByteArray> &lines);

struct ReadResult
{
    bool exists = false;
    QByteArray bytes;
    QString error; // set when the file is there but could not be read
};
// A missing file is not an error: `exists` is false and `bytes` empty.
[[nodiscard]] ReadResult read(const QString &path);

// Replaces the file in one step: a new file is written, synced to disk and renamed over the
// old one, so a crash leaves either the old or the new content. Returns the reason of a failure.
[[nodiscard]] QString replace(const QString &path, const QByteArray &bytes);

// Writes all of `bytes` to the open `file`; returns the reason of a failure. Unlike
// QIODevice::write, a write cut short by a full disk is a failure.
[[nodiscard]] QString writeAll(QFileDevice &file, const QByteArray &bytes);

} // namespace text_file
