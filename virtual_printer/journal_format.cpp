#include "virtual_printer/journal_format.h"

#include "core/ascii.h"
#include "core/system_error.h"
#include "core/text_file.h"
#include "printer_link/cp1252.h"

#include <QBuffer>
#include <QFile>
#include <QTimeZone>
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <optional>

namespace journal_format {

namespace {

constexpr JournalEntry::Call kCalls[] = {JournalEntry::Call::Estado, JournalEntry::Call::TX,
    JournalEntry::Call::TXI, JournalEntry::Call::Sleep};

// The first five columns of a line the program wrote take some seventy bytes; a line whose
// first kilobyte holds fewer is not a journal line, however long it goes on.
constexpr qsizetype kHeadBytes = 1024;
constexpr int kHeadColumns = 5;
// About the shortest line written: "2007-12-19T10:00:00.000\tSleep\t\t\t1\t\t\n".
constexpr qsizetype kShortestLine = 32;
// The header up to its version number.
constexpr char kHeaderStart[] = "# vorel-demo diário da impressora, versão ";

// A decimal number as QString::number writes it, within [min, max].
std::optional<qint64> number(QByteArrayView text, qint64 min, qint64 max)
{
    const bool negative = text.startsWith('-');
    const QByteArrayView digits = text.sliced(negative ? 1 : 0);
    // Eighteen digits cannot overflow; no limit here needs more.
    if (digits.size() > 18 || !ascii::allDigits(digits))
        return std::nullopt;
    qint64 value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    value = negative ? -value : value;
    if (value < min || value > max)
        return std::nullopt;
    return value;
}

// The system's local times, as the journal is written in. The offset from UTC is looked up once
// for each hour of the journal: looked up for every line, it cost more than the rest of the line.
class LocalTimes
{
public:
    // "yyyy-MM-ddTHH:mm:ss.zzz"; invalid when it is not one.
    QDateTime read(QByteArrayView text)
    {
        static constexpr char kShape[] = "0000-00-00T00:00:00.000";
        if (text.size() != qsizetype(sizeof kShape - 1))
            return {};
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (kShape[i] == '0' ? !ascii::isDigit(text[i]) : text[i] != kShape[i])
                return {};
        }
        const auto field = [&text](qsizetype at, qsizetype size) {
            int value = 0;
            for (const char digit : text.sliced(at, size))
                value = value * 10 + (digit - '0');
            return value;
        };
        const QDate date(field(0, 4), field(5, 2), field(8, 2));
        const QTime time(field(11, 2), field(14, 2), field(17, 2), field(20, 3));
        if (!date.isValid() || !time.isValid())
            return {};
        if (date != m_date || time.hour() != m_hour) {
            m_date = date;
            m_hour = time.hour();
            const QDateTime first(date, QTime(m_hour, 0), m_zone);
            const QDateTime last(date, QTime(m_hour, 59, 59, 999), m_zone);
            m_offset = first.offsetFromUtc();
            // An hour the clocks change in is left to the zone, line by line.
            m_steady = first.isValid() && last.isValid() && last.offsetFromUtc() == m_offset;
        }
        return m_steady ? QDateTime(date, time, Qt::OffsetFromUTC, m_offset)
                        : QDateTime(date, time, m_zone);
    }

private:
    const QTimeZone m_zone = QTimeZone::systemTimeZone();
    QDate m_date;
    int m_hour = -1;
    int m_offset = 0;
    bool m_steady = false;
};

std::optional<int16_t> portCode(QByteArrayView text)
{
    for (const int16_t code :
        {port_code::kLpt1, port_code::kLpt2, port_code::kCom1, port_code::kCom2}) {
        if (QLatin1String(text) == port_code::name(code))
            return code;
    }
    if (text.isEmpty())
        return int16_t(0);
    const std::optional<qint64> value = number(text, INT16_MIN, INT16_MAX);
    return value ? std::optional<int16_t>(int16_t(*value)) : std::nullopt;
}

int hexDigit(char c)
{
    if (ascii::isDigit(c))
        return c - '0';
    c = char(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Pairs of hex digits apart by spaces.
std::optional<QByteArray> fromHex(QByteArrayView text)
{
    if (text.isEmpty())
        return QByteArray();
    QByteArray bytes(text.size() / 3 + 1, Qt::Uninitialized);
    char *out = bytes.data();
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        const int high = hexDigit(text[i]);
        const int low = i + 1 < n ? hexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0 || (i + 2 < n && text[i + 2] != ' '))
            return std::nullopt;
        *out++ = char(high << 4 | low);
        i += 2;
    }
    bytes.truncate(out - bytes.constData());
    return bytes;
}

// The next column of `line` from `from`; `from` moves past its tab, or to -1 after the last.
QByteArrayView column(QByteArrayView line, qsizetype &from)
{
    const qsizetype tab = line.indexOf('\t', from);
    const QByteArrayView text = line.sliced(from, (tab < 0 ? line.size() : tab) - from);
    from = tab < 0 ? -1 : tab + 1;
    return text;
}

// Reads the first five columns, which a line must hold within its first kilobyte; `from` is
// left at the sixth, `count` at the fourth, checked once the bytes are known. The reason the
// line cannot be read back, or an empty text.
QString readHead(
    QByteArrayView line, LocalTimes &times, JournalEntry &e, qsizetype &from, QByteArrayView &count)
{
    const QByteArrayView start = line.first(std::min(line.size(), kHeadBytes));
    QByteArrayView head[kHeadColumns];
    from = 0;
    for (QByteArrayView &text : head) {
        text = column(start, from);
        if (from < 0)
            return QStringLiteral("faltam colunas");
    }
    e.time = times.read(head[0]);
    if (!e.time.isValid())
        return QStringLiteral("hora inválida");
    const auto call = std::find_if(std::begin(kCalls), std::end(kCalls),
        [&](JournalEntry::Call c) { return QLatin1String(head[1]) == callName(c); });
    if (call == std::end(kCalls))
        return QStringLiteral("chamada desconhecida");
    e.call = *call;
    const std::optional<int16_t> port = portCode(head[2]);
    if (!port)
        return QStringLiteral("porta inválida");
    e.port = *port;
    count = head[3];
    const std::optional<qint64> result = number(head[4], INT32_MIN, INT32_MAX);
    if (!result)
        return QStringLiteral("resultado inválido");
    e.result = int32_t(*result);
    return {};
}

// The reason the first line, which starts with "#", is not a header of a version this program
// reads; an empty text when it is one.
QString readHeader(QByteArrayView line)
{
    const QByteArrayView start(kHeaderStart);
    const std::optional<qint64> version
        = line.startsWith(start) ? number(line.sliced(start.size()), 1, INT32_MAX) : std::nullopt;
    if (!version)
        return QStringLiteral("cabeçalho desconhecido");
    if (*version > kVersion)
        return QStringLiteral("diário da versão %1; este programa lê até a versão %2")
            .arg(*version)
            .arg(kVersion);
    return {};
}

// The reason a line cannot be read back, or an empty text.
QString readLine(QByteArrayView line, LocalTimes &times, JournalEntry &e)
{
    qsizetype from = 0;
    QByteArrayView count;
    if (const QString reason = readHead(line, times, e, from, count); !reason.isEmpty())
        return reason;
    std::optional<QByteArray> bytes = fromHex(column(line, from));
    if (!bytes)
        return QStringLiteral("bytes inválidos");
    e.bytes = std::move(*bytes);
    // As written: no sign, no leading zero.
    if (!count.isEmpty()
        && ((count.size() > 1 && count.startsWith('0'))
            || number(count, 0, INT64_MAX) != std::optional<qint64>(e.bytes.size())))
        return QStringLiteral("contagem de bytes não confere");
    e.repeats = 1;
    if (from >= 0)
        (void)column(line, from); // the text, only for people
    if (from >= 0) {
        const std::optional<qint64> repeats = number(column(line, from), 1, INT32_MAX);
        if (!repeats)
            return QStringLiteral("repetições inválidas");
        e.repeats = int32_t(*repeats);
    }
    return {};
}

char *writeHex(char *to, QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            *to++ = ' ';
        *to++ = ascii::upperHexDigit(quint8(bytes[i]) >> 4);
        *to++ = ascii::upperHexDigit(quint8(bytes[i]));
    }
    return to;
}

