#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

// Amounts and dates of the check as the regional settings write them.
namespace check_value {

// The amount in hundredths of the currency unit, from text in the locale's currency or number
// form ("R$ 2.345,98", "2345,98", "R$ -5,00", "(R$ 5,00)"); decimals beyond the second round
// half away from zero. Digits are grouped in threes or not at all, and the currency symbol
// stands once at most, on the side the locale writes it. Nothing when the text is not such an
// amount (empty text, "12 34", "R$R$5" and "0.796" included).
[[nodiscard]] std::optional<qint64> parseCents(const QString &text, const QLocale &locale);
[[nodiscard]] QString formatCents(qint64 cents, const QLocale &locale);
// The value field as it stands after leaving it: the currency form, or the text unchanged
// when it is not an amount.
[[nodiscard]] QString toCurrency(const QString &text, const QLocale &locale);

[[nodiscard]] QString formatDate(const QDate &date, const QLocale &locale);
// The locale's short date form; a day or month of one digit is accepted too. Nothing for a year
// outside 1900 to 2099, which a check's two digits cannot stand for.
[[nodiscard]] QDate parseDate(const QString &text, const QLocale &locale);

} // namespace check_value
