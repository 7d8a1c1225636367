#pragma once

#include <QLocale>
#include <QString>

class QWidget;

// Every file dialog of the program: Qt's own, which speaks Portuguese with the rest of the
// program, unless the system's language is Portuguese and the desktop's dialog speaks it too.
namespace file_dialog {

// The file to save to, `name` proposed; empty when cancelled.
[[nodiscard]] QString saveFileName(QWidget *parent, const QString &caption, const QString &name,
    const QString &filter, const QLocale &system = QLocale::system());
// The file to add to, `name` proposed: one that exists is taken without asking to replace it;
// empty when cancelled.
[[nodiscard]] QString appendFileName(QWidget *parent, const QString &caption, const QString &name,
    const QString &filter, const QLocale &system = QLocale::system());
// The file to open, looked for from `folder`; empty when cancelled.
[[nodiscard]] QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
    const QString &filter, const QLocale &system = QLocale::system());

} // namespace file_dialog
