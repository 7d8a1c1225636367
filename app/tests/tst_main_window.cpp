#include "app/main_window.h"
#include "auth/auth_window.h"
#include "check/check_window.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace std::chrono_literals;
using Script = QList<int16_t>;

namespace {

const QString kSample = QStringLiteral(" BBB 123 27012030 R$2.345,98");
const QString kNoLibrary = QStringLiteral("Não foi possível carregar a biblioteca da impressora");

// Delivered through the window system, where a modal dialog can hold the click back.
void clickAsUser(QWidget &window, const char *name)
{
    auto *b = window.findChild<QAbstractButton *>(QLatin1String(name));
    QTest::mouseClick(
        b->window()->windowHandle(), Qt::LeftButton, {}, b->mapTo(b->window(), b->rect().center()));
}

} // namespace

class TstMainWindow : public QObject
{
    Q_OBJECT
private slots:
    // Where the virtual printer's window is kept on closing: a file of this run alone.
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }
    void followsTheOperator_data()
    {
        // Columns: script, steps, trace, panel, messages.
        // script: what the link answers in turn, to the status reads and to TX apart
        // steps: controls clicked, "type=..." into the test line, "fail": every status read fails
        // from then on (first: from the start-up)
        // trace: the calls made, the start-up's status read first; messages: "|" between them
        columns<Script, QString, QString, QString, QString>();
        // the status panel, bit 7 first
        row("above bit 7 ignored", Script {511}, "", "Estado 888", "11111111", "");
        // the ports
        row("LPT2 refreshes the panel, Ler reads it", Script {144, 255}, "Option2 Command1",
            "Estado 888, Estado 632, Estado 632", "11111111", "");
        row("COM1 keeps the panel, refuses Ler and the drawer", Script {-1},
            "Option3 Command1 Command6", "Estado 888, TX 1 1b6f", "11111111",
            "Mude a Porta da Impressora para Paralela LPT1 ou LPT2|" + kFailed);
        row("COM2 empty test line, LPT1 again", Script {144, 0}, "Option4 type= Command2 Option1",
            "Estado 888, TX 2 0a, Estado 888", "00000000", "");
        // the test line
        row("accents; what cp1252 cannot hold refused as typed", Script {5}, "type=aç€λ Command2",
            "Estado 888, TX 888 61e7800a", "00000101", "");
        // a status read that fails: one message each time, the panel as it was, the window usable
        row("fails at start-up", Script {0}, "fail Command1 type=A Command2",
            "Estado 888, Estado 888, TX 888 410a", "", kNoLibrary + "|" + kNoLibrary);
        row("fails later", Script {144}, "Command1 fail Command1 Option2",
            "Estado 888, Estado 888, Estado 888, Estado 632", "10010000",
            kNoLibrary + "|" + kNoLibrary);
    }

    void followsTheOperator()
    {
        auto [script, steps, trace, panel, messages]
            = fetch<Script, QString, QString, QString, QString>();
        TestServices t;
        t.link.statuses = t.link.txResults = script;
        if (steps.startsWith(QLatin1String("fail")))
            t.link.estadoError = kNoLibrary;
        MainWindow w(t.services());
        QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
        auto *line = w.findChild<QLineEdit *>(QStringLiteral("Text2"));
        for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("fail"))
                t.link.estadoError = kNoLibrary;
            else if (step.startsWith(QLatin1String("type=")))
                line->clear(), type(line, step.mid(5));
            else
                click(w, step);
        }
        QCOMPARE(t.link.trace(), trace);
        QCOMPARE(statusBits(w), panel);
        QCOMPARE(t.messages.texts.join(QLatin1Char('|')), messages);
    }

    // Each work window opens from its button, as one window however often it is pressed.
    void opensTheWorkWindows()
    {
        TestServices t;
        MainWindow w(t.services());
        QVERIFY(activate(w));
        QCOMPARE(w.focusWidget(), w.findChild<QWidget *>(QStringLiteral("Command1")));
        grabToPng(&w, QStringLiteral("Form1"));
        click(w, QStringLiteral("Command5"));
        auto *cupom = w.findChild<TextWindow *>(QStringLiteral("Cupom"));
        QVERIFY(cupom && cupom->isVisible());
        const QString ruler = cupom->text();
        QCOMPARE(ruler.size(), 838);
        QVERIFY(ruler.startsWith("Linha 1  1         2         3         4\r\nLinha 2 "));
        QVERIFY(ruler.endsWith("4\r\nLinha20  1         2         3         4"));
        grabToPng(cupom, QStringLiteral("Cupom"));
        // The ruler comes back at every press.
        cupom->setText(QStringLiteral("edited"));
        click(*cupom, QStringLiteral("Command2"));
        QVERIFY(!cupom->isVisible());

        // Opened the first time under the main window, but never past the screen's edge.
        const QRect available = w.screen()->availableGeometry();
        w.move(available.left() + 30, available.bottom() - w.frameGeometry().height() - 20);
        QVERIFY(activate(w));
        click(w, QStringLiteral("Command4"));
        auto *check = w.findChild<CheckWindow *>(QStringLiteral("Cheque"));
        QVERIFY(check && activate(*check));
        QVERIFY(available.contains(check->frameGeometry()));
        QCOMPARE(check->frameGeometry().left(), w.frameGeometry().left());
        grabToPng(check, QStringLiteral("Cheque"));
        click(*check, QStringLiteral("Command5"));
        auto *editor = check->findChild<QWidget *>(QStringLiteral("Formato"));
        QVERIFY(editor && activate(*editor));
        grabToPng(editor, QStringLiteral("Formato"));

        for (const char *button : {"Command4", "Command5"}) {
            QVERIFY(activate(w));
            click(w, QLatin1String(button));
        }
        QCOMPARE(w.findChildren<CheckWindow *>().size(), 1);
        QCOMPARE(w.findChildren<TextWindow *>().size(), 1);
        QCOMPARE(cupom->text(), ruler);
    }

    void monitoredWaitEnds_data()
    {
        // Columns: how, dialogDelay, journal.
        columns<QString, int, QString>();
        const QString in = "TXI 1b7e31, Sleep, Estado, Estado, TXI 4142, TXI 1b7e30";
        const QString cancelled = "TXI 1b7e31, Sleep, Estado, TXI 1b7e30";
        row("document in before the dialog shows", "insert", 60000, in);
        row("document in with the dialog up", "insert", 0, in);
        row("Cancelar", "Cancelar", 0, cancelled);
        row("Aut closed by its frame", "Aut", 0, cancelled);
        row("main window closed", "Form1", 0, cancelled);
    }

    // On the built-in printer. Every window of the program is held back but the printer's, where
    // the document goes in; a cancelled wait sends no line, only the end of the monitored mode.
    void monitoredWaitEnds()
    {
        auto [how, dialogDelay, journal] = fetch<QString, int, QString>();
        TestServices t;
        VirtualPrinter printer;
        VirtualPrinterWindow printerWindow(printer, t.messages, t.question);
        printerWindow.show();
        Services services = t.services();
        services.link = &printer;
        MainWindow main(services);
        main.show();
        click(main, "Command3"); // "Autenticação"
        auto *aut = main.findChild<AuthWindow *>(QStringLiteral("Aut"));
        grabToPng(aut, QStringLiteral("Aut"));
        aut->setWaitDialogDelay(std::chrono::milliseconds(dialogDelay));
        aut->setText(QStringLiteral("AB"));
        printer.clearJournal();
        QTimer::singleShot(30ms, &printerWindow, [&, how = how, dialogDelay = dialogDelay] {
            // served by the wait's event loop
            clickAsUser(*aut, "Command1");
            clickAsUser(main, "Command6");
            auto *dialog = aut->findChild<QDialog *>(QStringLiteral("Aguardando"));
            QCOMPARE(bool(dialog), dialogDelay == 0);
            if (dialog) {
                QCOMPARE(dialog->findChild<QLabel *>()->text(),
                    QStringLiteral("Aguardando o documento..."));
                grabToPng(dialog, QStringLiteral("Aguardando"));
            }
            if (how == QLatin1String("insert"))
                clickAsUser(printerWindow, "inserirDocumento");
            else if (how == QLatin1String("Cancelar"))
                clickAsUser(*dialog, "Cancelar");
            else
                (how == QLatin1String("Aut") ? static_cast<QWidget *>(aut) : &main)->close();
        });
        QTimer::singleShot(5s, aut, [&] {
            aut->cancelWait();
            QFAIL("The wait did not end.");
        });
        click(*aut, "Command3");
        QStringList calls;
        for (const JournalEntry &e : printer.journal())
            calls << (callName(e.call) + ' ' + e.bytes.toHex()).trimmed();
        QCOMPARE(calls.join(QStringLiteral(", ")), journal);
        QVERIFY(t.messages.texts.isEmpty());
        QVERIFY(!aut->findChild<QDialog *>(QStringLiteral("Aguardando")));
        // Closed by "Fechar" or by its frame, the window comes back with the sample line.
        click(*aut, "Command4");
        QVERIFY(aut->isHidden());
        click(main, "Command3");
        QCOMPARE(aut->text(), kSample);
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
