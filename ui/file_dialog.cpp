#include "ui/file_dialog.h"

namespace file_dialog {

QFileDialog::Options options(const QLocale &system)
{
    if (system.language() == QLocale::Portuguese)
        return {};
    return QFileDialog::DontUseNativeDialog;
}

} // namespace file_dialog