// Each byte as the text column shows it, in UTF-8: cp1252, or a mark for a control byte.
struct ReadableByte
{
    static constexpr qsizetype kMostBytes = 9; // "‹ESC›"
    char text[kMostBytes];
    qsizetype size;
};

const std::array<ReadableByte, 256> &readableBytes()
{
    static const std::array<ReadableByte, 256> table = [] {
        std::array<ReadableByte, 256> t {};
        for (int b = 0; b < 256; ++b) {
            QByteArray text;
            if (b == 0x1B)
                text = "‹ESC›";
            else if (b == '\r')
                text = "‹CR›";
            else if (b == '\n')
                text = "‹LF›";
            else if (b < 0x20 || b == 0x7F)
                text = QStringLiteral("‹%1›").arg(b, 2, 16, QLatin1Char('0')).toUpper().toUtf8();
            else
                text = cp1252::toUnicode(QByteArray(1, char(b))).toUtf8();
            t[b].size = std::min(text.size(), ReadableByte::kMostBytes);
            std::copy_n(text.constData(), t[b].size, t[b].text);
        }
        return t;
    }();
    return table;
}

char *writeReadable(char *to, QByteArrayView bytes)
{
    const std::array<ReadableByte, 256> &table = readableBytes();
    // All of an entry's room is copied and only its text kept: a copy of a fixed size is a few
    // moves, one of the text's own size a call. The room for each byte covers the rest.
    for (const char b : bytes) {
        const ReadableByte &r = table[quint8(b)];
        std::memcpy(to, r.text, ReadableByte::kMostBytes);
        to += r.size;
    }
    return to;
}

