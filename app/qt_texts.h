#pragma once

#include <QLibraryInfo>
#include <QString>

class QTranslator;

// Qt's own texts (the --help headers and its errors, the standard dialogs, the fields' context
// menu) in Brazilian Portuguese, whatever the system's language.
namespace qt_texts {

// Loads qtbase_pt_BR.qm from `folder` into `translator`. When it cannot, says so once on
// vorel.ui and returns false: Qt's texts then stay in English and the program goes on.
bool load(QTranslator &translator,
    const QString &folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace qt_texts
