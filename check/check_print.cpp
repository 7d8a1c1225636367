#include "check/check_print.h"

#include "check/check_command.h"
#include "check/check_value.h"
#include "core/ascii.h"
#include "printer_link/cp1252.h"
#include "printer_link/printer_commands.h"

namespace check_print {

namespace {

using check_command::Number;
constexpr qsizetype kValueDigits = 12;

QString layoutData(const QString &layout)
{
    return QLatin1String(printer_commands::kPrintArguments) + layout;
}

} // namespace

QString Digitos_valor(const QString &value)
{
    QString digits;
    for (QChar c : value) {
        if (ascii::isDigit(c))
            digits += c;
    }
    if (digits.size() > kValueDigits)
        return digits.right(kValueDigits);
    return digits.rightJustified(kValueDigits, QLatin1Char('0'));
}

QString Dois_digitos(int16_t n)
{
    QString text
        = (n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(int(n)));
    text.replace(QLatin1Char(' '), QLatin1Char('0'));
    return text.right(2);
}

QByteArray payeeCommand(const QString &payee)
{
    return check_command::build(Number::Payee, payee);
}

QByteArray cityCommand(const QString &city)
{
    return check_command::build(Number::City, city);
}

QByteArray dateCommand(const QDate &date)
{
    return check_command::build(Number::Date,
        Dois_digitos(int16_t(date.day())) + Dois_digitos(int16_t(date.month()))
            + Dois_digitos(int16_t(date.year())));
}

QByteArray valueCommand(const QString &twelveDigits)
{
    return check_command::build(Number::Value, twelveDigits);
}

QByteArray observation1Command(const QString &text)
{
    return check_command::build(Number::Observation1, text);
}

QByteArray observation2Command(const QString &text)
{
    return check_command::build(Number::Observation2, text);
}

QByteArray currencySingularCommand()
{
    return check_command::build(Number::CurrencySingular, QStringLiteral("REAL"));
}

QByteArray currencyPluralCommand()
{
    return check_command::build(Number::CurrencyPlural, QStringLiteral("REAIS"));
}

QByteArray printFrontCommand(const QString &layout)
{
    return check_command::build(Number::PrintFront, layoutData(layout));
}

QByteArray printObservationsCommand(const QString &layout)
{
    return check_command::build(Number::PrintObservations, layoutData(layout));
}

QByteArray backBeginCommand()
{
    return check_command::build(Number::BackBegin);
}

QByteArray backEndCommand()
{
    return check_command::build(Number::BackEnd);
}

QString indentedBackText(const QString &text)
{
    const QLatin1String indent("  ");
    QString out = QStringLiteral("\n\r") + indent;
    out.reserve(text.size() + text.size() / 8 + 4);
    for (QChar c : text) {
        out += c;
        if (c == QLatin1Char('\n'))
            out += indent;
    }
    return out;
}

std::optional<QString> valueDigits(const QString &value, const QLocale &locale)
{
    if (value.isEmpty())
        return QString(kValueDigits, QLatin1Char('0'));
    const std::optional<qint64> cents = check_value::parseCents(value, locale);
    if (!cents || *cents < 0)
        return std::nullopt;
    const QString currency = check_value::formatCents(*cents, locale);
    qsizetype digits = 0;
    for (QChar c : currency)
        digits += ascii::isDigit(c) ? 1 : 0;
    // More digits would lose the leading ones and print a different amount.
    if (digits > kValueDigits)
        return std::nullopt;
    return Digitos_valor(currency);
}

Sequence front(const Front &check, const QLocale &locale)
{
    using Problem = Sequence::Problem;
    const QDate date = check_value::parseDate(check.date, locale);
    if (!date.isValid())
        return {Problem::BadDate, {}};
    const std::optional<QString> value = valueDigits(check.value, locale);
    if (!value)
        return {Problem::BadValue, {}};
    return {Problem::None,
        {payeeCommand(check.payee), cityCommand(check.city), dateCommand(date),
            valueCommand(*value), observation1Command(check.observation1),
            observation2Command(check.observation2), currencySingularCommand(),
            currencyPluralCommand(), printFrontCommand(check.layout)}};
}

QList<QByteArray> observations(
    const QString &observation1, const QString &observation2, const QString &layout)
{
    return {observation1Command(observation1), observation2Command(observation2),
        printObservationsCommand(layout)};
}

QList<QByteArray> back(const QString &text)
{
    return {backBeginCommand(), cp1252::fromUnicode(text), backEndCommand()};
}

QList<QByteArray> indentedBack(const QString &text)
{
    return back(indentedBackText(text));
}

} // namespace check_print
