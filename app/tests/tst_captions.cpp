#include "app/main_window.h"
#include "auth/auth_window.h"
#include "check/check_window.h"
#include "layout/layout_editor.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"
#include "ui/form.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

// Every caption of every window table fits its control, in the control's own font and with the
// style's margins, and every control stands where its table puts it.
class TstCaptions : public QObject
{
    Q_OBJECT
private slots:
    void captionsFit_data();
    void captionsFit();
};

namespace {

// The size the caption needs; a wrapped label, the height of its lines at its width.
QSize needed(QWidget *w)
{
    if (auto *button = qobject_cast<QPushButton *>(w)) {
        // Measured without the caption itself: the style's least width for a button with one
        // (80 pixels in Fusion) is no margin.
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        return button->style()->sizeFromContents(QStyle::CT_PushButton, &option, text, button);
    }
    auto *label = qobject_cast<QLabel *>(w);
    if (label && label->wordWrap())
        return QSize(label->minimumSizeHint().width(), label->heightForWidth(label->width()));
    return label ? label->sizeHint() : w->minimumSizeHint(); // frames and options
}

} // namespace

void TstCaptions::captionsFit_data()
{
    QTest::addColumn<int>("window");
    int i = 0;
    for (const char *name : {"Form1", "Aut", "Cheque", "Cupom", "Formato"})
        QTest::newRow(name) << i++;
}

void TstCaptions::captionsFit()
{
    QFETCH(int, window);
    TestServices t;
    const Services s = t.services();
    const PortaSource porta = [] { return 888; };
    const std::pair<std::unique_ptr<QWidget>, std::span<const form::Control>> built[] = {
        {std::make_unique<MainWindow>(s), MainWindow::table()},
        {std::make_unique<AuthWindow>(s, porta), AuthWindow::table()},
        {std::make_unique<CheckWindow>(s, porta), CheckWindow::table()},
        {std::make_unique<TextWindow>(s, porta), TextWindow::table()},
        {std::make_unique<LayoutEditor>(s, [] { return LayoutSource {}; }), LayoutEditor::table()},
    };
    const auto &[widget, table] = built[window];

    QStringList cut;
    for (const form::Control &c : table) {
        auto *control = widget->findChild<QWidget *>(QString::fromLatin1(c.name));
        QVERIFY2(control, c.name);
        QCOMPARE(control->geometry(), form::twipsToPixels(c.twips));
        if (!*c.caption)
            continue;
        const QSize need = needed(control);
        // Buttons and options centre one line in their height: only their width is at stake.
        const bool tall = qobject_cast<QLabel *>(control) && need.height() > control->height();
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
}

QTEST_MAIN(TstCaptions)
#include "tst_captions.moc"
