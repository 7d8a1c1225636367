#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

// The data of the last check, kept in Dados_cheque.txt between uses of the check window.
namespace check_data {

inline constexpr char kFileName[] = "Dados_cheque.txt";
// Six lines and the back text of one check: hundreds of times what a check can print, and little
// enough that the window fills its fields from it in well under a second, whatever it holds.
inline constexpr qint64 kMaxFileBytes = 512 << 10;

// Everything but the date, which is always today's when the data is read.
struct CheckData
{
    QString bank;
    QString value;
    QString payee;
    QString observation1;
    QString observation2;
    QString city;
    QString back; // CR LF line breaks

    friend bool operator==(const CheckData &, const CheckData &) = default;
};

// Six lines ended by CR LF, then the back text exactly as it stands.
[[nodiscard]] QByteArray encode(const CheckData &data);
// Missing lines read as empty; the back text gets CR LF after each of its lines.
[[nodiscard]] CheckData decode(const QByteArray &bytes);

struct LoadResult
{
    CheckData data;
    QString error; // the file is there but could not be read; `data` is then empty
};
// A missing file gives empty data and no error. A file over the limit, and a symbolic link to a
// file outside `dir`, are not read.
[[nodiscard]] LoadResult load(const QDir &dir);
// Replaces the file (a link in its place included) in one step; data over the limit is not
// written. Returns the reason of a failure.
[[nodiscard]] QString save(const QDir &dir, const CheckData &data);

} // namespace check_data
