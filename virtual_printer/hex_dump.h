#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a call as a hex dump, sixteen to a row, for people to read and copy.
namespace hex_dump {

inline constexpr qsizetype kRowBytes = 16;

// At most `maxRows` rows of `bytes` from row `firstRow`, each "00000010  1B 2E 35 … 7D  .59..}":
// the offset in hex, the bytes in hex (a wider gap after the eighth), and the bytes as cp1252
// text, with "." for what does not print.
[[nodiscard]] QString rows(const QByteArray &bytes, qsizetype firstRow, qsizetype maxRows);

} // namespace hex_dump
