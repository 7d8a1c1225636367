#pragma once

#include <QString>
#include <cstdint>

namespace amount_words {

// The amount as a Brazilian check writes it in words: `cents` in hundredths of the unit,
// `singular` and `plural` the unit's names ("REAL", "REAIS"); the cents are "centavo(s)".
// Empty names are left out. Up to 999.999.999.999.999,99.
[[nodiscard]] QString inWords(uint64_t cents, const QString &singular, const QString &plural);

} // namespace amount_words
