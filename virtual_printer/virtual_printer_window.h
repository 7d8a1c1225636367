#pragma once

#include "virtual_printer/viewer_layout.h"

#include <QSize>
#include <QWidget>

class QCheckBox;
class QSplitter;
class QTableView;
class BytesView;
class JournalModel;
class MessageSink;
class PaperView;
class Question;
class VirtualPrinter;

// "Impressora virtual": the status byte the operator sets, what was printed, the journal of
// every call and the bytes of the chosen one.
class VirtualPrinterWindow : public QWidget
{
    Q_OBJECT
public:
    // The size it opens at; and the narrowest and lowest at which a check front's printed text
    // is still 10 pixels high and every pane shows.
    static constexpr QSize kDefaultSize {900, 920};
    static constexpr QSize kSmallestReadable {660, 560};

    VirtualPrinterWindow(VirtualPrinter &printer, MessageSink &messages, Question &question,
        QWidget *parent = nullptr);

    // Writes the journal as UTF-8 text; returns the error, or an empty text.
    [[nodiscard]] QString saveJournalTo(const QString &path);
    // Replaces the journal by the one saved in `path`; returns the error, or an empty text.
    [[nodiscard]] QString openJournalFrom(const QString &path);
    [[nodiscard]] PaperView *paperView() const { return m_paper; }
    // "Enviar à impressora...": asks for the calls of the chosen job, or of the whole journal,
    // to go to the real printer.
    void requestSend(bool wholeJournal);

    [[nodiscard]] ViewerLayout viewerLayout() const;
    // What cannot be used (another number of panes, sizes that are not) is left as it is.
    void setViewerLayout(const ViewerLayout &layout);

signals:
    // The journal's calls `first` to `first + count - 1` are to go to the real printer.
    void sendRequested(int first, int count);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showStatus(uint8_t status);
    // The width of a column that shows at most `widest`, and its title.
    [[nodiscard]] int columnWidth(int column, const char *widest) const;
    // The long columns share what the short ones leave, none narrower than its title.
    void shareLongColumns();
    // Asks before calls that were never saved are dropped; true when they may be.
    [[nodiscard]] bool mayDrop(const QString &then);
    void clearJournal();
    void saveJournal();
    void openJournal();

    VirtualPrinter &m_printer;
    MessageSink &m_messages;
    Question &m_question;
    JournalModel *m_model;
    QTableView *m_view;
    PaperView *m_paper;
    BytesView *m_bytes;
    QSplitter *m_panes;
    QCheckBox *m_bits[8] = {};
    // Entries before it are in a file, as saved or opened, and unchanged since.
    qsizetype m_savedUpTo = 0;
    bool m_panesArranged = false; // by the operator, last time, or at the first show
};
