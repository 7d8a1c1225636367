#pragma once

#include "printer_link/printer_commands.h"

#include <QByteArray>
#include <QString>

// The check command language: ESC ".59", a two-digit number, the data, "}".
namespace check_command {

using Number = printer_commands::CheckNumber;

// One command; `data` goes out as cp1252, unescaped.
[[nodiscard]] QByteArray build(Number number, const QString &data = {});

} // namespace check_command
