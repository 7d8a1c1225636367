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
// A frame's caption stands this far in from its left edge, with this much room on each side.
constexpr int kCaptionIndent = 6;
constexpr int kCaptionPadding = 2;
} // namespace

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

QSize FrameBox::minimumSizeHint() const
{
    // The caption with its room, and as much again to the right edge as to the left.
    const QFontMetrics fm = fontMetrics();
    return QSize(2 * kCaptionIndent + 2 * kCaptionPadding + fm.horizontalAdvance(m_caption),
        fm.height() + 2);
}

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
    const QRect text(
        kCaptionIndent, 0, fm.horizontalAdvance(m_caption) + 2 * kCaptionPadding, fm.height());
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

QFont interfaceFont()
{
    // DejaVu Sans is on every Debian desktop (fonts-dejavu-core); the desktop's own font
    // (Cantarell, Noto Sans...) would make every caption a different width. The layouts were
    // drawn for an 8-point font narrower than DejaVu Sans: at 7.5 pt and semi-condensed (its
    // condensed cut where fonts-dejavu-extra is installed, narrowed by Qt elsewhere) every
    // caption fits its control with room to spare.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(7.5);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

} // namespace

Controls build(QWidget *window, std::span<const Control> table)
{
    window->setFont(interfaceFont());

    Controls controls;
    QVector<QWidget *> frames;
    for (const Control &c : table) {
        QWidget *parent
            = c.container ? controls.get<QWidget>(QString::fromLatin1(c.container)) : window;
        QWidget *w = create(c, parent);
        w->setObjectName(QString::fromLatin1(c.name));
        w->setGeometry(twipsToPixels(c.twips));
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
