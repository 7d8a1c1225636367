#pragma once

#include <QByteArray>
#include <QString>

// The check command language: ESC ".59", a two-digit number, the data, "}".
namespace check_command {

enum class Number : int {
    Payee = 1,
    City = 2,
    Date = 3,
    Value = 4,
    Observation1 = 5,
    Observation2 = 6,
    CurrencySingular = 7,
    CurrencyPlural = 8,
    PrintFront = 9,
    PrintObservations = 10,
    BackBegin = 15,
    BackEnd = 16,
};

inline constexpr char kPrefix[] = "\x1b.59";
inline constexpr char kEnd = '}';

// One command; `data` goes out as cp1252, unescaped.
[[nodiscard]] QByteArray build(Number number, const QString &data = {});

} // namespace check_command
