#include "virtual_printer/png_file.h"

#include <QImage>
#include <QtEndian>
#include <array>
#include <cstring>

namespace png_file {

namespace {

struct Code
{
    quint32 code = 0; // bit-reversed, as deflate sends codes
    int bits = 0;
};
constexpr int kMaxMatch = 258;

constexpr quint32 reversed(quint32 code, int bits)
{
    quint32 out = 0;
    for (int i = 0; i < bits; ++i)
        out |= ((code >> i) & 1) << (bits - 1 - i);
    return out;
}

constexpr std::array<Code, 288> fixedCodes()
{
    std::array<Code, 288> codes {};
    for (int s = 0; s < 288; ++s) {
        if (s < 144)
            codes[s] = {reversed(0x30 + s, 8), 8};
        else if (s < 256)
            codes[s] = {reversed(0x190 + s - 144, 9), 9};
        else if (s < 280)
            codes[s] = {reversed(s - 256, 7), 7};
        else
            codes[s] = {reversed(0xc0 + s - 280, 8), 8};
    }
    return codes;
}

// The code of a match of `length` (3 to 258) at distance 3: length symbol, its extra bits,
// and distance code 2 (five bits, no extra).
constexpr std::array<Code, kMaxMatch + 1> matchCodes()
{
    constexpr std::array<int, 29> base = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
        35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr std::array<int, 29> extra
        = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    const std::array<Code, 288> literal = fixedCodes();
    std::array<Code, kMaxMatch + 1> codes {};
    for (int length = 3; length <= kMaxMatch; ++length) {
        int i = 28;
        while (base[i] > length)
            --i;
        const Code symbol = literal[257 + i];
        codes[length] = {symbol.code | quint32(length - base[i]) << symbol.bits
                | reversed(2, 5) << (symbol.bits + extra[i]),
            symbol.bits + extra[i] + 5};
    }
    return codes;
}

constexpr std::array<Code, 288> kLiteral = fixedCodes();
constexpr std::array<Code, kMaxMatch + 1> kMatch = matchCodes();

// Deflate with the fixed codes of RFC 1951, for rows given as the difference of each pixel from
// the one above: a pixel that repeats the one before it in its row is coded as a match at
// distance 3, so flat paper, blank rows and ruled lines cost a few bits a run. Adler-32 of the
// bytes (RFC 1950).
class RowDeflate
{
public:
    // Appends to `out` the deflated form of at most `bytes` bytes.
    RowDeflate(QByteArray &out, qsizetype bytes)
        : m_out(out)
    {
        const qsizetype start = m_out.size();
        // Room for every byte as a 9-bit literal, the header, the block's ends and the sum.
        m_out.resize(start + bytes / 8 * 9 + 32);
        m_next = m_out.data() + start;
        *m_next++ = 0x78; // zlib header: 32 KiB window, fastest
        *m_next++ = 0x01;
        put(0b011, 3); // the only block, fixed codes
    }

    // A new row with its filter type.
    void row(quint8 filter)
    {
        flushRun();
        m_hasPixel = false;
        literal(filter);
    }

    // The next pixel, as its red, green and blue bytes in 0xRRGGBB.
    void pixel(quint32 rgb)
    {
        if (m_hasPixel && rgb == m_pixel) {
            ++m_run;
            return;
        }
        flushRun();
        m_hasPixel = true;
        m_pixel = rgb;
        literal(quint8(rgb >> 16));
        literal(quint8(rgb >> 8));
        literal(quint8(rgb));
    }

    // `count` more pixels, the same as the one before.
    void repeat(qsizetype count) { m_run += count; }

    void finish()
    {
        flushRun();
        put(kLiteral[256].code, kLiteral[256].bits); // end of block
        flushBits();
        qToBigEndian(m_b % kAdlerBase << 16 | m_a % kAdlerBase, m_next);
        m_next += 4;
        m_out.resize(m_next - m_out.data());
    }

private:
    static constexpr quint32 kAdlerBase = 65521;
    // Whole pixels in one match.
    static constexpr qsizetype kMatchPixels = kMaxMatch / 3;

    void put(quint32 code, int bits)
    {
        m_bits |= quint64(code) << m_bitCount;
        m_bitCount += bits;
        if (m_bitCount >= 32) {
            qToLittleEndian(quint32(m_bits), m_next);
            m_next += 4;
            m_bits >>= 32;
            m_bitCount -= 32;
        }
    }

    void flushBits()
    {
        for (; m_bitCount > 0; m_bitCount -= 8) {
            *m_next++ = char(m_bits & 0xff);
            m_bits >>= 8;
        }
    }

