#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace cp1252 {

// True when every character of `text` has a byte of its own in cp1252.
[[nodiscard]] bool canEncode(const QString &text);
// One byte per character; characters cp1252 cannot hold become '?' (fields never let them in).
[[nodiscard]] QByteArray fromUnicode(const QString &text);
[[nodiscard]] QString toUnicode(const QByteArray &bytes);
// The same, line by line.
[[nodiscard]] QList<QByteArray> fromUnicode(const QStringList &lines);
[[nodiscard]] QStringList toUnicode(const QList<QByteArray> &lines);

} // namespace cp1252
