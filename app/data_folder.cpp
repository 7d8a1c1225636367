#include "app/data_folder.h"

#include <QDir>

QString enterDataFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QStringLiteral("A pasta de dados do usuário não é conhecida.");
    if (!QDir().mkpath(folder))
        return QStringLiteral("Não foi possível criar a pasta de dados %1.").arg(folder);
    if (!QDir::setCurrent(folder))
        return QStringLiteral("Não foi possível usar a pasta de dados %1.").arg(folder);
    return {};
}
