#pragma once

#include <QByteArray>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Every byte of one call as a hex dump, selectable and copyable. A call of megabytes is shown a
// page at a time, so that choosing it never holds the window up.
class BytesView : public QWidget
{
    Q_OBJECT
public:
    static constexpr qsizetype kPageRows = 4096; // 64 KiB

    explicit BytesView(QWidget *parent = nullptr);

    // Shows the first page of `bytes`.
    void setBytes(const QByteArray &bytes);

private:
    void showPage(qsizetype page);
    [[nodiscard]] qsizetype pageCount() const;

    QByteArray m_bytes;
    qsizetype m_page = 0;
    QPlainTextEdit *m_text;
    QWidget *m_pager;
    QLabel *m_where;
    QPushButton *m_previous;
    QPushButton *m_next;
};
