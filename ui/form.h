#pragma once

#include <QHash>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <span>

// Fixed window layouts built from a table that reads like the layout it draws.
namespace form {

[[nodiscard]] int twipsToPixels(int twips);
[[nodiscard]] QRect twipsToPixels(const QRect &twips);
[[nodiscard]] QPoint twipsToPixels(const QPoint &twips);

enum class Kind {
    Label,
    BorderedLabel,
    Button,
    LineEdit, // one line, refuses characters cp1252 cannot hold
    TextEdit, // several lines, CR LF line breaks, vertical scroll bar
    Frame,
    Option,
    Picture,
};

// A frame as these layouts draw it: an etched box with its caption in the top edge. Cheaper
// to show than a group box, whose style loads images on first paint.
class FrameBox : public QWidget
{
    Q_OBJECT
public:
    FrameBox(const QString &caption, QWidget *parent);
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};

struct Control
{
    Kind kind;
    const char *name;
    const char *caption; // UTF-8; the content for fields
    QRect twips; // left, top, width, height, relative to the container
    const char *container = nullptr; // object name of a frame; null for the window
};

// The controls of one window by object name. Windows take theirs once, in the constructor: a
// name that is misspelt or names a control of another kind stops the program at start-up, in
// every build.
class Controls
{
public:
    void add(QWidget *w) { m_byName.insert(w->objectName(), w); }
    template <class T> [[nodiscard]] T *get(const QString &name) const
    {
        auto *w = qobject_cast<T *>(m_byName.value(name));
        if (!w) {
            qFatal("form::Controls::get: the window has no %s named \"%s\"",
                T::staticMetaObject.className(), qPrintable(name));
        }
        return w;
    }

private:
    QHash<QString, QWidget *> m_byName;
};

// Creates the controls of `table` on `window`. Frames lie behind the controls drawn over them.
[[nodiscard]] Controls build(QWidget *window, std::span<const Control> table);
void setClientSize(QWidget *window, int widthTwips, int heightTwips);
// Courier New 8.25 pt, or the system's fixed font where it is missing: the multi-line fields.
[[nodiscard]] QFont courierFont();
// Focus order by object name; the first one gets the initial focus.
void setTabOrder(const Controls &controls, std::initializer_list<const char *> names);

} // namespace form
