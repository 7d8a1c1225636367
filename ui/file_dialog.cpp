#include "ui/file_dialog.h"

#include <QFileDialog>

namespace file_dialog {

namespace {

QString chosen(QFileDialog &dialog, const QLocale &system)
{
    if (system.language() != QLocale::Portuguese) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // Names only: the columns of the detail view (type, date) follow the system's
        // language, English under C.
        dialog.setViewMode(QFileDialog::List);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace

QString saveFileName(QWidget *parent, const QString &caption, const QString &name,
    const QString &filter, const QLocale &system)
{
    QFileDialog dialog(parent, caption, name, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return chosen(dialog, system);
}

QString appendFileName(QWidget *parent, const QString &caption, const QString &name,
    const QString &filter, const QLocale &system)
{
    QFileDialog dialog(parent, caption, name, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return chosen(dialog, system);
}

QString openFileName(QWidget *parent, const QString &caption, const QString &folder,
    const QString &filter, const QLocale &system)
{
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosen(dialog, system);
}

} // namespace file_dialog
