#include "ui/services.h"

#include "printer_link/printer_link.h"

QLocale regionalLocale(const QLocale &system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Portuguese, QLocale::Brazil);
    return system;
}

QString commandFailureMessage(const LinkResult &result)
{
    return result.callFailed() ? result.error : QString::fromUtf8(kCommandFailed);
}
