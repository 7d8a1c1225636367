#include "virtual_printer/check_front.h"

#include "core/ascii.h"
#include "layout/default_layout.h"

#include <QLocale>
#include <QStringList>

namespace check_front {

namespace {

int twoDigits(const QByteArray &bytes, qsizetype at)
{
    return (bytes.at(at) - '0') * 10 + (bytes.at(at + 1) - '0');
}

QLocale brazilian()
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

} // namespace

Heights heights(const QByteArray &layout)
{
    Heights h;
    const bool valid = layout.size() == 2 * kLineCount && ascii::allDigits(layout);
    const QByteArray used = valid ? layout : QByteArray(kDefaultLayout);
    h.defaulted = !valid;
    int fromTop = 0;
    for (int k = 0; k < kLineCount; ++k) {
        fromTop += twoDigits(used, 2 * k);
        h.mm[static_cast<size_t>(k)] = fromTop;
    }
    return h;
}

std::optional<uint64_t> cents(const QByteArray &digits)
{
    if (digits.isEmpty() || digits.size() > 12 || !ascii::allDigits(digits))
        return std::nullopt;
    return digits.toULongLong();
}

QString valueText(uint64_t cents)
{
    const QLocale locale = brazilian();
    return locale.toString(static_cast<qulonglong>(cents / 100)) + locale.decimalPoint()
        + QStringLiteral("%1").arg(cents % 100, 2, 10, QLatin1Char('0'));
}

std::optional<QDate> date(const QByteArray &ddmmyy)
{
    if (ddmmyy.size() != 6 || !ascii::allDigits(ddmmyy))
        return std::nullopt;
    const QDate d(2000 + twoDigits(ddmmyy, 4), twoDigits(ddmmyy, 2), twoDigits(ddmmyy, 0));
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

QString placeAndDate(const QString &city, const QByteArray &ddmmyy)
{
    const std::optional<QDate> d = date(ddmmyy);
    const QString when = d ? QStringLiteral("%1 de %2 de %3")
                                 .arg(d->day())
                                 .arg(brazilian().monthName(d->month()).toLower())
                                 .arg(d->year())
                           : QString::fromLatin1(ddmmyy);
    if (city.isEmpty())
        return when;
    return city + QStringLiteral(", ") + when;
}

AmountLines splitAmount(const QString &words, const std::function<bool(const QString &, int)> &fits)
{
    const auto joined = [](const QString &line, const QString &word) {
        return line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    };
    AmountLines out;
    bool onSecond = false;
    for (const QString &word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!onSecond) {
            const QString candidate = joined(out.first, word);
            if (fits(candidate, 0)) {
                out.first = candidate;
                continue;
            }
            onSecond = true;
        }
        out.second = joined(out.second, word);
    }
    out.fits = fits(out.first, 0) && fits(out.second, 1);
    return out;
}

} // namespace check_front
