#include "ui/services.h"

#include "printer_link/cp1252.h"
#include "printer_link/printer_link.h"
#include "ui/busy_action.h"

QLocale regionalLocale(const QLocale &system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Portuguese, QLocale::Brazil);
    return system;
}

QString unprintable(const QStringList &texts)
{
    for (const QString &text : texts) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QString character = text.mid(i, text.at(i).isHighSurrogate() ? 2 : 1);
            if (!cp1252::canEncode(character)) {
                return QStringLiteral(
                    "Nada foi enviado: o texto tem um caractere que a impressora não imprime (%1).")
                    .arg(character);
            }
        }
    }
    return {};
}

bool sendCommands(const Services &services, QWidget *parent, const PortaSource &porta,
    const QList<QByteArray> &commands, const QStringList &texts)
{
    if (const QString refused = unprintable(texts); !refused.isEmpty()) {
        services.messages->show(parent, refused);
        return false;
    }
    LinkResult failed;
    {
        const BusyAction busy;
        for (const QByteArray &command : commands) {
            failed = services.link->TX(narrowPort(porta()), command);
            if (failed.refused())
                break;
        }
    }
    if (!failed.refused())
        return true;
    // The link's own words when the call could not be made at all.
    services.messages->show(parent,
        failed.callFailed() ? failed.error
                            : QStringLiteral("Houve um problema na execução do comando"));
    return false;
}
