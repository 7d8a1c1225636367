#include "virtual_printer/journal_format.h"

#include "app/printer_link/cp1252.h"
#include "virtual_printer/monitored_mode.h"

namespace journal_format {

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

QString portName(int16_t port)
{
    switch (port) {
    case 888:
        return QStringLiteral("LPT1");
    case 632:
        return QStringLiteral("LPT2");
    case 1:
        return QStringLiteral("COM1");
    case 2:
        return QStringLiteral("COM2");
    default:
        return QString::number(port);
    }
}

QString callText(const JournalEntry &entry)
{
    const QString name = callName(entry.call);
    return entry.repeats > 1 ? QStringLiteral("%1 ×%2").arg(name).arg(entry.repeats) : name;
}

QString command(const JournalEntry &entry)
{
    return monitored_mode::name(monitored_mode::find(entry.bytes));
}

QString line(const JournalEntry &e)
{
    const bool carriesBytes = e.call == JournalEntry::Call::TX || e.call == JournalEntry::Call::TXI;
    return QStringList {e.time.toString(QStringLiteral("HH:mm:ss.zzz")), callText(e),
        e.call == JournalEntry::Call::Sleep ? QString() : portName(e.port),
        carriesBytes ? QString::number(e.bytes.size()) : QString(), QString::number(e.result),
        hex(e.bytes), readable(e.bytes), command(e)}
        .join(QLatin1Char('\t'));
}

QString text(const QVector<JournalEntry> &entries)
{
    QString out;
    for (const JournalEntry &e : entries)
        out += line(e) + QLatin1Char('\n');
    return out;
}

} // namespace journal_format
