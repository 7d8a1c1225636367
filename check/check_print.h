#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

// What the check window sends for the front and the back of a check, one TX call per entry.
namespace check_print {

// The decimal digits of `value` in order, the last twelve of them, zeros in front when fewer.
[[nodiscard]] QString Digitos_valor(const QString &value);
// `n` with a sign position, spaces as zeros, its last two characters: 7 -> "07", 2007 -> "07".
[[nodiscard]] QString Dois_digitos(int16_t n);

[[nodiscard]] QByteArray payeeCommand(const QString &payee);
[[nodiscard]] QByteArray cityCommand(const QString &city);
[[nodiscard]] QByteArray dateCommand(const QDate &date);
[[nodiscard]] QByteArray valueCommand(const QString &twelveDigits);
[[nodiscard]] QByteArray observation1Command(const QString &text);
[[nodiscard]] QByteArray observation2Command(const QString &text);
[[nodiscard]] QByteArray currencySingularCommand();
[[nodiscard]] QByteArray currencyPluralCommand();
[[nodiscard]] QByteArray printFrontCommand(const QString &layout);
[[nodiscard]] QByteArray printObservationsCommand(const QString &layout);
[[nodiscard]] QByteArray backBeginCommand();
[[nodiscard]] QByteArray backEndCommand();

// The back text after LF CR, every line indented by two spaces.
[[nodiscard]] QString indentedBackText(const QString &text);

// The twelve digits of the value field brought to the currency form, as leaving the field
// would; twelve zeros for an empty field. Nothing for a negative amount, one of more than
// twelve digits, or text that is no amount.
[[nodiscard]] std::optional<QString> valueDigits(const QString &value, const QLocale &locale);

struct Front
{
    QString payee;
    QString city;
    QString date;
    QString value;
    QString observation1;
    QString observation2;
    QString layout;
};

struct Sequence
{
    enum class Problem { None, BadDate, BadValue };
    Problem problem = Problem::None;
    QList<QByteArray> commands; // empty unless the check is sound
};

// Commands 01 to 09; nothing when the date or the value cannot be printed.
[[nodiscard]] Sequence front(const Front &check, const QLocale &locale);
// Commands 05, 06 and 10.
[[nodiscard]] QList<QByteArray> observations(
    const QString &observation1, const QString &observation2, const QString &layout);
// Command 15, the text in a call of its own, command 16.
[[nodiscard]] QList<QByteArray> back(const QString &text);
[[nodiscard]] QList<QByteArray> indentedBack(const QString &text);

} // namespace check_print
