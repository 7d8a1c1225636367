#include "app/text_fields.h"

#include "app/printer_link/cp1252.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QValidator>

namespace {

class Cp1252Validator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return cp1252::canEncode(input) ? Acceptable : Invalid;
    }
};

} // namespace

LineField::LineField(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new Cp1252Validator(this));
}

TextField::TextField(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(false);
}

QString TextField::text() const
{
    QString plain = toPlainText();
    plain.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return plain;
}

void TextField::setText(const QString &text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setPlainText(plain);
}

void TextField::keyPressEvent(QKeyEvent *event)
{
    if (!event->text().isEmpty() && !cp1252::canEncode(event->text())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextField::inputMethodEvent(QInputMethodEvent *event)
{
    if (!cp1252::canEncode(event->commitString())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void TextField::insertFromMimeData(const QMimeData *source)
{
    if (!cp1252::canEncode(source->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}
