#pragma once

#include "printer_link/monitored_mode.h"
#include "printer_link/printer_link.h"
#include "virtual_printer/virtual_printer.h"

#include <functional>

// A journal sent again to a printer, call by call.
namespace journal_replay {

struct Event
{
    enum class Kind {
        Skipped, // a status read or a pause, not repeated
        Waiting, // the line of a monitored authentication waits for the document first
        Sent, // the call went to the printer, which answered `result`
        Ended, // ESC "~0" went out after the wait or the line failed, and answered `result`
    };
    Kind kind = Kind::Sent;
    int call = 0; // in the journal, from 0
    LinkResult result;
};

enum class Outcome {
    Done,
    Refused, // `call` was refused, or could not be made (`error` says why)
    GivenUp, // the waiter gave up waiting for the document before `call`
    StatusFailed, // a status read failed while waiting before `call`; `error` says why
    Stopped, // `stop` said so before `call`
};

struct Result
{
    Outcome outcome = Outcome::Done;
    int call = -1;
    QString error;
    int sent = 0; // TX and TXI calls sent, ESC "~0" after a failure left out
};

// Sends the TX and TXI calls of `journal` in order, with their recorded ports and bytes. Status
// reads and pauses are not repeated, but a line recorded between ESC "~1" and ESC "~0" waits for
// the document as the monitored authentication does; a failure in that mode sends ESC "~0", so
// that the printer does not stay in it. A TX refused or a TXI that could not be made stops the
// rest (as in the windows, what TXI answers is not looked at). `report` hears of every call;
// `stop` is asked before each one.
[[nodiscard]] Result replay(PrinterLink &link, const QVector<JournalEntry> &journal,
    monitored_mode::Waiter &waiter, const std::function<void(const Event &)> &report = {},
    const std::function<bool()> &stop = {});

// "chamada 2: TX LPT1, 9 bytes (01 Favorecido «José»): 0"
[[nodiscard]] QString describe(const QVector<JournalEntry> &journal, const Event &event);
// "9 chamadas enviadas." or where and why it stopped; `givenUp` says why a wait was given up or
// the replay stopped.
[[nodiscard]] QString summary(const Result &result, const QString &givenUp);

} // namespace journal_replay
