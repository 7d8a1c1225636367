#include "virtual_printer/command_decoder.h"

#include "core/ascii.h"
#include "printer_link/printer_commands.h"
#include "virtual_printer/journal_format.h"

#include <QStringList>

namespace command_decoder {

namespace {

using namespace printer_commands;
constexpr qsizetype kShownCharacters = 60;

bool isText(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x20 && b != 0x7F) || b == '\r' || b == '\n';
}

class Reader
{
public:
    explicit Reader(const QByteArray &bytes)
        : m_bytes(bytes)
    { }

    QVector<Command> run()
    {
        while (m_pos < m_bytes.size()) {
            if (m_bytes.at(m_pos) == kEsc)
                escape();
            else if (isText(m_bytes.at(m_pos)))
                run(Command::Kind::Text, isText);
            else
                run(Command::Kind::Unknown, [](char c) { return c != kEsc && !isText(c); });
        }
        return m_out;
    }

private:
    qsizetype left() const { return m_bytes.size() - m_pos; }

    void emitCommand(Command c, qsizetype length)
    {
        c.offset = m_pos;
        c.length = length;
        m_pos += length;
        m_out.append(std::move(c));
    }

    void emitSimple(Command::Kind kind, qsizetype length)
    {
        Command c;
        c.kind = kind;
        emitCommand(std::move(c), length);
    }

    void emitUnknown(qsizetype length, bool complete = true)
    {
        Command c;
        c.data = m_bytes.mid(m_pos, length);
        c.complete = complete;
        emitCommand(std::move(c), length);
    }

    template <typename Pred> void run(Command::Kind kind, Pred belongs)
    {
        qsizetype end = m_pos;
        while (end < m_bytes.size() && belongs(m_bytes.at(end)))
            ++end;
        Command c;
        c.kind = kind;
        c.data = m_bytes.mid(m_pos, end - m_pos);
        emitCommand(std::move(c), end - m_pos);
    }

    void escape()
    {
        if (left() < 2) {
            emitUnknown(1, false);
            return;
        }
        switch (m_bytes.at(m_pos + 1)) {
        case kCheckIntroducer:
            checkCommand();
            return;
        case kSimpleAuthentication:
            emitSimple(Command::Kind::AuthSimple, 2);
            return;
        case kDoubleAuthentication:
            emitSimple(Command::Kind::AuthDouble, 2);
            return;
        case kOpenDrawer:
            emitSimple(Command::Kind::Drawer, 2);
            return;
        case kBitImage:
            bitImage();
            return;
        case kMonitor:
            monitor();
            return;
        default:
            emitUnknown(2);
        }
    }

    void checkCommand()
    {
        // ESC ".59" NN: a prefix that breaks off with the call is a command cut short;
        // one that goes on differently is not a check command at all.
        const QByteArray prefix(kCheckPrefix);
        const qsizetype available = std::min(left(), prefix.size() + kCheckNumberDigits);
        for (qsizetype i = 2; i < std::min(available, prefix.size()); ++i) {
            if (m_bytes.at(m_pos + i) != prefix.at(i)) {
                emitUnknown(2);
                return;
            }
        }
        Command c;
        c.kind = Command::Kind::Check;
        if (available < prefix.size() + kCheckNumberDigits) {
            c.complete = false;
            emitCommand(std::move(c), left());
            return;
        }
        const char tens = m_bytes.at(m_pos + prefix.size());
        const char units = m_bytes.at(m_pos + prefix.size() + 1);
        if (!ascii::isDigit(tens) || !ascii::isDigit(units)) {
            emitUnknown(prefix.size());
            return;
        }
        c.number = (tens - '0') * 10 + (units - '0');
        const qsizetype dataStart = m_pos + prefix.size() + kCheckNumberDigits;
        const qsizetype end = m_bytes.indexOf(kCheckEnd, dataStart);
        if (end < 0) {
            c.data = m_bytes.mid(dataStart);
            c.complete = false;
            emitCommand(std::move(c), left());
            return;
        }
        c.data = m_bytes.mid(dataStart, end - dataStart);
        emitCommand(std::move(c), end + 1 - m_pos);
    }

