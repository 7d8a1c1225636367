#include "auth/auth_commands.h"

#include "printer_link/cp1252.h"
#include "printer_link/monitored_mode.h"
#include "printer_link/printer_commands.h"

namespace auth_commands {

namespace {

using namespace printer_commands;

QByteArray escape(char command)
{
    return QByteArray(1, kEsc).append(command);
}

QByteArray withLogo(char kind, const QString &line)
{
    return escape(kind) + Logotipo() + cp1252::fromUnicode(line);
}

} // namespace

QString sampleLine()
{
    return QStringLiteral(" BBB 123 27012030 R$2.345,98");
}

QByteArray Logotipo()
{
    // One byte per column, bit 7 the top dot; bit 0 is never set.
    static const unsigned char kColumns[]
        = {254, 0, 130, 0, 198, 0, 254, 0, 198, 0, 130, 0, 194, 0, 254, 0, 194, 0, 130, 0, 158, 32,
            210, 32, 158, 0, 130, 0, 250, 4, 130, 4, 250, 0, 130, 0, 254};
    static_assert(sizeof kColumns == 37);
    QByteArray bytes = escape(kBitImage);
    bytes.append(char(sizeof kColumns)).append('\0');
    bytes.append(reinterpret_cast<const char *>(kColumns), sizeof kColumns);
    return bytes;
}

QByteArray simpleAuthentication(const QString &line)
{
    return withLogo(kSimpleAuthentication, line);
}

QByteArray doubleAuthentication(const QString &line)
{
    return withLogo(kDoubleAuthentication, line);
}

QByteArray monitoredStart()
{
    return monitored_mode::start();
}

QByteArray monitoredLine(const QString &line)
{
    return cp1252::fromUnicode(line);
}

QByteArray monitoredEnd()
{
    return monitored_mode::end();
}

} // namespace auth_commands
