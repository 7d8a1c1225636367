#pragma once

#include <QAbstractTableModel>
#include <QVector>

class VirtualPrinter;

// The journal as a table, so that tens of thousands of calls stay cheap to show.
class JournalModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Time, Call, Port, Count, Result, Commands, Hex, Text, ColumnCount };
    // Every byte of the call, in any column; what is shown stops at a few hundred.
    static constexpr int BytesRole = Qt::UserRole;

    explicit JournalModel(VirtualPrinter &printer, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // Decoded when first shown, not when the call comes in, so that adding stays cheap.
    const QString &commands(int row) const;

    VirtualPrinter &m_printer;
    mutable QVector<QString> m_commands;
    mutable QVector<bool> m_decoded;
};
