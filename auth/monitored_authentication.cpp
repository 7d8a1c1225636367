#include "auth/monitored_authentication.h"

#include "auth/auth_commands.h"
#include "printer_link/inpout.h"
#include "printer_link/printer_link.h"

namespace monitored_authentication {

namespace {

constexpr int16_t kDocumentBit = 4;

} // namespace

Result run(PrinterLink &link, const PortaSource &porta, const std::function<QString()> &line,
    Waiter &waiter)
{
    if (port_code::isSerial(porta()))
        return {Outcome::SerialPort, {}};

    link.TXI(narrowPort(porta()), auth_commands::monitoredStart());
    link.Sleep(1);
    Result result;
    for (;;) {
        const LinkResult status = link.Estado(narrowPort(porta()));
        if (status.callFailed()) {
            result = {Outcome::StatusFailed, status.error};
            break;
        }
        if (inpout::BitValue(status.value, kDocumentBit) == 1) {
            link.TXI(narrowPort(porta()), auth_commands::monitoredLine(line()));
            break;
        }
        if (!waiter.keepWaiting()) {
            result = {Outcome::Cancelled, {}};
            break;
        }
    }
    // Sent in every case, so that the printer never stays in the monitored mode.
    link.TXI(narrowPort(porta()), auth_commands::monitoredEnd());
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
    }
    return {};
}

} // namespace monitored_authentication
