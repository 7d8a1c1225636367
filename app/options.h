#pragma once

#include "printer_link/port_settings.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>

struct Options
{
    enum class Printer { Virtual, Library, Ports };
    Printer printer = Printer::Virtual;
    QString libraryPath; // empty: the default lookup
    // Started from the desktop menu: work in a data folder of our own, not the current one.
    bool desktop = false;
    PortSettings ports; // with Printer::Ports
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

} // namespace options

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
[[nodiscard]] ParsedOptions parseOptions(const QStringList &arguments);