// Whether `pending` and the rest of `device`, up to `most` bytes more, are all zeros.
bool onlyZerosLeft(QByteArray &pending, QIODevice &device, qint64 most)
{
    constexpr qint64 kChunk = 256 << 10;
    for (;;) {
        if (std::any_of(pending.cbegin(), pending.cend(), [](char c) { return c != 0; }))
            return false;
        if (most <= 0)
            return device.atEnd();
        pending.resize(kChunk);
        const qint64 got = device.read(pending.data(), std::min(kChunk, most));
        if (got <= 0)
            return true;
        pending.resize(got);
        most -= got;
    }
}

// The line after its time, and its end.
char *writeRest(char *to, const JournalEntry &e)
{
    const auto text = [&to](std::string_view t) { to = std::copy_n(t.data(), t.size(), to); };
    const auto number = [&to](qint64 value) { to = std::to_chars(to, to + 20, value).ptr; };
    *to++ = '\t';
    text(callLatin1(e.call));
    *to++ = '\t';
    if (e.call != JournalEntry::Call::Sleep) {
        if (const std::string_view port = port_code::knownName(e.port); !port.empty())
            text(port);
        else
            number(e.port);
    }
    *to++ = '\t';
    if (e.call == JournalEntry::Call::TX || e.call == JournalEntry::Call::TXI)
        number(e.bytes.size());
    *to++ = '\t';
    number(e.result);
    *to++ = '\t';
    to = writeHex(to, e.bytes);
    *to++ = '\t';
    to = writeReadable(to, e.bytes);
    if (e.repeats > 1) {
        *to++ = '\t';
        number(e.repeats);
    }
    *to++ = '\n';
    return to;
}

// "yyyy-MM-ddTHH:mm:ss.zzz", by hand, two digits at a time: QDateTime::toString took longer
// than the rest of the line.
char *writeTime(char *to, int year, int month, int day, int msOfDay)
{
    static constexpr auto kPairs = [] {
        std::array<char, 200> pairs {};
        for (int i = 0; i < 100; ++i) {
            pairs[2 * i] = char('0' + i / 10);
            pairs[2 * i + 1] = char('0' + i % 10);
        }
        return pairs;
    }();
    // Unsigned, so that a time out of range (an invalid one is -1 ms) still reads inside the table.
    const auto pair = [&to](int value, char after) {
        to = std::copy_n(&kPairs[2 * (unsigned(value) % 100)], 2, to);
        if (after != 0)
            *to++ = after;
    };
    pair(year / 100 % 100, 0);
    pair(year % 100, '-');
    pair(month, '-');
    pair(day, 'T');
    pair(msOfDay / 3600000, ':');
    pair(msOfDay / 60000 % 60, ':');
    pair(msOfDay / 1000 % 60, '.');
    *to++ = char('0' + unsigned(msOfDay) % 1000 / 100 % 10);
    pair(msOfDay % 100, 0);
    return to;
}

} // namespace

