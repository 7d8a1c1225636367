#include "ui/services.h"

#include "printer_link/printer_link.h"

QLocale regionalLocale(const QLocale &system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Portuguese, QLocale::Brazil);
    return system;
}

bool sendCommands(const Services &services, QWidget *parent, const PortaSource &porta,
    const QList<QByteArray> &commands)
{
    for (const QByteArray &command : commands) {
        const LinkResult r = services.link->TX(narrowPort(porta()), command);
        if (r.refused()) {
            // The link's own words when the call could not be made at all.
            services.messages->show(parent,
                r.callFailed() ? r.error
                               : QStringLiteral("Houve um problema na execução do comando"));
            return false;
        }
    }
    return true;
}
