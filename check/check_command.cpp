#include "check/check_command.h"

#include "app/printer_link/cp1252.h"

namespace check_command {

QByteArray build(Number number, const QString &data)
{
    QByteArray out(kPrefix);
    out += QByteArray::number(static_cast<int>(number)).rightJustified(2, '0');
    out += cp1252::fromUnicode(data);
    out += kEnd;
    return out;
}

} // namespace check_command