QString hex(const QByteArray &bytes)
{
    QByteArray out(3 * bytes.size(), Qt::Uninitialized);
    out.truncate(writeHex(out.data(), bytes) - out.constData());
    return QString::fromLatin1(out);
}

QString readable(const QByteArray &bytes)
{
    QByteArray out(ReadableByte::kMostBytes * bytes.size(), Qt::Uninitialized);
    out.truncate(writeReadable(out.data(), bytes) - out.constData());
    return QString::fromUtf8(out);
}

QString callText(const JournalEntry &entry)
{
    const QString name = callName(entry.call);
    return entry.repeats > 1 ? QStringLiteral("%1 ×%2").arg(name).arg(entry.repeats) : name;
}

void appendLine(QByteArray &out, const JournalEntry &e)
{
    int year, month, day;
    e.time.date().getDate(&year, &month, &day);
    const qsizetype at = out.size();
    out.resize(at + mostLineBytes(e));
    char *to = writeTime(out.data() + at, year, month, day, e.time.time().msecsSinceStartOfDay());
    out.truncate(writeRest(to, e) - out.constData());
}

qsizetype mostLineBytes(const JournalEntry &e)
{
    // Time 23, call and port 6 each, count 20, result and repeats 11 each, 7 tabs and the end.
    return 85 + (3 + ReadableByte::kMostBytes) * e.bytes.size();
}

char *writeLine(char *to, qint64 localMs, const JournalEntry &e)
{
    // The civil date of a day count, in integers (the proleptic Gregorian calendar in eras of
    // 400 years): no calendar of Qt's, whose code lies far from the rest, is called per call.
    constexpr qint64 kDayMs = 24 * 3600 * 1000;
    const qint64 days = localMs >= 0 ? localMs / kDayMs : (localMs + 1) / kDayMs - 1;
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra
        = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shifted = (5 * dayOfYear + 2) / 153; // months from March
    const int day = int(dayOfYear - (153 * shifted + 2) / 5 + 1);
    const int month = int(shifted < 10 ? shifted + 3 : shifted - 9);
    const int year = int(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    to = writeTime(to, year, month, day, int(localMs - days * kDayMs));
    return writeRest(to, e);
}

QString line(const JournalEntry &e)
{
    QByteArray out;
    appendLine(out, e);
    out.chop(1);
    return QString::fromUtf8(out);
}

QString header()
{
    return QString::fromUtf8(kHeaderStart) + QString::number(kVersion);
}

QString text(const QVector<JournalEntry> &entries)
{
    QString out = header() + QLatin1Char('\n');
    for (const JournalEntry &e : entries)
        out += line(e) + QLatin1Char('\n');
    return out;
}

Parsed read(QIODevice &device)
{
    constexpr qint64 kChunk = 256 << 10;
    Parsed out;
    LocalTimes times;
    qsizetype lineNumber = 0; // of the line being read
    bool started = false; // a line other than a blank one was read
    const auto take = [&out, &lineNumber, &times, &started](QByteArrayView line) {
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            return true;
        const bool first = !std::exchange(started, true);
        JournalEntry e;
        const QString reason
            = first && line.startsWith('#') ? readHeader(line) : readLine(line, times, e);
        if (!reason.isEmpty()) {
            out.error = QStringLiteral("linha %1: %2").arg(lineNumber).arg(reason);
            return false;
        }
        if (first && line.startsWith('#'))
            return true;
        out.entries.append(std::move(e));
        return true;
    };
    // Room for as many entries as there can be lines, in one block: grown step by step, a
    // journal of a million calls spent more time in fresh memory than in reading. What is not
    // used is never touched.
    out.entries.reserve(device.size() / kShortestLine);
    QByteArray pending; // read, not yet taken: the start of a line whose end has not come
    qsizetype searched = 0; // of `pending`, known to hold no line end
    bool headChecked = false;
    // A file still growing as it is read stops at the limit all the same.
    for (qint64 total = 0; total <= kMaxFileBytes;) {
        const qsizetype kept = pending.size();
        if (pending.capacity() < kept + kChunk)
            pending.reserve(std::max(2 * pending.capacity(), kept + kChunk));
        pending.resize(kept + kChunk);
        const qint64 got = device.read(pending.data() + kept, kChunk);
        pending.resize(kept + std::max<qint64>(got, 0));
        if (got <= 0)
            break;
        total += got;
        qsizetype start = 0;
        for (qsizetype end; (end = pending.indexOf('\n', searched)) >= 0; searched = start) {
            if (!take(QByteArrayView(pending).sliced(start, end - start)))
                return out;
            start = end + 1;
            headChecked = false;
        }
        pending.remove(0, start);
        searched = pending.size();
        // Where a line would start after the first, the room a recording cut short had taken:
        // zeros to the end.
        if (started && pending.startsWith('\0')) {
            if (!onlyZerosLeft(pending, device, kMaxFileBytes - total))
                out.error = QStringLiteral("linha %1: bytes nulos").arg(lineNumber + 1);
            return out;
        }
        // A line of megabytes is told bad by its start, before the rest of it is read.
        if (!headChecked && pending.size() >= kHeadBytes) {
            JournalEntry e;
            qsizetype from = 0;
            QByteArrayView count;
            // A header is a short line.
            const QString reason = !started && pending.startsWith('#')
                ? QStringLiteral("cabeçalho desconhecido")
                : readHead(pending, times, e, from, count);
            if (!reason.isEmpty()) {
                out.error = QStringLiteral("linha %1: %2").arg(lineNumber + 1).arg(reason);
                return out;
            }
            headChecked = true;
        }
    }
    if (!device.atEnd())
        out.error = text_file::tooLarge(kMaxFileBytes);
    else if (!pending.isEmpty())
        (void)take(pending);
    return out;
}

QString shortened(const QByteArray &bytes, QString (*show)(const QByteArray &))
{
    if (bytes.size() <= kShownBytes)
        return show(bytes);
    return show(bytes.first(kShownBytes))
        + QStringLiteral(" … (mais %1 bytes)").arg(bytes.size() - kShownBytes);
}

Parsed parse(const QByteArray &utf8)
{
    QBuffer buffer;
    buffer.setData(utf8);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer);
}

