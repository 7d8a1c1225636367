#pragma once

#include <QString>
#include <QStringList>

struct Options
{
    enum class Printer { Virtual, Library, Ports };
    Printer printer = Printer::Virtual;
    QString libraryPath; // empty: the default lookup
    // Started from the desktop menu: work in a data folder of our own, not the current one.
    bool desktop = false;
};

// Either options to run with, or text to print and an exit status.
struct ParsedOptions
{
    Options options;
    bool exit = false;
    int exitStatus = 0;
    QString output; // for stdout when the status is 0, else for stderr
};

// `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
[[nodiscard]] ParsedOptions parseOptions(const QStringList &arguments);
