#include "app/main_window.h"
#include "auth/auth_window.h"
#include "check/check_window.h"
#include "layout/layout_editor.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"
#include "ui/form.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <memory>

// Every caption of every window table fits its control, in the control's own font and with
// the style's margins; and the controls stand where their table puts them.
class TstCaptions : public QObject
{
    Q_OBJECT
private slots:
    void captionsFit_data();
    void captionsFit();
};

namespace {

struct Window
{
    std::unique_ptr<QWidget> widget;
    std::span<const form::Control> table;
};

// Width and height the caption needs; a wrapped label needs its lines' height at its width.
QSize needed(QWidget *w)
{
    if (auto *button = qobject_cast<QPushButton *>(w)) {
        // The style's margins around the text. Its minimum width for a button with a caption
        // (Fusion: 80 pixels) is not a margin: measured with the caption left out.
        QStyleOptionButton option;
        option.initFrom(button);
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QFontMetrics fm = button->fontMetrics();
        const QSize text = fm.size(Qt::TextShowMnemonic, button->text());
        return button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button);
    }
    if (auto *label = qobject_cast<QLabel *>(w); label && label->wordWrap())
        return QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()));
    if (qobject_cast<QLabel *>(w))
        return w->sizeHint();
    return w->minimumSizeHint(); // frames and options
}

} // namespace

void TstCaptions::captionsFit_data()
{
    QTest::addColumn<QString>("window");
    for (const char *name : {"Form1", "Aut", "Cheque", "Cupom", "Formato"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TstCaptions::captionsFit()
{
    QFETCH(QString, window);
    TestServices t;
    const Services s = t.services();
    const PortaSource porta = [] { return 888; };
    Window w;
    if (window == QLatin1String("Form1"))
        w = {std::make_unique<MainWindow>(s), MainWindow::table()};
    else if (window == QLatin1String("Aut"))
        w = {std::make_unique<AuthWindow>(s, porta), AuthWindow::table()};
    else if (window == QLatin1String("Cheque"))
        w = {std::make_unique<CheckWindow>(s, porta), CheckWindow::table()};
    else if (window == QLatin1String("Cupom"))
        w = {std::make_unique<TextWindow>(s, porta), TextWindow::table()};
    else
        w = {std::make_unique<LayoutEditor>(s, [] { return LayoutSource {}; }),
            LayoutEditor::table()};

    QStringList cut;
    for (const form::Control &c : w.table) {
        auto *control = w.widget->findChild<QWidget *>(QString::fromLatin1(c.name));
        QVERIFY2(control, c.name);
        QCOMPARE(control->geometry(), form::twipsToPixels(c.twips));
        const bool captioned = c.kind == form::Kind::Label || c.kind == form::Kind::BorderedLabel
            || c.kind == form::Kind::Button || c.kind == form::Kind::Option
            || c.kind == form::Kind::Frame;
        if (!captioned || !*c.caption)
            continue;
        const QSize need = needed(control);
        // Buttons and options centre one line in their height: only their width is at stake.
        const bool tall = need.height() > control->height()
            && (c.kind == form::Kind::Label || c.kind == form::Kind::BorderedLabel);
        if (need.width() > control->width() || tall) {
            cut << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                       .arg(QLatin1String(c.name), QString::fromUtf8(c.caption))
                       .arg(need.width())
                       .arg(need.height())
                       .arg(control->width())
                       .arg(control->height());
        }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    grabToPng(w.widget.get(), QStringLiteral("captions_") + window);
}

QTEST_MAIN(TstCaptions)
#include "tst_captions.moc"