    void bitImage()
    {
        Command c;
        c.kind = Command::Kind::BitImage;
        if (left() < 4) {
            c.complete = false;
            emitCommand(std::move(c), left());
            return;
        }
        c.declaredColumns = static_cast<unsigned char>(m_bytes.at(m_pos + 2))
            + 256 * static_cast<unsigned char>(m_bytes.at(m_pos + 3));
        const qsizetype columns = std::min<qsizetype>(c.declaredColumns, left() - 4);
        c.data = m_bytes.mid(m_pos + 4, columns);
        c.complete = columns == c.declaredColumns;
        emitCommand(std::move(c), 4 + columns);
    }

    void monitor()
    {
        if (left() < 3) {
            emitUnknown(left(), false);
            return;
        }
        const char mode = m_bytes.at(m_pos + 2);
        if (mode == kMonitorOn)
            emitSimple(Command::Kind::MonitorOn, 3);
        else if (mode == kMonitorOff)
            emitSimple(Command::Kind::MonitorOff, 3);
        else
            emitUnknown(3);
    }

    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
    QVector<Command> m_out;
};

QString quoted(const QByteArray &data)
{
    QString text = journal_format::readable(data.left(kShownCharacters));
    if (data.size() > kShownCharacters)
        text += QStringLiteral("…");
    return QStringLiteral("«%1»").arg(text);
}

} // namespace

QVector<Command> decode(const QByteArray &bytes)
{
    return Reader(bytes).run();
}

QString checkCommandName(int number)
{
    switch (number) {
    case 1:
        return QStringLiteral("Favorecido");
    case 2:
        return QStringLiteral("Município");
    case 3:
        return QStringLiteral("Data");
    case 4:
        return QStringLiteral("Valor");
    case 5:
        return QStringLiteral("Observações 1");
    case 6:
        return QStringLiteral("Observações 2");
    case 7:
        return QStringLiteral("Moeda no singular");
    case 8:
        return QStringLiteral("Moeda no plural");
    case 9:
        return QStringLiteral("Imprimir frente");
    case 10:
        return QStringLiteral("Imprimir observações");
    case 15:
        return QStringLiteral("Início do verso");
    case 16:
        return QStringLiteral("Fim do verso");
    default:
        return {};
    }
}

QString describe(const Command &c)
{
    QString out;
    switch (c.kind) {
    case Command::Kind::Check: {
        if (c.number < 0) {
            out = QStringLiteral("ESC .59");
            break;
        }
        const QString name = checkCommandName(c.number);
        out = QStringLiteral("%1 %2")
                  .arg(c.number, 2, 10, QLatin1Char('0'))
                  .arg(name.isEmpty() ? QStringLiteral("comando desconhecido") : name);
        if (!c.data.isEmpty() || c.number <= 8)
            out += QLatin1Char(' ') + quoted(c.data);
        break;
    }
    case Command::Kind::AuthSimple:
        out = QStringLiteral("ESC V autenticação simples");
        break;
    case Command::Kind::AuthDouble:
        out = QStringLiteral("ESC X autenticação dupla");
        break;
    case Command::Kind::BitImage:
        out = QStringLiteral("ESC K imagem de %1 colunas").arg(c.data.size());
        if (!c.complete && c.declaredColumns > c.data.size())
            out += QStringLiteral(" de %1 anunciadas").arg(c.declaredColumns);
        break;
    case Command::Kind::MonitorOn:
        out = QStringLiteral("ESC ~1 início da autenticação monitorada");
        break;
    case Command::Kind::MonitorOff:
        out = QStringLiteral("ESC ~0 fim da autenticação monitorada");
        break;
    case Command::Kind::Drawer:
        out = QStringLiteral("ESC o abrir gaveta");
        break;
    case Command::Kind::Text:
        // One call to arg: the text may itself hold "%2".
        out = QStringLiteral("texto %1 (%2 bytes)")
                  .arg(quoted(c.data), QString::number(c.data.size()));
        break;
    case Command::Kind::Unknown:
        out = QStringLiteral("desconhecido %1").arg(journal_format::hex(c.data));
        break;
    }
    if (!c.complete)
        out += QStringLiteral(" (incompleto)");
    return out;
}

QString summary(const QVector<Command> &commands)
{
    QStringList parts;
    parts.reserve(commands.size());
    for (const Command &c : commands)
        parts << describe(c);
    return parts.join(QStringLiteral(" · "));
}

} // namespace command_decoder
