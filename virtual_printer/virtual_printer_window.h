#pragma once

#include <QWidget>

class QCheckBox;
class QTableView;
class JournalModel;
class MessageSink;
class PaperView;
class VirtualPrinter;

// "Impressora virtual": the journal of every call and the status byte the operator sets.
class VirtualPrinterWindow : public QWidget
{
    Q_OBJECT
public:
    VirtualPrinterWindow(VirtualPrinter &printer, MessageSink &messages, QWidget *parent = nullptr);

    // Writes the journal as UTF-8 text; returns the error, or an empty text.
    [[nodiscard]] QString saveJournalTo(const QString &path);
    // Replaces the journal by the one saved in `path`; returns the error, or an empty text.
    [[nodiscard]] QString openJournalFrom(const QString &path);
    [[nodiscard]] PaperView *paperView() const { return m_paper; }
    // "Enviar à impressora...": asks for the calls of the chosen job, or of the whole journal,
    // to go to the real printer.
    void requestSend(bool wholeJournal);

signals:
    // The journal's calls `first` to `first + count - 1` are to go to the real printer.
    void sendRequested(int first, int count);

private:
    void showStatus(uint8_t status);
    void saveJournal();
    void openJournal();

    VirtualPrinter &m_printer;
    MessageSink &m_messages;
    JournalModel *m_model;
    QTableView *m_view;
    PaperView *m_paper;
    QCheckBox *m_bits[8] = {};
};
