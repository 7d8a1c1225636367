#include "text/text_print.h"

#include "printer_link/cp1252.h"

#include <QStringList>

namespace text_print {

QString rulerText()
{
    QStringList lines;
    for (int n = 1; n <= 20; ++n) {
        lines << QStringLiteral("Linha%1  1         2         3         4")
                     .arg(n, 2, 10, QLatin1Char(' '));
    }
    return lines.join(QStringLiteral("\r\n"));
}

QByteArray printBytes(const QString &text)
{
    return cp1252::fromUnicode(text);
}

} // namespace text_print
