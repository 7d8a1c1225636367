#include "check/check_data.h"

#include "core/text_file.h"
#include "printer_link/cp1252.h"

namespace check_data {

QByteArray encode(const CheckData &data)
{
    QByteArray out = text_file::joinLines(cp1252::fromUnicode(QStringList {
        data.bank, data.value, data.payee, data.observation1, data.observation2, data.city}));
    out += cp1252::fromUnicode(data.back);
    return out;
}

CheckData decode(const QByteArray &bytes)
{
    const QStringList lines = cp1252::toUnicode(text_file::splitLines(bytes));
    const auto line = [&lines](int n) { return lines.value(n); };
    CheckData data;
    data.bank = line(0);
    data.value = line(1);
    data.payee = line(2);
    data.observation1 = line(3);
    data.observation2 = line(4);
    data.city = line(5);
    for (qsizetype n = 6; n < lines.size(); ++n)
        data.back += lines.at(n) + QLatin1String(text_file::kLineEnd);
    return data;
}

LoadResult load(const QDir &dir)
{
    const text_file::ReadResult file = text_file::read(dir.filePath(QLatin1String(kFileName)));
    if (!file.error.isEmpty())
        return {{}, file.error};
    return {decode(file.bytes), {}};
}

QString save(const QDir &dir, const CheckData &data)
{
    return text_file::replace(dir.filePath(QLatin1String(kFileName)), encode(data));
}

} // namespace check_data
