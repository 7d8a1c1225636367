#pragma once

#include <QFileDialog>
#include <QLocale>

namespace file_dialog {

// For every file dialog of the program: Qt's own dialog, which speaks Portuguese with the rest
// of the program, unless the system's language is Portuguese and the desktop's dialog speaks
// it too.
[[nodiscard]] QFileDialog::Options options(const QLocale &system = QLocale::system());

} // namespace file_dialog
