#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QStringView>
#include <algorithm>

// The one digit test of the program: amounts, bank codes, dates and command numbers take the
// ASCII digits 0 to 9 only, never the digits of other scripts.
namespace ascii {

[[nodiscard]] constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[nodiscard]] constexpr bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// True when `text` is not empty and holds digits only.
[[nodiscard]] inline bool allDigits(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c); });
}

[[nodiscard]] inline bool allDigits(QByteArrayView bytes)
{
    return !bytes.isEmpty()
        && std::all_of(bytes.begin(), bytes.end(), [](char c) { return isDigit(c); });
}

// "0" to "9", "A" to "F": the digit for the low four bits of `value`, as bytes are shown.
[[nodiscard]] constexpr char upperHexDigit(unsigned value)
{
    return "0123456789ABCDEF"[value & 0xF];
}

} // namespace ascii
