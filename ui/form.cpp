#include "ui/form.h"

#include "ui/text_fields.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVector>

namespace form {

namespace {
constexpr double kTwipsPerPixel = 15.0;
}

int twipsToPixels(int twips)
{
    return qRound(twips / kTwipsPerPixel);
}

QRect twipsToPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.left()), twipsToPixels(twips.top()),
        twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

QPoint twipsToPixels(const QPoint &twips)
{
    return QPoint(twipsToPixels(twips.x()), twipsToPixels(twips.y()));
}

namespace {

// The outline drawRect() gives with a one-pixel pen, as four strips: the pen's stroker goes
// pixel by pixel, and the frames' outlines were a noticeable part of the first paint.
void outline(QPainter &p, const QRect &r, const QColor &color)
{
    p.fillRect(r.x(), r.y(), r.width() + 1, 1, color);
    p.fillRect(r.x(), r.y() + r.height(), r.width() + 1, 1, color);
    p.fillRect(r.x(), r.y() + 1, 1, r.height() - 1, color);
    p.fillRect(r.x() + r.width(), r.y() + 1, 1, r.height() - 1, color);
}

} // namespace

FrameBox::FrameBox(const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_caption(caption)
{ }

void FrameBox::paintEvent(QPaintEvent *)
{
    // An etched rectangle with the caption set into its top edge.
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int top = fm.height() / 2;
    const QRect box = rect().adjusted(0, top, -2, -2);
    outline(p, box, palette().color(QPalette::Mid));
    outline(p, box.translated(1, 1), palette().color(QPalette::Light));
    if (m_caption.isEmpty())
        return;
    const QRect text(6, 0, fm.horizontalAdvance(m_caption) + 4, fm.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(text, Qt::AlignCenter, m_caption);
}

namespace {

QWidget *create(const Control &c, QWidget *parent)
{
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case Kind::Label:
        return new QLabel(caption, parent);
    case Kind::BorderedLabel: {
        auto *label = new QLabel(caption, parent);
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
    case Kind::Button:
        return new QPushButton(caption, parent);
    case Kind::LineEdit: {
        auto *edit = new LineField(parent);
        edit->setText(caption);
        return edit;
    }
    case Kind::TextEdit: {
        auto *edit = new TextField(parent);
        edit->setText(caption);
        return edit;
    }
    case Kind::Frame:
        return new FrameBox(caption, parent);
    case Kind::Option:
        return new QRadioButton(caption, parent);
    case Kind::Picture: {
        auto *picture = new QLabel(parent);
        picture->setScaledContents(true);
        return picture;
    }
    }
    return nullptr;
}

} // namespace

Controls build(QWidget *window, std::span<const Control> table)
{
    // The layouts were drawn for an 8-point interface font; larger defaults clip captions.
    QFont font = window->font();
    font.setPointSizeF(8.25);
    window->setFont(font);

    Controls controls;
    QVector<QWidget *> frames;
    for (const Control &c : table) {
        QWidget *parent
            = c.container ? controls.get<QWidget>(QString::fromLatin1(c.container)) : window;
        QWidget *w = create(c, parent);
        w->setObjectName(QString::fromLatin1(c.name));
        w->setGeometry(twipsToPixels(c.twips));
        // This font is wider than the one the layouts were drawn for: a one-line caption runs
        // on to the right rather than being cut.
        if (c.kind == Kind::Label && w->sizeHint().width() > w->width())
            w->resize(w->sizeHint().width(), w->height());
        controls.add(w);
        if (c.kind == Kind::Frame)
            frames.append(w);
    }
    for (QWidget *frame : frames)
        frame->lower();
    return controls;
}

QFont courierFont()
{
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setPointSizeF(8.25);
    return courier;
}

void setClientSize(QWidget *window, int widthTwips, int heightTwips)
{
    window->resize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

void setTabOrder(const Controls &controls, std::initializer_list<const char *> names)
{
    QWidget *previous = nullptr;
    for (const char *name : names) {
        auto *w = controls.get<QWidget>(QString::fromLatin1(name));
        if (previous)
            QWidget::setTabOrder(previous, w);
        else
            w->setFocus(Qt::OtherFocusReason);
        previous = w;
    }
}

} // namespace form