QString whyNotJournal(QByteArrayView start)
{
    LocalTimes times;
    qsizetype lineNumber = 1;
    for (qsizetype from = 0; from < start.size(); ++lineNumber) {
        const qsizetype end = start.indexOf('\n', from);
        QByteArrayView line = start.sliced(from, (end < 0 ? start.size() : end) - from);
        from = end < 0 ? start.size() : end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        JournalEntry e;
        qsizetype column = 0;
        QByteArrayView count;
        // A line cut short by the end of `start` is told by its head, as read() does.
        QString reason;
        if (line.startsWith('#'))
            reason = end < 0 && line.size() >= kHeadBytes ? QStringLiteral("cabeçalho desconhecido")
                                                          : readHeader(line);
        else
            reason = end < 0 ? readHead(line, times, e, column, count) : readLine(line, times, e);
        return reason.isEmpty() ? reason
                                : QStringLiteral("linha %1: %2").arg(lineNumber).arg(reason);
    }
    return {};
}

Parsed readFile(const QString &path)
{
    const text_file::OpenResult file = text_file::openForReading(path, kMaxFileBytes);
    Parsed out;
    const auto unreadable = [&path](const QString &why) {
        return QStringLiteral("Não foi possível ler %1: %2").arg(path, why);
    };
    if (!file.file) {
        out.error = unreadable(file.exists ? file.error : system_error::reason(ENOENT));
        return out;
    }
    out = read(*file.file);
    if (file.file->error() != QFileDevice::NoError) {
        out = {};
        out.error = unreadable(system_error::reason(*file.file));
    } else if (!out.error.isEmpty()) {
        out.entries = {};
        out.error = QStringLiteral("%1 não é um diário: %2").arg(path, out.error);
    }
    return out;
}

} // namespace journal_format
