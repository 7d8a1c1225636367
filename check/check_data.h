#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>

// The data of the last check, kept in Dados_cheque.txt between uses of the check window.
namespace check_data {

inline constexpr char kFileName[] = "Dados_cheque.txt";

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
// A missing file gives empty data and no error.
[[nodiscard]] LoadResult load(const QDir &dir);
// Replaces the file in one step; returns the reason of a failure.
[[nodiscard]] QString save(const QDir &dir, const CheckData &data);

} // namespace check_data
