#include "auth/monitored_authentication.h"

#include "auth/auth_commands.h"
#include "printer_link/printer_link.h"

namespace monitored_authentication {

Result run(PrinterLink &link, const PortaSource &porta, const std::function<QString()> &line,
    Waiter &waiter)
{
    if (port_code::isSerial(porta()))
        return {Outcome::SerialPort, {}};

    // What TXI returns is not looked at, but a call that could not be made at all is told:
    // without ESC "~1" the printer never looks for the document.
    const LinkResult started = link.TXI(narrowPort(porta()), auth_commands::monitoredStart());
    if (started.callFailed())
        return {Outcome::SendFailed, started.error};
    Result result;
    const monitored_mode::WaitResult waited = monitored_mode::waitForDocument(link, porta, waiter);
    if (waited.outcome == monitored_mode::Wait::StatusFailed) {
        result = {Outcome::StatusFailed, waited.error};
    } else if (waited.outcome == monitored_mode::Wait::GivenUp) {
        result = {Outcome::Cancelled, {}};
    } else {
        const LinkResult sent = link.TXI(narrowPort(porta()), auth_commands::monitoredLine(line()));
        if (sent.callFailed())
            result = {Outcome::SendFailed, sent.error};
    }
    // Sent in every case, so that the printer never stays in the monitored mode.
    const LinkResult ended = link.TXI(narrowPort(porta()), auth_commands::monitoredEnd());
    if (ended.callFailed() && result.outcome == Outcome::Printed)
        result = {Outcome::SendFailed, ended.error};
    return result;
}

QString message(const Result &result)
{
    switch (result.outcome) {
    case Outcome::Printed:
    case Outcome::Cancelled:
        return {};
    case Outcome::SerialPort:
        return QStringLiteral("Essa função só funciona com as portas paralelas LPT1 ou LPT2");
    case Outcome::StatusFailed:
        return QStringLiteral("Não foi possível ler o estado da impressora: %1\n"
                              "A autenticação não foi impressa.")
            .arg(result.error);
    case Outcome::SendFailed:
        return result.error;
    }
    return {};
}

} // namespace monitored_authentication
