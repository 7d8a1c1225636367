#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

// Fields refuse, as typed or pasted, every character that cp1252 cannot hold, so what the
// operator sees is exactly what is sent and stored. A one-line field has no length limit of its
// own, and a pasted line break becomes a space in it.
class LineField : public QLineEdit
{
    Q_OBJECT
public:
    explicit LineField(QWidget *parent = nullptr);
};

// A multi-line field whose text uses CR LF line breaks, as the files and the printer expect.
class TextField : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextField(QWidget *parent = nullptr);

    [[nodiscard]] QString text() const;
    void setText(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    // Pasted and dropped text alike, whatever forms it is offered in.
    [[nodiscard]] bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
};
