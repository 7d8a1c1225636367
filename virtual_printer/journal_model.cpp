#include "virtual_printer/journal_model.h"

#include "virtual_printer/command_decoder.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/virtual_printer.h"

#include <QFontDatabase>

JournalModel::JournalModel(VirtualPrinter &printer, QObject *parent)
    : QAbstractTableModel(parent)
    , m_printer(printer)
{
    connect(&m_printer, &VirtualPrinter::entryAdded, this, [this](int index) {
        beginInsertRows({}, index, index);
        endInsertRows();
    });
    connect(&m_printer, &VirtualPrinter::entryChanged, this, [this](int index) {
        emit dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
    });
    connect(&m_printer, &VirtualPrinter::journalCleared, this, [this] {
        beginResetModel();
        m_commands.clear();
        m_decoded.clear();
        endResetModel();
    });
}

int JournalModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_printer.journal().size());
}

int JournalModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_printer.journal().size())
        return {};
    const JournalEntry &e = m_printer.journal().at(index.row());
    const bool carriesBytes = e.call == JournalEntry::Call::TX || e.call == JournalEntry::Call::TXI;
    if (role == BytesRole)
        return e.bytes;
    if (role == Qt::FontRole && (index.column() == Hex || index.column() == Text))
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Time:
        return e.time.toString(QStringLiteral("HH:mm:ss.zzz"));
    case Call:
        return journal_format::callText(e);
    case Port:
        return e.call == JournalEntry::Call::Sleep ? QString() : port_code::name(e.port);
    case Count:
        return carriesBytes ? QVariant(e.bytes.size()) : QVariant();
    case Result:
        return e.result;
    case Commands:
        return carriesBytes ? QVariant(commands(index.row())) : QVariant();
    case Hex:
        return journal_format::shortened(e.bytes, journal_format::hex);
    case Text:
        return journal_format::shortened(e.bytes, journal_format::readable);
    default:
        return {};
    }
}

const QString &JournalModel::commands(int row) const
{
    if (row >= m_decoded.size()) {
        m_decoded.resize(m_printer.journal().size());
        m_commands.resize(m_printer.journal().size());
    }
    if (!m_decoded.at(row)) {
        m_commands[row] = journal_format::shortened(
            m_printer.journal().at(row).bytes, [](const QByteArray &bytes) {
                return command_decoder::summary(command_decoder::decode(bytes));
            });
        m_decoded[row] = true;
    }
    return m_commands.at(row);
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const kTitles[]
        = {"Hora", "Chamada", "Porta", "Bytes", "Resultado", "Comandos", "Hexadecimal", "Texto"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kTitles[section]) : QVariant();
}
