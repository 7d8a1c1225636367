#include "app/main_window.h"
#include "app/qt_texts.h"
#include "auth/auth_window.h"
#include "check/check_window.h"
#include "layout/layout_editor.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"
#include "ui/form.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTranslator>

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

// What the operator reads: every caption of every window table fits its control, in the
// control's own font and with the style's margins, where its table puts it; and every text is
// in Portuguese.
class TstCaptions : public QObject
{
    Q_OBJECT
private slots:
    void captionsFit_data()
    {
        QTest::addColumn<int>("window");
        int i = 0;
        for (const char *name : {"Form1", "Aut", "Cheque", "Cupom", "Formato"})
            QTest::newRow(name) << i++;
    }

    void captionsFit()
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
            {std::make_unique<LayoutEditor>(s, [] { return LayoutSource {}; }),
                LayoutEditor::table()},
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
            if (need.width() > control->width() || tall)
                QDebug(&cut.emplace_back())
                    << c.name << c.caption << "needs" << need << "has" << control->size();
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    void commandLineIsPortuguese_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");
        row("help, LANG=C", "C", QStringList {"--help"}, 0, "Uso: vorel-demo [opções]");
        row("missing value, LANG=en_US", "en_US.UTF-8", QStringList {"--printer"}, 2,
            "Faltando valor após '--printer'");
        // %dir: a folder with diario.txt, a journal of one authentication, and ruim.txt, the same
        // cut short in its last line. A run that fails leaves no %dir/saida.
        row("render", "C", QStringList {"--render", "%dir/diario.txt", "--to", "%dir/saida"}, 0,
            "1 impresso de 2 chamadas gravado em %dir/saida");
        row("render a damaged journal", "C",
            QStringList {"--render", "%dir/ruim.txt", "--to", "%dir/saida", "--format", "pdf"}, 2,
            "%dir/ruim.txt não é um diário: linha 4: faltam colunas");
        row("replay a damaged journal", "C",
            QStringList {"--replay", "%dir/ruim.txt", "--printer", "library"}, 2,
            "%dir/ruim.txt não é um diário: linha 4: faltam colunas");
    }

    // The program itself, with no display at all.
    void commandLineIsPortuguese()
    {
        QFETCH(QString, lang);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expected);
        const QTemporaryDir dir;
        const QByteArray good = "# vorel-demo diário da impressora, versão 2\n"
                                "2007-12-19T10:00:00.000\tEstado\tLPT1\t\t216\t\t\n"
                                "2007-12-19T10:00:01.000\tTX\tLPT1\t5\t0\t1B 56 41 42 43\t\n";
        writeFile(QDir(dir.path()), QStringLiteral("diario.txt"), good);
        writeFile(QDir(dir.path()), QStringLiteral("ruim.txt"), good + "2007-12-19T25:00\n");
        arguments.replaceInStrings(QStringLiteral("%dir"), dir.path());
        expected.replace(QStringLiteral("%dir"), dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name :
            {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), lang);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VOREL_DEMO), arguments);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), status);
        const QString output = QString::fromUtf8(
            status == 0 ? program.readAllStandardOutput() : program.readAllStandardError());
        QVERIFY2(output.contains(expected), qPrintable(output));
        for (const char *english : {"Usage", "Options:", "Missing", "Unknown", "Displays"})
            QVERIFY2(!output.contains(QLatin1String(english)), qPrintable(output));
        const QDir saida(dir.filePath(QStringLiteral("saida")));
        QCOMPARE(saida.entryList(QDir::Files),
            status == 0 && arguments.contains("--render")
                ? QStringList({"impresso-0001.png", "impressos.txt"})
                : QStringList());
    }

    void missingTranslationIsToldOnce()
    {
        QTemporaryDir empty;
        QTranslator translator;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("qtbase_pt_BR.qm")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        QVERIFY(!qt_texts::load(translator, empty.path()));
        QVERIFY(translator.isEmpty());
    }

    // Each line of the status says what its 0 and 1 mean, in the same words in both windows.
    void statusBitsExplainThemselves()
    {
        TestServices t;
        MainWindow main(t.services());
        VirtualPrinter printer;
        VirtualPrinterWindow virtualPrinter(printer, t.messages, t.question);
        for (int n = 0; n < 8; ++n) {
            const QString tip
                = virtualPrinter.findChild<QCheckBox *>(QStringLiteral("bit%1").arg(n))->toolTip();
            QVERIFY2(tip.startsWith(QStringLiteral("Bit %1").arg(n))
                    && tip.contains(QLatin1Char('0')) && tip.contains(QLatin1Char('1')),
                qPrintable(tip));
            QCOMPARE(
                main.findChild<QLabel *>(QStringLiteral("lblDataBit%1").arg(n))->toolTip(), tip);
        }
    }
};

QTEST_MAIN(TstCaptions)
#include "tst_captions.moc"
