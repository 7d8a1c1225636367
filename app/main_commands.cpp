#include "app/main_commands.h"

#include "app/printer_link/cp1252.h"

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
    return QByteArrayLiteral("\x1bo");
}

} // namespace main_commands
