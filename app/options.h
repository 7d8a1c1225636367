#pragma once

#include "app/settings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

// The printer settings hold the defaults with the command line's printer options over them;
// the printer of a run is options::overFile() of the settings file.
struct Options : PrinterSettings
{
    // Started from the desktop menu: work in a data folder of our own, not the current one.
    bool desktop = false;
    bool setup = false; // start with the printer setup open
    QList<settings::Key> given; // the printer options the command line gave

    QString journal; // every printer call is added to this journal file
    // Without windows: the journal to draw into `renderTo`, as PNG or PDF pictures.
    QString render;
    QString renderTo;
    bool pdf = false;
    // Without windows: the journal to send to the printer, waiting at most `waitTimeout` for a
    // document.
    QString replay;
    std::chrono::milliseconds waitTimeout {30000};
};

// Either options to run with, or text to print and an exit status.
struct ParsedOptions
{
    Options options;
    bool exit = false;
    int exitStatus = 0;
    QString output; // for stdout when the status is 0, else for stderr
};

namespace options {

// Bits per second, 50 to 4000000; nothing when the text is no such number.
[[nodiscard]] std::optional<int> serialSpeed(const QString &text);
// Seconds with a decimal point or comma ("10", "0.3", "2,5"), 1 ms to one hour.
[[nodiscard]] std::optional<std::chrono::milliseconds> writeTimeout(const QString &text);

// The printer of this run: `file` (the settings file) with the options given over it.
[[nodiscard]] PrinterSettings overFile(const PrinterSettings &file, const Options &options);
// The options given that the printer of this run does not use ("--lpt1" with the virtual
// printer chosen in the file), as a sentence for stderr; empty when none.
[[nodiscard]] QString unused(const PrinterSettings &run, const Options &options);

// Why --replay does not send to the virtual printer.
[[nodiscard]] QString virtualReplay();

// For the setup dialog: the options given, which hold for this run only; empty when none.
[[nodiscard]] QString onlyThisRun(const Options &options);

} // namespace options

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
[[nodiscard]] ParsedOptions parseOptions(const QStringList &arguments);
