#include "app/main_commands.h"

#include "printer_link/cp1252.h"
#include "printer_link/printer_commands.h"

namespace main_commands {

QString alphabetLine()
{
    return QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVXWYZ");
}

QByteArray testLine(const QString &text)
{
    return cp1252::fromUnicode(text) + '\n';
}

QByteArray openDrawer()
{
    return QByteArray(1, printer_commands::kEsc).append(printer_commands::kOpenDrawer);
}

} // namespace main_commands
