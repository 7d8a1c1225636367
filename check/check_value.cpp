#include "check/check_value.h"

#include "core/ascii.h"

namespace check_value {

namespace {

constexpr int kDecimals = 2;
// Keeps the hundredths below 2^53, where a double still holds them exactly.
constexpr qsizetype kMaxIntegerDigits = 13;

// "2.345" or "2345": a first group of any length when it is the only one, else groups of three.
std::optional<QString> integerDigits(QStringView text, const QString &group)
{
    if (group.isEmpty() || !text.contains(group))
        return ascii::allDigits(text) ? std::optional<QString>(text.toString()) : std::nullopt;
    const QList<QStringView> parts = text.split(group);
    if (parts.first().size() > 3)
        return std::nullopt;
    QString digits;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!ascii::allDigits(parts[i]) || (i > 0 && parts[i].size() != 3))
            return std::nullopt;
        digits += parts[i];
    }
    return digits;
}

} // namespace

std::optional<qint64> parseCents(const QString &text, const QLocale &locale)
{
    QString t = text;
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    if (!symbol.isEmpty())
        t.remove(symbol);
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x00A0));
    t.remove(QChar(0x202F));
    bool negative = false;
    if (t.startsWith(QLatin1Char('(')) && t.endsWith(QLatin1Char(')'))) {
        negative = true;
        t = t.mid(1, t.size() - 2);
    }
    for (const QString &minus : {locale.negativeSign(), QStringLiteral("-")}) {
        if (negative || minus.isEmpty())
            continue;
        if (t.startsWith(minus)) {
            negative = true;
            t.remove(0, minus.size());
        } else if (t.endsWith(minus)) {
            negative = true;
            t.chop(minus.size());
        }
    }

    const QString point = locale.decimalPoint();
    const qsizetype at = t.indexOf(point);
    const QStringView whole = at < 0 ? QStringView(t) : QStringView(t).left(at);
    const QStringView fraction = at < 0 ? QStringView() : QStringView(t).mid(at + point.size());
    if (at >= 0 && !fraction.isEmpty() && !ascii::allDigits(fraction))
        return std::nullopt;
    std::optional<QString> digits = whole.isEmpty() && !fraction.isEmpty()
        ? std::optional<QString>(QStringLiteral("0"))
        : integerDigits(whole, locale.groupSeparator());
    if (!digits)
        return std::nullopt;
    while (digits->size() > 1 && digits->startsWith(QLatin1Char('0')))
        digits->remove(0, 1);
    if (digits->size() > kMaxIntegerDigits)
        return std::nullopt;

    qint64 cents = 0;
    for (QChar c : *digits)
        cents = cents * 10 + (c.unicode() - '0');
    for (int i = 0; i < kDecimals; ++i)
        cents = cents * 10 + (i < fraction.size() ? fraction[i].unicode() - '0' : 0);
    if (fraction.size() > kDecimals && fraction[kDecimals] >= QLatin1Char('5'))
        ++cents;
    return negative ? -cents : cents;
}

QString formatCents(qint64 cents, const QLocale &locale)
{
    // Hundredths below 2^53 come out of the division close enough to round to themselves.
    return locale.toCurrencyString(double(cents) / 100.0, QString(), kDecimals);
}

QString toCurrency(const QString &text, const QLocale &locale)
{
    const std::optional<qint64> cents = parseCents(text, locale);
    return cents ? formatCents(*cents, locale) : text;
}

QString formatDate(const QDate &date, const QLocale &locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

QDate parseDate(const QString &text, const QLocale &locale)
{
    const QString shortForm = locale.dateFormat(QLocale::ShortFormat);
    QString relaxed = shortForm;
    relaxed.replace(QLatin1String("dd"), QLatin1String("d"));
    relaxed.replace(QLatin1String("MM"), QLatin1String("M"));
    for (const QString &form : {shortForm, relaxed}) {
        const QDate date = locale.toDate(text.trimmed(), form);
        if (date.isValid())
            return date;
    }
    return {};
}

} // namespace check_value
