#pragma once

#include "printer_link/printer_link.h"
#include <QMap>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>

enum class SerialFlow { None, Hardware, Software };

// How `--printer ports` reaches the printer: the device behind each port code and the serial
// line settings.
struct PortSettings
{
    QString lpt1 = QStringLiteral("/dev/lp0");
    QString lpt2 = QStringLiteral("/dev/lp1");
    QString com1 = QStringLiteral("/dev/ttyS0");
    QString com2 = QStringLiteral("/dev/ttyS1");
    int serialSpeed = 9600; // bits per second; always 8 data bits, no parity, one stop bit
    SerialFlow serialFlow = SerialFlow::Hardware;
    std::chrono::milliseconds writeTimeout {10000};
};

// One port as the link sees it. `option` is the command-line option that moves it ("lpt1").
struct PortDevice
{
    enum class Kind { Parallel, Serial };
    // Where the operator picks another device: on the command line, in the setup dialog they
    // are looking at, or in the setup the main window's menu opens.
    enum class Remedy { CommandLine, Dialog, Menu };
    Kind kind = Kind::Parallel;
    QString name; // "LPT1"
    QString option; // "lpt1"
    QString path;
    Remedy remedy = Remedy::CommandLine;
};

namespace port_settings {

// The device behind a port code (888, 632, 1, 2); nothing for any other code.
[[nodiscard]] std::optional<PortDevice> deviceFor(const PortSettings &settings, int16_t port);

// Port code -> where it goes, as the operator reads it ("/dev/ttyS0 (9600 bps, 8N1, ...)").
[[nodiscard]] QMap<int, QString> describe(const PortSettings &settings);

[[nodiscard]] QString flowName(SerialFlow flow); // "none", "hardware", "software"
[[nodiscard]] std::optional<SerialFlow> flowFromName(const QString &name);

} // namespace port_settings
