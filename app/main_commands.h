#pragma once

#include <QByteArray>
#include <QString>

namespace main_commands {

[[nodiscard]] QString alphabetLine();
// The test line: the text, then a line feed.
[[nodiscard]] QByteArray testLine(const QString &text);
// ESC "o": opens the cash drawer.
[[nodiscard]] QByteArray openDrawer();

} // namespace main_commands
