#include "check/check_command.h"

#include "printer_link/cp1252.h"

namespace check_command {

QByteArray build(Number number, const QString &data)
{
    QByteArray out(printer_commands::kCheckPrefix);
    out += QByteArray::number(static_cast<int>(number))
               .rightJustified(printer_commands::kCheckNumberDigits, '0');
    out += cp1252::fromUnicode(data);
    out += printer_commands::kCheckEnd;
    return out;
}

} // namespace check_command
