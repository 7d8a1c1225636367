#include "printer_link/cp1252.h"

#include <array>

namespace {

// Bytes 0x80-0x9F; zero marks the five bytes cp1252 leaves undefined, which map to the C1
// control of the same number so that every byte reads back.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

int byteOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

namespace cp1252 {

bool canEncode(const QString &text)
{
    for (QChar c : text) {
        if (byteOf(c) < 0)
            return false;
    }
    return true;
}

QByteArray fromUnicode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const int b = byteOf(c);
        out.append(static_cast<char>(b < 0 ? '?' : b));
    }
    return out;
}

QString toUnicode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(kHigh[b - 0x80]) : QChar(b));
    }
    return out;
}

QList<QByteArray> fromUnicode(const QStringList &lines)
{
    QList<QByteArray> out;
    out.reserve(lines.size());
    for (const QString &line : lines)
        out << fromUnicode(line);
    return out;
}

QStringList toUnicode(const QList<QByteArray> &lines)
{
    QStringList out;
    out.reserve(lines.size());
    for (const QByteArray &line : lines)
        out << toUnicode(line);
    return out;
}

} // namespace cp1252
