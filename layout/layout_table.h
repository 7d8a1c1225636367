#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The per-bank layout table: a line "BBB|F1|F2|F3|F4|F5|F6|F7" per bank, in bank order.
namespace layout_table {

inline constexpr char kTableFile[] = "Formato_cheque.txt";
inline constexpr char kTempFile[] = "Formato_temp.txt";
inline constexpr char kBackupFile[] = "Formato_cheque.bak";
inline constexpr int kFieldCount = 7;
// A thousand banks take 26 KB; the limit leaves room for any lines of the operator's own.
inline constexpr qint64 kMaxTableBytes = 1 << 20;

using Fields = std::array<QString, kFieldCount>;

struct LookupResult
{
    // The layout string, or nothing when the table has no line for the bank.
    std::optional<QString> layout;
    QString error; // the table is there but could not be read; `layout` is then empty
};

// The first line whose first three characters equal `bank` as text; an empty bank is found
// with an empty layout. A missing table finds nothing.
[[nodiscard]] LookupResult lookup(const QDir &dir, const QString &bank);

// Bank codes of 1 to 3 ASCII digits are numbers; anything else is only ever compared as text.
[[nodiscard]] std::optional<int> bankNumber(const QString &code);

// The table's lines after saving `line` for `bank`: in place of the first line of the same
// code, else before the first line of a higher number, else at the end.
[[nodiscard]] QStringList withLine(
    const QStringList &table, const QString &bank, const QString &line);

struct SaveResult
{
    enum class Status { Saved, BadBank, BadField, FileError };
    Status status = Status::Saved;
    int field = 0; // 1 to 7, for BadField
    QString file; // for FileError: which file failed
    QString reason; // for FileError

    [[nodiscard]] bool saved() const { return status == Status::Saved; }
};

// The bank must be three digits; each field one or two digits, a single digit gaining a
// leading zero. Anything else is refused before a file is touched, and so is a read-only table.
// On any failure the table stays as it was and no temporary file is left behind.
[[nodiscard]] SaveResult save(const QDir &dir, const QString &bank, const Fields &fields);

} // namespace layout_table
