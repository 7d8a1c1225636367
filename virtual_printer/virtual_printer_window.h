#pragma once

#include <QWidget>

class QCheckBox;
class QTableView;
class JournalModel;
class MessageSink;
class VirtualPrinter;

// "Impressora virtual": the journal of every call and the status byte the operator sets.
class VirtualPrinterWindow : public QWidget
{
    Q_OBJECT
public:
    VirtualPrinterWindow(VirtualPrinter &printer, MessageSink &messages, QWidget *parent = nullptr);

    // Writes the journal as UTF-8 text; returns the error, or an empty text.
    [[nodiscard]] QString saveJournalTo(const QString &path);

private:
    void showStatus(uint8_t status);
    void saveJournal();

    VirtualPrinter &m_printer;
    MessageSink &m_messages;
    JournalModel *m_model;
    QTableView *m_view;
    QCheckBox *m_bits[8] = {};
};
