#include "printer_link/status.h"

namespace status_line {

QString meaning(int bit)
{
    switch (bit) {
    case 7:
        return QStringLiteral("Bit 7, BUSY: vale 1 quando a impressora não está ocupada e pode "
                              "receber dados; 0 quando está ocupada.");
    case 6:
        return QStringLiteral("Bit 6, ACK: vale 0 durante o breve pulso com que a impressora "
                              "confirma ter recebido um byte; 1 no resto do tempo.");
    case 5:
        return QStringLiteral("Bit 5, PAPER END: vale 1 quando falta papel; 0 com papel.");
    case 4:
        return QStringLiteral(
            "Bit 4, ON LINE: vale 1 com a impressora em linha (selecionada); 0 fora de linha.");
    case 3:
        return QStringLiteral("Bit 3, ERROR: vale 0 quando a impressora tem um erro; 1 sem erro.");
    default:
        return QStringLiteral("Bit %1: não usado (reservado na porta paralela); 0 e 1 não "
                              "significam nada.")
            .arg(bit);
    }
}

} // namespace status_line
