#include "virtual_printer/print_grid.h"

#include "printer_link/cp1252.h"

namespace print_grid {

Grid lay(const QByteArray &text, int columns, int maxRows)
{
    columns = std::max(columns, 1);
    maxRows = std::max(maxRows, 1);
    const QString unicode = cp1252::toUnicode(text);
    Grid g;
    g.rows.append(QString());
    g.totalRows = 1;
    int row = 0;
    int column = 0;
    const auto newRow = [&] {
        ++row;
        column = 0;
        g.totalRows = std::max(g.totalRows, row + 1);
        if (row < maxRows && row >= g.rows.size())
            g.rows.append(QString());
    };
    for (const QChar c : unicode) {
        if (c == QLatin1Char('\r')) {
            column = 0;
            continue;
        }
        if (c == QLatin1Char('\n')) {
            newRow();
            continue;
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue;
        if (column >= columns)
            newRow();
        if (row < maxRows) {
            QString &line = g.rows[row];
            if (column < line.size())
                line[column] = c;
            else
                line += QString(column - line.size(), QLatin1Char(' ')) + c;
        }
        ++column;
    }
    return g;
}

} // namespace print_grid