    void literal(quint8 value)
    {
        put(kLiteral[value].code, kLiteral[value].bits);
        m_a += value;
        m_b += m_a;
        if (++m_sinceModulo == 5552) { // the most bytes before the 32-bit sums may overflow
            m_a %= kAdlerBase;
            m_b %= kAdlerBase;
            m_sinceModulo = 0;
        }
    }

    // The repeats held back, as matches copying the pixel before them.
    void flushRun()
    {
        if (m_run == 0)
            return;
        const quint64 t0 = m_pixel >> 16 & 0xff, t1 = m_pixel >> 8 & 0xff, t2 = m_pixel & 0xff;
        const quint64 sum = t0 + t1 + t2, n = quint64(m_run), a = m_a % kAdlerBase;
        // The sums after n more copies of the pixel, in closed form.
        m_b = quint32((m_b + 3 * n % kAdlerBase * a + 3 * sum * (n * (n - 1) / 2 % kAdlerBase)
                          + n % kAdlerBase * (3 * t0 + 2 * t1 + t2))
            % kAdlerBase);
        m_a = quint32((a + n % kAdlerBase * sum) % kAdlerBase);
        m_sinceModulo = 0;
        for (; m_run > 0; m_run -= std::min(m_run, kMatchPixels)) {
            const int length = 3 * int(std::min(m_run, kMatchPixels));
            put(kMatch[length].code, kMatch[length].bits);
        }
    }

    QByteArray &m_out;
    char *m_next;
    quint64 m_bits = 0;
    int m_bitCount = 0;
    quint32 m_a = 1;
    quint32 m_b = 0;
    int m_sinceModulo = 0;
    bool m_hasPixel = false;
    quint32 m_pixel = 0;
    qsizetype m_run = 0;
};

using CrcTables = std::array<std::array<quint32, 256>, 4>;

// CRC-32 four bytes at a time: table k gives the effect of a byte k places further on.
CrcTables crcTables()
{
    CrcTables t {};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (int k = 1; k < 4; ++k) {
        for (int n = 0; n < 256; ++n)
            t[k][n] = t[k - 1][n] >> 8 ^ t[0][t[k - 1][n] & 0xff];
    }
    return t;
}

quint32 crc32(const char *data, qsizetype size)
{
    static const CrcTables t = crcTables();
    quint32 c = 0xffffffffu;
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        c ^= qFromLittleEndian<quint32>(data + i);
        c = t[3][c & 0xff] ^ t[2][c >> 8 & 0xff] ^ t[1][c >> 16 & 0xff] ^ t[0][c >> 24];
    }
    for (; i < size; ++i)
        c = t[0][(c ^ quint8(data[i])) & 0xff] ^ c >> 8;
    return ~c;
}

void appendBigEndian(QByteArray &out, quint32 value)
{
    out.resize(out.size() + 4);
    qToBigEndian(value, out.data() + out.size() - 4);
}

// Appends the chunk of `type` whose data `fill` appends.
template <typename Fill> void chunk(QByteArray &out, const char (&type)[5], Fill fill)
{
    const qsizetype lengthAt = out.size();
    appendBigEndian(out, 0);
    out.append(type, 4);
    fill();
    qToBigEndian(quint32(out.size() - lengthAt - 8), out.data() + lengthAt);
    appendBigEndian(out, crc32(out.constData() + lengthAt + 4, out.size() - lengthAt - 4));
}

} // namespace

QByteArray encode(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.format() == QImage::Format_RGB32
        ? image
        : image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width();
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    out.reserve(qsizetype(width) * rgb.height() / 8); // about what a drawn check takes
    chunk(out, "IHDR", [&] {
        appendBigEndian(out, quint32(width));
        appendBigEndian(out, quint32(rgb.height()));
        out.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no interlace
    });
    chunk(out, "IDAT", [&] {
        RowDeflate deflate(out, (3 * qsizetype(width) + 1) * rgb.height());
        const QRgb *above = nullptr;
        for (int y = 0; y < rgb.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            if (!above) {
                deflate.row(0); // no filter
                for (int x = 0; x < width; ++x)
                    deflate.pixel(row[x] & 0xffffff);
            } else if (std::memcmp(row, above, sizeof(QRgb) * width) == 0) {
                deflate.row(2);
                deflate.pixel(0);
                deflate.repeat(width - 1);
            } else {
                deflate.row(2); // "up": each byte less the one above it
                for (int x = 0; x < width; ++x) {
                    // Byte by byte, with no borrow from one byte into the next.
                    const quint32 p = row[x], q = above[x], high = 0x80808080u;
                    deflate.pixel((((p | high) - (q & ~high)) ^ ((p ^ ~q) & high)) & 0xffffff);
                }
            }
            above = row;
        }
        deflate.finish();
    });
    chunk(out, "IEND", [] {});
    return out;
}

} // namespace png_file
