#include "app/qt_texts.h"

#include "core/logging.h"

#include <QDir>
#include <QTranslator>

namespace qt_texts {

bool load(QTranslator &translator, const QString &folder)
{
    const QString name = QStringLiteral("qtbase_pt_BR.qm");
    if (translator.load(name, folder))
        return true;
    qCWarning(lcUi).noquote() << "Tradução do Qt não encontrada em" << QDir(folder).filePath(name)
                              << "(pacote qt6-translations-l10n): os textos do próprio Qt "
                                 "ficam em inglês.";
    return false;
}

} // namespace qt_texts
