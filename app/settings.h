#pragma once

#include "printer_link/port_settings.h"
#include "virtual_printer/viewer_layout.h"

#include <QRect>
#include <QString>

// Which printer the program drives and how it reaches it. The settings file keeps it; the
// command line may change it for one run.
struct PrinterSettings
{
    enum class Printer { Virtual, Library, Ports };
    Printer printer = Printer::Virtual;
    QString libraryPath; // empty: the default lookup
    PortSettings ports; // with Printer::Ports
};

// The virtual printer's window as the operator last left it: the program's own memory, which it
// writes into [viewer] of the same file, and of which it ignores what it cannot use.
struct ViewerSettings
{
    QRect frame; // the window with its frame, on the screen; null when never kept
    ViewerLayout layout;

    bool operator==(const ViewerSettings &) const = default;
};

// The settings file: INI, one group [printer] whose keys an administrator may write by hand, and
// [viewer], which the program keeps.
namespace settings {

// The keys of [printer]; the command line has an option for each.
enum class Key { Backend, Library, Lpt1, Lpt2, Com1, Com2, SerialSpeed, SerialFlow, WriteTimeout };
inline constexpr Key kKeys[] = {Key::Backend, Key::Library, Key::Lpt1, Key::Lpt2, Key::Com1,
    Key::Com2, Key::SerialSpeed, Key::SerialFlow, Key::WriteTimeout};

// <XDG config>/vorel-demo/vorel-demo.conf (XDG_CONFIG_HOME, else ~/.config).
[[nodiscard]] QString defaultPath();

struct Loaded
{
    PrinterSettings settings;
    // Empty when every value could be used or there is no file; else one message naming the
    // file and each key that took its default.
    QString problem;
};
// Missing keys, and values that cannot be used, take their defaults.
[[nodiscard]] Loaded read(const QString &path);
// Writes every key of [printer], replacing the file in one step and keeping [viewer]; empty on
// success, else why not.
[[nodiscard]] QString write(const QString &path, const PrinterSettings &settings);

[[nodiscard]] ViewerSettings readViewer(const QString &path);
// Replaces [viewer], keeping the rest, but never over a file it could not read; empty on
// success, else why not.
[[nodiscard]] QString writeViewer(const QString &path, const ViewerSettings &viewer);

[[nodiscard]] QString printerName(PrinterSettings::Printer printer); // "ports"
// `file` with the keys that differ between `before` and `after` taken from `after`: what a
// change in the setup dialog writes, leaving out the command line's values of this run.
[[nodiscard]] PrinterSettings withChanges(
    PrinterSettings file, const PrinterSettings &before, const PrinterSettings &after);

[[nodiscard]] QString name(Key key); // "serial-speed"
// The value as the file holds it: "ports", "9600", "2.5" (seconds), "hardware".
[[nodiscard]] QString text(const PrinterSettings &settings, Key key);
// Sets `key` from its text, as the file or the command line gives it; false, and nothing
// changed, when the value cannot be used.
[[nodiscard]] bool set(PrinterSettings &settings, Key key, const QString &text);
// What a usable value looks like, for the message about one that is not.
[[nodiscard]] QString expected(Key key);

} // namespace settings
