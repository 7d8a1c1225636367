#include "ui/text_fields.h"

#include "printer_link/cp1252.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocument>
#include <QValidator>
#include <limits>

namespace {

class Cp1252Validator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override
    {
        if (!cp1252::canEncode(input))
            return Invalid;
        // Pasted line breaks would start new lines in the data file: each becomes one space.
        const auto flatten = [](QString text) {
            return text.replace(QLatin1String("\r\n"), QLatin1String(" "))
                .replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
        };
        if (input.contains(QLatin1Char('\r')) || input.contains(QLatin1Char('\n'))) {
            pos = int(flatten(input.left(pos)).size());
            input = flatten(input);
        }
        return Acceptable;
    }
};

} // namespace

LineField::LineField(QWidget *parent)
    : QLineEdit(parent)
{
    setValidator(new Cp1252Validator(this));
    // Qt would silently cut at 32767 characters; fields with a limit set their own.
    setMaxLength(std::numeric_limits<int>::max());
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
    // toPlainText() would turn no-break spaces into plain ones.
    QString plain = document()->toRawText();
    plain.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    plain.replace(QChar::LineSeparator, QLatin1String("\r\n"));
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

bool TextField::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasText() && cp1252::canEncode(source->text());
}

void TextField::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    if (!cp1252::canEncode(source->text())) {
        QApplication::beep();
        return;
    }
    // The plain text alone: Qt would take a Markdown or HTML form first, which the test above
    // never saw.
    QMimeData plain;
    plain.setText(source->text());
    QPlainTextEdit::insertFromMimeData(&plain);
}
