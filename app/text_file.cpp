#include "app/text_file.h"

#include "app/printer_link/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace text_file {

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines << cp1252::toUnicode(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << cp1252::toUnicode(bytes.mid(start));
    return lines;
}

QByteArray joinLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += cp1252::fromUnicode(line);
        out += kLineEnd;
    }
    return out;
}

QString reason(const QFileDevice &file)
{
    // Qt words the commonest system errors itself, untranslated; the rest come from the system.
    static const struct
    {
        const char *qt;
        const char *ours;
    } kKnown[] = {
        {"Permission denied", "sem permissão"},
        {"No space left on device", "disco cheio"},
        {"No such file or directory", "pasta inexistente"},
        {"Too many open files", "arquivos abertos demais"},
        {"file to open is a directory", "é uma pasta"},
        {"Read-only file system", "disco somente para leitura"},
        {"Disk quota exceeded", "cota de disco esgotada"},
    };
    const QString text = file.errorString();
    for (const auto &known : kKnown) {
        if (text.contains(QLatin1String(known.qt), Qt::CaseInsensitive))
            return QString::fromUtf8(known.ours);
    }
    if (file.error() == QFileDevice::ResourceError)
        return QStringLiteral("disco cheio");
    return text.isEmpty() ? QStringLiteral("erro desconhecido") : text;
}

ReadResult read(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists())
        return result;
    result.exists = true;
    if (QFileInfo(path).isDir()) {
        result.error = QStringLiteral("é uma pasta");
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = reason(file);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.error = reason(file);
    return result;
}

QString replace(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("é uma pasta");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return reason(file);
    if (file.write(bytes) != bytes.size()) {
        const QString why = reason(file);
        file.cancelWriting();
        return why;
    }
    // commit() flushes, syncs to disk and renames; on failure the old file stays.
    if (!file.commit())
        return reason(file);
    return {};
}

} // namespace text_file
