#pragma once

// The printer's command language, written once: the byte builders compose their commands from
// these, and the virtual printer's decoder reads them back with the same constants.
namespace printer_commands {

inline constexpr char kEsc = '\x1b';

// Check commands: ESC ".59", a two-digit number, the data, "}".
inline constexpr char kCheckPrefix[] = "\x1b.59";
inline constexpr char kCheckIntroducer = '.'; // the byte after ESC
inline constexpr int kCheckNumberDigits = 2;
inline constexpr char kCheckEnd = '}';

enum class CheckNumber : int {
    Payee = 1,
    City = 2,
    Date = 3,
    Value = 4,
    Observation1 = 5,
    Observation2 = 6,
    CurrencySingular = 7,
    CurrencyPlural = 8,
    PrintFront = 9,
    PrintObservations = 10,
    BackBegin = 15,
    BackEnd = 16,
};

// Commands 09 and 10 carry these before the layout string.
inline constexpr char kPrintArguments[] = "000N";

// The letters after ESC.
inline constexpr char kSimpleAuthentication = 'V';
inline constexpr char kDoubleAuthentication = 'X';
inline constexpr char kBitImage = 'K'; // then the column count, low byte first, and the columns
inline constexpr char kOpenDrawer = 'o';
inline constexpr char kMonitor = '~'; // then '1' (watch for the document) or '0' (stop)
inline constexpr char kMonitorOn = '1';
inline constexpr char kMonitorOff = '0';

} // namespace printer_commands
