#include "check/check_value.h"

#include "core/ascii.h"

namespace check_value {

namespace {

constexpr int kDecimals = 2;
// Keeps the hundredths below 2^53, where a double still holds them exactly.
constexpr qsizetype kMaxIntegerDigits = 13;
// The years a check's two digits can stand for.
constexpr int kFirstYear = 1900;
constexpr int kLastYear = 2099;

bool isSpace(QChar c)
{
    // Qt's currency form puts a no-break space after the symbol; some locales group digits with
    // a narrow one.
    return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F);
}

// What stands before or after the number: spaces, the currency symbol, a sign, a parenthesis.
struct Affix
{
    int symbols = 0;
    int minus = 0;
    int open = 0;
    int close = 0;
};

std::optional<Affix> readAffix(QStringView text, const QString &symbol, const QString &minus)
{
    Affix affix;
    while (!text.isEmpty()) {
        qsizetype taken = 1;
        if (!symbol.isEmpty() && text.startsWith(symbol)) {
            ++affix.symbols;
            taken = symbol.size();
        } else if (!minus.isEmpty() && text.startsWith(minus)) {
            ++affix.minus;
            taken = minus.size();
        } else if (text.front() == QLatin1Char('-')) {
            ++affix.minus;
        } else if (text.front() == QLatin1Char('(')) {
            ++affix.open;
        } else if (text.front() == QLatin1Char(')')) {
            ++affix.close;
        } else if (!isSpace(text.front())) {
            return std::nullopt;
        }
        text = text.mid(taken);
    }
    return affix;
}

// "2345" or "2.345": digits alone, or a first group of one to three digits that does not start
// with 0 followed by groups of three.
std::optional<QString> integerDigits(QStringView text, const QString &group)
{
    if (group.isEmpty() || !text.contains(group))
        return ascii::allDigits(text) ? std::optional<QString>(text.toString()) : std::nullopt;
    const QList<QStringView> parts = text.split(group);
    const QStringView first = parts.first();
    if (first.size() > 3 || first.startsWith(QLatin1Char('0')))
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
    const QString point = locale.decimalPoint();
    // The number runs from its first digit to its last, with a decimal point that starts or ends
    // it; a sign, the currency symbol and spaces may stand around it, nothing else.
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (ascii::isDigit(text[i])) {
            first = first < 0 ? i : first;
            last = i + 1;
        }
    }
    if (first < 0)
        return std::nullopt;
    if (QStringView(text).left(first).endsWith(point))
        first -= point.size();
    if (QStringView(text).mid(last).startsWith(point))
        last += point.size();

    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    const std::optional<Affix> before
        = readAffix(QStringView(text).left(first), symbol, locale.negativeSign());
    const std::optional<Affix> after
        = readAffix(QStringView(text).mid(last), symbol, locale.negativeSign());
    if (!before || !after || before->close > 0 || after->open > 0 || before->open != after->close
        || before->open + before->minus + after->minus > 1)
        return std::nullopt;
    // One symbol at most, on the side where the locale's own currency form writes it.
    const bool symbolFirst = locale.toCurrencyString(1.0).startsWith(symbol);
    if (before->symbols + after->symbols > 1 || (symbolFirst ? after : before)->symbols > 0)
        return std::nullopt;
    const bool negative = before->open + before->minus + after->minus > 0;

    QString number = text.mid(first, last - first);
    QString group = locale.groupSeparator();
    // Where the locale groups with a space, any kind of space typed between digits groups them.
    if (group.size() == 1 && isSpace(group.front())) {
        for (QChar &c : number)
            c = isSpace(c) ? group.front() : c;
    }
    const qsizetype at = number.indexOf(point);
    const QStringView whole = at < 0 ? QStringView(number) : QStringView(number).left(at);
    const QStringView fraction
        = at < 0 ? QStringView() : QStringView(number).mid(at + point.size());
    if (at >= 0 && !fraction.isEmpty() && !ascii::allDigits(fraction))
        return std::nullopt;
    std::optional<QString> digits = whole.isEmpty() && !fraction.isEmpty()
        ? std::optional<QString>(QStringLiteral("0"))
        : integerDigits(whole, group);
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
            return date.year() >= kFirstYear && date.year() <= kLastYear ? date : QDate();
    }
    return {};
}

} // namespace check_value
