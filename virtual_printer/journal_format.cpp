#include "virtual_printer/journal_format.h"

#include "printer_link/cp1252.h"

#include <cctype>
#include <optional>

namespace journal_format {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

constexpr JournalEntry::Call kCalls[] = {JournalEntry::Call::Estado, JournalEntry::Call::TX,
    JournalEntry::Call::TXI, JournalEntry::Call::Sleep};

std::optional<int16_t> portCode(const QString &text)
{
    for (const int16_t code :
        {port_code::kLpt1, port_code::kLpt2, port_code::kCom1, port_code::kCom2}) {
        if (text == port_code::name(code))
            return code;
    }
    if (text.isEmpty())
        return int16_t(0);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

std::optional<QByteArray> fromHex(const QString &text)
{
    QByteArray digits;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (pair.size() != 2)
            return std::nullopt;
        for (const QChar c : pair) {
            if (c.unicode() > 0x7F || !isxdigit(c.toLatin1()))
                return std::nullopt;
        }
        digits += pair.toLatin1();
    }
    return QByteArray::fromHex(digits);
}

// The reason a line cannot be read back, or an empty text.
QString readLine(const QString &line, JournalEntry &e)
{
    const QStringList f = line.split(QLatin1Char('\t'));
    if (f.size() < 6)
        return QStringLiteral("faltam colunas");
    e.time = QDateTime::fromString(f.at(0), kTimeFormat);
    if (!e.time.isValid())
        return QStringLiteral("hora inválida");
    const auto call = std::find_if(std::begin(kCalls), std::end(kCalls),
        [&](JournalEntry::Call c) { return callName(c) == f.at(1); });
    if (call == std::end(kCalls))
        return QStringLiteral("chamada desconhecida");
    e.call = *call;
    const std::optional<int16_t> port = portCode(f.at(2));
    if (!port)
        return QStringLiteral("porta inválida");
    e.port = *port;
    bool ok = false;
    e.result = f.at(4).toInt(&ok);
    if (!ok)
        return QStringLiteral("resultado inválido");
    const std::optional<QByteArray> bytes = fromHex(f.at(5));
    if (!bytes)
        return QStringLiteral("bytes inválidos");
    e.bytes = *bytes;
    if (!f.at(3).isEmpty() && f.at(3) != QString::number(e.bytes.size()))
        return QStringLiteral("contagem de bytes não confere");
    e.repeats = 1;
    if (f.size() > 7) {
        e.repeats = f.at(7).toInt(&ok);
        if (!ok || e.repeats < 1)
            return QStringLiteral("repetições inválidas");
    }
    return {};
}

} // namespace

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString readable(const QByteArray &bytes)
{
    QString out;
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0x1B)
            out += QStringLiteral("‹ESC›");
        else if (b == '\r')
            out += QStringLiteral("‹CR›");
        else if (b == '\n')
            out += QStringLiteral("‹LF›");
        else if (b < 0x20 || b == 0x7F)
            out += QStringLiteral("‹%1›").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += cp1252::toUnicode(QByteArray(1, ch));
    }
    return out;
}

QString callText(const JournalEntry &entry)
{
    const QString name = callName(entry.call);
    return entry.repeats > 1 ? QStringLiteral("%1 ×%2").arg(name).arg(entry.repeats) : name;
}

QString line(const JournalEntry &e)
{
    const bool carriesBytes = e.call == JournalEntry::Call::TX || e.call == JournalEntry::Call::TXI;
    QStringList fields {e.time.toString(kTimeFormat), callName(e.call),
        e.call == JournalEntry::Call::Sleep ? QString() : port_code::name(e.port),
        carriesBytes ? QString::number(e.bytes.size()) : QString(), QString::number(e.result),
        hex(e.bytes), readable(e.bytes)};
    if (e.repeats > 1)
        fields << QString::number(e.repeats);
    return fields.join(QLatin1Char('\t'));
}

QString text(const QVector<JournalEntry> &entries)
{
    QString out;
    for (const JournalEntry &e : entries)
        out += line(e) + QLatin1Char('\n');
    return out;
}

Parsed parse(const QByteArray &utf8)
{
    Parsed out;
    const QStringList lines = QString::fromUtf8(utf8).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        JournalEntry e;
        if (const QString reason = readLine(line, e); !reason.isEmpty()) {
            out.error = QStringLiteral("linha %1: %2").arg(i + 1).arg(reason);
            return out;
        }
        out.entries.append(std::move(e));
    }
    return out;
}

} // namespace journal_format
