#pragma once

#include "app/options.h"

class QTextStream;

// What the command line does with a journal, without a window. Each returns the exit status:
// 0 done, 1 the work could not be done (a call refused, a folder not written), 2 bad input.
namespace journal_commands {

// --render: the pictures and impressos.txt of the journal's jobs in the folder of --to.
[[nodiscard]] int render(const Options &options, QTextStream &out, QTextStream &err);
// --replay: the journal's TX and TXI calls sent to the printer of the settings and the options.
[[nodiscard]] int replay(const Options &options, QTextStream &out, QTextStream &err);

} // namespace journal_commands
