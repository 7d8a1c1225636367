#include "virtual_printer/hex_dump.h"

#include "core/ascii.h"
#include "printer_link/cp1252.h"

#include <array>

namespace hex_dump {

namespace {

// Each byte as the text column shows it: itself where cp1252 prints it, else ".".
std::array<QChar, 256> textColumnCharacters()
{
    std::array<QChar, 256> out;
    for (int b = 0; b < 256; ++b) {
        const QString c = cp1252::toUnicode(QByteArray(1, char(b)));
        // The no-break space would pass for a space, and the soft hyphen shows nothing.
        const bool prints = c.size() == 1 && c.at(0).isPrint() && b != 0xA0 && b != 0xAD;
        out[size_t(b)] = prints ? c.at(0) : QLatin1Char('.');
    }
    return out;
}

} // namespace

QString rows(const QByteArray &bytes, qsizetype firstRow, qsizetype maxRows)
{
    static const std::array<QChar, 256> kText = textColumnCharacters();
    constexpr qsizetype kRowChars = 8 + 2 + kRowBytes * 3 + 1 + 1 + kRowBytes + 1;
    const qsizetype first = std::clamp<qsizetype>(firstRow * kRowBytes, 0, bytes.size());
    const qsizetype end
        = std::min(bytes.size(), first + std::max<qsizetype>(maxRows, 0) * kRowBytes);
    QString out;
    out.reserve((end - first) / kRowBytes * kRowChars + kRowChars);
    for (qsizetype row = first; row < end; row += kRowBytes) {
        if (row > first)
            out += QLatin1Char('\n');
        out += QStringLiteral("%1  ").arg(row, 8, 16, QLatin1Char('0')).toUpper();
        const qsizetype count = std::min(kRowBytes, end - row);
        for (qsizetype i = 0; i < kRowBytes; ++i) {
            if (i == kRowBytes / 2)
                out += QLatin1Char(' ');
            if (i < count) {
                const auto b = static_cast<unsigned char>(bytes.at(row + i));
                out += QLatin1Char(ascii::upperHexDigit(b >> 4));
                out += QLatin1Char(ascii::upperHexDigit(b));
                out += QLatin1Char(' ');
            } else {
                out += QStringLiteral("   ");
            }
        }
        out += QLatin1Char(' ');
        for (qsizetype i = 0; i < count; ++i)
            out += kText[static_cast<unsigned char>(bytes.at(row + i))];
    }
    return out;
}

} // namespace hex_dump
