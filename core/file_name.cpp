#include "core/file_name.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscape = 0xDC00;

bool inRange(unsigned char c, unsigned char low, unsigned char high)
{
    return c >= low && c <= high;
}

// The length of the well-formed UTF-8 sequence at `p`, of which `left` bytes remain; 0 if none.
qsizetype sequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    // The range of the second byte rules out overlong forms, surrogates and code points past
    // U+10FFFF; every later byte is 80 to BF.
    qsizetype length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (inRange(c, 0xC2, 0xDF)) {
        length = 2;
    } else if (inRange(c, 0xE0, 0xEF)) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (inRange(c, 0xF0, 0xF4)) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || left < length || !inRange(p[1], low, high))
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (!inRange(p[i], 0x80, 0xBF))
            return 0;
    }
    return length;
}

} // namespace

namespace file_name {

QString decode(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    QString name;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = sequenceLength(p + i, bytes.size() - i);
        if (length == 0) {
            name += QChar(char16_t(kEscape + p[i]));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.constData() + i, length);
            i += length;
        }
    }
    return name;
}

QByteArray encode(const QString &name)
{
    QByteArray bytes;
    qsizetype run = 0; // where the characters not yet written start
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c < kEscape + 0x80 || c > kEscape + 0xFF || (i > 0 && name.at(i - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(name).mid(run, i - run).toUtf8();
        bytes += char(c - kEscape);
        run = i + 1;
    }
    return bytes + QStringView(name).mid(run).toUtf8();
}

QtName::QtName(const QString &name)
    : m_name(name)
{
    const QByteArray bytes = encode(name);
    if (QFile::encodeName(name) == bytes)
        return;
    m_fd = ::open(bytes.constData(), O_PATH | O_CLOEXEC);
    if (m_fd >= 0)
        m_name = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

QtName::~QtName()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace file_name
