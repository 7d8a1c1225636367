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

// Whole units in words, group by group of three digits: ICU spells each group, and the groups
// are joined as Portuguese joins them ("um milhão duzentos e cinquenta mil", but "um milhão e
// duzentos mil"): "e" only before the last group, and only when it is below one hundred or a
// whole number of hundreds.
QString spellUnits(uint64_t units)
{
    static const struct
    {
        const char *one;
        const char *many;
    } kScales[] = {{"", ""}, {"mil", "mil"}, {"um milhão", "milhões"}, {"um bilhão", "bilhões"},
        {"um trilhão", "trilhões"}};
    struct Group
    {
        uint64_t value;
        QString words;
    };
    QList<Group> groups; // highest first
    for (size_t scale = 0; units > 0 && scale < std::size(kScales); ++scale, units /= 1000) {
        const uint64_t g = units % 1000;
        if (g == 0)
            continue;
        QString words;
        if (scale == 0)
            words = spell(g);
        else if (g == 1)
            words = QString::fromUtf8(kScales[scale].one);
        else
            words = spell(g) + QLatin1Char(' ') + QString::fromUtf8(kScales[scale].many);
        groups.prepend({g, words});
    }
    QString out;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const bool last = i == groups.size() - 1;
        if (i > 0) {
            const uint64_t g = groups.at(i).value;
            out += last && (g < 100 || g % 100 == 0) ? QStringLiteral(" e ") : QStringLiteral(" ");
        }
        out += groups.at(i).words;
    }
    return out;
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
        parts << withUnit(spellUnits(units), units == 1 ? singular : plural, units % kMillion == 0);
    if (hundredths > 0) {
        parts << spell(hundredths)
                + (hundredths == 1 ? QStringLiteral(" centavo") : QStringLiteral(" centavos"));
    }
    return parts.join(QStringLiteral(" e "));
}

} // namespace amount_words
