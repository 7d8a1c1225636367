#include "check/check_data.h"

#include "core/text_file.h"
#include "printer_link/cp1252.h"

#include <QFileInfo>

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
    const QByteArray lines = text_file::normalizeLines(bytes);
    CheckData data;
    qsizetype start = 0;
    for (QString *field : {&data.bank, &data.value, &data.payee, &data.observation1,
             &data.observation2, &data.city}) {
        if (start >= lines.size())
            return data;
        const qsizetype end = lines.indexOf(text_file::kLineEnd, start);
        *field = cp1252::toUnicode(lines.mid(start, end - start));
        start = end + 2;
    }
    data.back = cp1252::toUnicode(lines.mid(start));
    return data;
}

LoadResult load(const QDir &dir)
{
    const QString path = dir.filePath(QLatin1String(kFileName));
    // In a shared folder, a link planted by someone else must not show their file as ours.
    if (const QFileInfo link(path); link.isSymLink()) {
        const QString target = link.canonicalFilePath();
        const QString folder = QFileInfo(dir.absolutePath()).canonicalFilePath();
        if (!target.isEmpty() && !target.startsWith(folder + QLatin1Char('/')))
            return {{}, QStringLiteral("aponta para fora da pasta de trabalho (%1)").arg(target)};
    }
    const text_file::ReadResult file = text_file::read(path, kMaxFileBytes);
    if (!file.error.isEmpty())
        return {{}, file.error};
    return {decode(file.bytes), {}};
}

QString save(const QDir &dir, const CheckData &data)
{
    const QByteArray bytes = encode(data);
    // What could not be read back is not written.
    if (bytes.size() > kMaxFileBytes)
        return text_file::tooLarge(kMaxFileBytes);
    return text_file::replace(dir.filePath(QLatin1String(kFileName)), bytes);
}

} // namespace check_data
