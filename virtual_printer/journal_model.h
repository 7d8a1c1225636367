#pragma once

#include <QAbstractTableModel>

class VirtualPrinter;

// The journal as a table, so that tens of thousands of calls stay cheap to show.
class JournalModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { Time, Call, Port, Count, Result, Hex, Text, Command, ColumnCount };

    explicit JournalModel(VirtualPrinter &printer, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    VirtualPrinter &m_printer;
};
