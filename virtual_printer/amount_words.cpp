#include "virtual_printer/amount_words.h"

#include <QStringList>

#include <memory>
#include <unicode/locid.h>
#include <unicode/rbnf.h>
#include <unicode/unistr.h>

namespace amount_words {

namespace {

constexpr uint64_t kMillion = 1'000'000;
constexpr uint64_t kLargest = 999'999'999'999'999'99;

// Building the rule set costs far more than using it: one per thread, made on first use.
const icu::RuleBasedNumberFormat *spellout()
{
    thread_local std::unique_ptr<icu::RuleBasedNumberFormat> format = [] {
        UErrorCode status = U_ZERO_ERROR;
        auto f = std::make_unique<icu::RuleBasedNumberFormat>(
            icu::URBNF_SPELLOUT, icu::Locale("pt", "BR"), status);
        return U_FAILURE(status) ? nullptr : std::move(f);
    }();
    return format.get();
}

// Masculine, as "real" and "centavo" are: "um", "dois", "duzentos".
QString spell(uint64_t n)
{
    const icu::RuleBasedNumberFormat *format = spellout();
    if (!format)
        return QString::number(n);
    UErrorCode status = U_ZERO_ERROR;
    icu::FieldPosition position;
    icu::UnicodeString out;
    format->format(static_cast<int64_t>(n), icu::UnicodeString(u"%spellout-cardinal-masculine"),
        out, position, status);
    if (U_FAILURE(status))
        return QString::number(n);
    return QString(reinterpret_cast<const QChar *>(out.getBuffer()), out.length());
}

QString withUnit(const QString &number, const QString &unit, bool wholeMillions)
{
    if (unit.isEmpty())
        return number;
    // "um milhão de reais", "dois bilhões de reais", but "um milhão e cem mil reais".
    return number + (wholeMillions ? QStringLiteral(" de ") : QStringLiteral(" ")) + unit;
}

} // namespace

QString inWords(uint64_t cents, const QString &singular, const QString &plural)
{
    cents = std::min(cents, kLargest);
    const uint64_t units = cents / 100;
    const uint64_t hundredths = cents % 100;
    if (units == 0 && hundredths == 0)
        return withUnit(spell(0), plural, false);

    QStringList parts;
    if (units > 0)
        parts << withUnit(spell(units), units == 1 ? singular : plural, units % kMillion == 0);
    if (hundredths > 0) {
        parts << spell(hundredths)
                + (hundredths == 1 ? QStringLiteral(" centavo") : QStringLiteral(" centavos"));
    }
    return parts.join(QStringLiteral(" e "));
}

} // namespace amount_words
