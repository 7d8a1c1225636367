#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// What the printer makes of the bytes of one call, command by command.
namespace command_decoder {

struct Command
{
    enum class Kind {
        Check, // ESC ".59" NN data "}"
        AuthSimple, // ESC "V"
        AuthDouble, // ESC "X"
        BitImage, // ESC "K" nL nH and one byte per column
        MonitorOn, // ESC "~1"
        MonitorOff, // ESC "~0"
        Drawer, // ESC "o"
        Text, // printable bytes, CR and LF
        Unknown, // anything else, kept byte for byte
    };

    Kind kind = Kind::Unknown;
    int number = -1; // check command number, -1 when the two digits never came
    QByteArray data; // check data, bit image columns, text or unknown bytes
    int declaredColumns = 0; // bit image: the count its header announced
    bool complete = true; // false when the bytes ended before the command did
    qsizetype offset = 0; // where the command starts in the call's bytes
    qsizetype length = 0; // bytes it takes, header included
};

// Never fails: every byte lands in exactly one command, in order.
[[nodiscard]] QVector<Command> decode(const QByteArray &bytes);

// Name of a check command number in the operator's words, empty when unknown.
[[nodiscard]] QString checkCommandName(int number);
// One command in a line, e.g. "01 Favorecido «Fulano»", "ESC K logotipo 37 colunas".
[[nodiscard]] QString describe(const Command &command);
// All commands of a call, joined with " · ".
[[nodiscard]] QString summary(const QVector<Command> &commands);

} // namespace command_decoder
