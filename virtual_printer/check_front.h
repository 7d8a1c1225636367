#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <array>
#include <functional>
#include <optional>

// What the printer reads out of the check commands to lay out the front of a check.
namespace check_front {

inline constexpr int kWidthMm = 175;
inline constexpr int kHeightMm = 80;

// The printed lines of the front, top to bottom, in the order of the layout's gaps.
enum class Line { Value, Words1, Words2, Payee, PlaceDate, Observation1, Observation2 };
inline constexpr int kLineCount = 7;

struct Heights
{
    std::array<int, kLineCount> mm {}; // from the top edge of the check to each line
    bool defaulted = false; // the layout was not fourteen digits: the default one is used
};

// Adds up the seven two-digit gaps of `layout`; any other layout falls back to the default.
[[nodiscard]] Heights heights(const QByteArray &layout);
[[nodiscard]] inline int at(const Heights &h, Line line)
{
    return h.mm[static_cast<size_t>(line)];
}

// The value command's digits (one to twelve) as hundredths; nothing for anything else.
[[nodiscard]] std::optional<uint64_t> cents(const QByteArray &digits);
// "2.345,98"
[[nodiscard]] QString valueText(uint64_t cents);
// DDMMYY, year in 2000-2099; nothing when it is no date.
[[nodiscard]] std::optional<QDate> date(const QByteArray &ddmmyy);
// "São Paulo, 19 de dezembro de 2007"; an unreadable date is shown as it came.
[[nodiscard]] QString placeAndDate(const QString &city, const QByteArray &ddmmyy);

struct AmountLines
{
    QString first;
    QString second;
    bool fits = true; // false when the words needed more than the two lines
};

// Fills the first amount line word by word, then the second; `fits(text, line)` tells
// whether a text fits on line 0 or 1.
[[nodiscard]] AmountLines splitAmount(
    const QString &words, const std::function<bool(const QString &, int)> &fits);

} // namespace check_front
