#pragma once

#include "virtual_printer/virtual_printer.h"

namespace journal_format {

// "1B 56 41"
[[nodiscard]] QString hex(const QByteArray &bytes);
// The bytes read as cp1252, control bytes shown as ‹ESC›, ‹CR›, ‹LF› or ‹1F›.
[[nodiscard]] QString readable(const QByteArray &bytes);
[[nodiscard]] QString portName(int16_t port);
// The call's name, with the number of reads when repeated reads share the entry: "Estado ×250".
[[nodiscard]] QString callText(const JournalEntry &entry);
// What the printer makes of the bytes, where it knows the command; else empty.
[[nodiscard]] QString command(const JournalEntry &entry);
// One tab-separated line per entry: time, call, port, byte count, result, hex, text, command.
[[nodiscard]] QString line(const JournalEntry &entry);
[[nodiscard]] QString text(const QVector<JournalEntry> &entries);

} // namespace journal_format
