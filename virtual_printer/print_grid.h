#pragma once

#include <QByteArray>
#include <QStringList>

// Where a fixed-pitch printer puts the characters of a text.
namespace print_grid {

struct Grid
{
    QStringList rows; // at most the rows asked for
    int totalRows = 0; // rows the whole text takes
};

// `text` in cp1252: CR returns to the first column (later characters overwrite), LF starts a
// new row, a character past the last column wraps to the next row. Other control bytes
// take no place. `columns` and `maxRows` at least 1.
[[nodiscard]] Grid lay(const QByteArray &text, int columns, int maxRows);

} // namespace print_grid
