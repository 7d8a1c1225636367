#pragma once

#include <QByteArray>
#include <QString>

namespace text_print {

// Twenty 40-column ruler lines joined by CR LF, with no break after the last.
[[nodiscard]] QString rulerText();
// The text exactly as typed, nothing added.
[[nodiscard]] QByteArray printBytes(const QString &text);

} // namespace text_print
