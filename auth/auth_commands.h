#pragma once

#include <QByteArray>
#include <QString>

namespace auth_commands {

// The line the main window puts into the window on every "Autenticação" press.
[[nodiscard]] QString sampleLine();

// The logo: the 8-dot bit-image command and its 37 columns, 41 bytes.
[[nodiscard]] QByteArray Logotipo();

// ESC "V", the logo, then the line in cp1252, nothing appended.
[[nodiscard]] QByteArray simpleAuthentication(const QString &line);
// ESC "X", the logo, then the line in cp1252, nothing appended.
[[nodiscard]] QByteArray doubleAuthentication(const QString &line);

// ESC "~1": the printer watches for the document.
[[nodiscard]] QByteArray monitoredStart();
// The bare line of a monitored authentication, in cp1252.
[[nodiscard]] QByteArray monitoredLine(const QString &line);
// ESC "~0": the printer leaves the monitored mode.
[[nodiscard]] QByteArray monitoredEnd();

} // namespace auth_commands
