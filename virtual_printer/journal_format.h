#pragma once

#include "virtual_printer/virtual_printer.h"

class QIODevice;

namespace journal_format {

// Opening a journal holds all of it in memory, and one of this size takes seconds.
inline constexpr qint64 kMaxFileBytes = 128 << 20;
// Views show at most this much of a call; the hex and text of one of megabytes would freeze them.
inline constexpr qsizetype kShownBytes = 256;
// The version this program writes and the newest it reads. Files of version 1 have no header.
inline constexpr int kVersion = 2;

// The first line of a journal file, naming the format and its version.
[[nodiscard]] QString header();

// "1B 56 41"
[[nodiscard]] QString hex(const QByteArray &bytes);
// The bytes read as cp1252, control bytes shown as ‹ESC›, ‹CR›, ‹LF› or ‹1F›.
[[nodiscard]] QString readable(const QByteArray &bytes);
// The call's name, with the number of reads when repeated reads share the entry: "Estado ×250".
[[nodiscard]] QString callText(const JournalEntry &entry);
// One tab-separated line per entry: date and time to the millisecond, call, port, byte count,
// result, hex, text, and the number of repeated reads when above one. `parse` reads it back
// whole; the text column is only for people.
[[nodiscard]] QString line(const JournalEntry &entry);
// The same line and its end, appended as UTF-8: what the file holds for the entry.
void appendLine(QByteArray &out, const JournalEntry &entry);
// The most bytes the line of `entry` can take, its end included.
[[nodiscard]] qsizetype mostLineBytes(const JournalEntry &entry);
// Writes the line of `entry` at `to`, which has room for mostLineBytes(entry), for a call made
// at `localMs`, milliseconds since 1970-01-01 00:00 of local time; entry.time is not read.
// Returns the end of what it wrote. What a recorder writes, without a QDateTime made per call.
char *writeLine(char *to, qint64 localMs, const JournalEntry &entry);
// The header, then a line for each entry.
[[nodiscard]] QString text(const QVector<JournalEntry> &entries);

struct Parsed
{
    QVector<JournalEntry> entries;
    QString error; // "linha 3: chamada desconhecida"; empty when every line was read
};
// Reads as the lines come and stops at the first it cannot read back, or past kMaxFileBytes.
// Accepts LF or CR LF line ends; blank lines are skipped. The header may be missing (files of
// version 1); a newer version than kVersion is refused.
[[nodiscard]] Parsed read(QIODevice &device);
[[nodiscard]] Parsed parse(const QByteArray &utf8);
// Why a file that begins with `start` (its first kilobyte or more, or all of it) is not a journal
// to add lines to, as read() would say it of its first line: "linha 1: faltam colunas"; empty
// when it is one.
[[nodiscard]] QString whyNotJournal(QByteArrayView start);
// The journal in the file at `path`; the error names the file: "x.txt não é um diário: linha
// 3: hora inválida", "Não foi possível ler x.txt: permissão negada".
[[nodiscard]] Parsed readFile(const QString &path);
// At most kShownBytes of `bytes` as `show` gives them, and how many more there are:
// "41 42 … (mais 300 bytes)".
[[nodiscard]] QString shortened(const QByteArray &bytes, QString (*show)(const QByteArray &));

} // namespace journal_format
