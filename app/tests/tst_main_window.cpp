#include "app/main_window.h"
#include "app/options.h"
#include "app/shell.h"
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
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

using namespace std::chrono_literals;
using Script = QList<int16_t>;

namespace {

const QString kSample = QStringLiteral(" BBB 123 27012030 R$2.345,98");

// Delivered through the window system, where a modal dialog can hold the click back.
void clickAsUser(QWidget &window, const char *name)
{
    auto *b = window.findChild<QAbstractButton *>(QLatin1String(name));
    QTest::mouseClick(
        b->window()->windowHandle(), Qt::LeftButton, {}, b->mapTo(b->window(), b->rect().center()));
}

QWidget *printerWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("ImpressoraVirtual") && w->isVisible())
            return w;
    }
    return nullptr;
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
        const QString serial = "Mude a Porta da Impressora para Paralela LPT1 ou LPT2";
        const QString failed = "Não foi possível carregar a biblioteca da impressora";
        // the status panel, bit 7 first
        row("busy and on line", Script {144}, "", "Estado 888", "10010000", "");
        row("above bit 7 ignored", Script {511}, "", "Estado 888", "11111111", "");
        row("bit 0 only", Script {1}, "", "Estado 888", "00000001", "");
        row("negative", Script {-1}, "", "Estado 888", "11111111", "");
        // the ports
        row("LPT2 refreshes the panel, Ler reads it", Script {144, 255}, "Option2 Command1",
            "Estado 888, Estado 632, Estado 632", "11111111", "");
        row("COM1 keeps the panel, refuses Ler, opens the drawer", Script {144, 0},
            "Option3 Command1 Command6", "Estado 888, TX 1 1b6f", "10010000", serial);
        row("COM2 test line, LPT1 again", Script {144, 0}, "Option4 type=AB Command2 Option1",
            "Estado 888, TX 2 41420a, Estado 888", "00000000", "");
        // the test line and the drawer
        row("empty test line", Script {0}, "type= Command2", "Estado 888, TX 888 0a", "00000000",
            "");
        row("accents; what cp1252 cannot hold refused as typed", Script {5}, "type=aç€λ Command2",
            "Estado 888, TX 888 61e7800a", "00000101", "");
        row("test line refused", Script {-32768}, "type=A Command2", "Estado 888, TX 888 410a",
            "00000000", kFailed);
        row("drawer on LPT2", Script {0}, "Option2 Command6", "Estado 888, Estado 632, TX 632 1b6f",
            "00000000", "");
        row("drawer refused on COM1", Script {-1}, "Option3 Command6", "Estado 888, TX 1 1b6f",
            "11111111", kFailed);
        // a status read that fails: one message each time, the panel as it was, the window usable
        row("fails at start-up", Script {0}, "fail Command1 type=A Command2",
            "Estado 888, Estado 888, TX 888 410a", "", failed + "|" + failed);
        row("fails later", Script {144}, "Command1 fail Command1 Option2",
            "Estado 888, Estado 888, Estado 888, Estado 632", "10010000", failed + "|" + failed);
    }

    void followsTheOperator()
    {
        auto [script, steps, trace, panel, messages]
            = fetch<Script, QString, QString, QString, QString>();
        TestServices t;
        t.link.statuses = t.link.txResults = script;
        QStringList todo = steps.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (; !todo.isEmpty() && todo.first() == QLatin1String("fail"); todo.removeFirst())
            t.link.estadoError = "Não foi possível carregar a biblioteca da impressora";
        MainWindow w(t.services());
        QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
        auto *line = w.findChild<QLineEdit *>(QStringLiteral("Text2"));
        QCOMPARE(line->text(), QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVXWYZ"));
        for (const QString &step : todo) {
            if (step == QLatin1String("fail"))
                t.link.estadoError = "Não foi possível carregar a biblioteca da impressora";
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
        writeFile(QDir(t.dir.path()), "Dados_cheque.txt", "237\r\n");
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
        QCOMPARE(check->findChild<QLineEdit *>("Text1")->text(), QStringLiteral("237"));
        QCOMPARE(check->findChild<QLineEdit *>("Text4")->text(), QStringLiteral("19/12/2007"));
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
        QCOMPARE(aut->text(), kSample);
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

    void choosesTheBackend_data()
    {
        // Columns: printer, path, panel, message.
        // path: of the library, or the device of LPT1; panel: the status read at start-up
        columns<int, QString, QString, QString>();
        using P = Options::Printer;
        row("virtual", int(P::Virtual), "", "11011000", "");
        row("library", int(P::Library), FAKE_LIBRARY, "10010000", "");
        row("library missing", int(P::Library), "/nonexistent/libVorel_Dll.so", "",
            "/nonexistent/libVorel_Dll.so");
        row("ports", int(P::Ports), "/dev/null", "",
            "Não foi possível ler o estado da impressora em /dev/null: o dispositivo não é uma "
            "porta de impressora.");
    }

    // Only the virtual printer opens its window, beside the main window, with the status read
    // of the start-up already in its journal; the ports tell their devices.
    void choosesTheBackend()
    {
        auto [printer, path, panel, message] = fetch<int, QString, QString, QString>();
        Options options;
        options.printer = Options::Printer(printer);
        options.libraryPath = options.ports.lpt1 = path;
        options.given = {settings::Key::Backend, settings::Key::Library, settings::Key::Lpt1};
        RecordingMessages messages;
        Shell shell {options, messages};
        shell.show();
        MainWindow &main = shell.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // Start-up messages show once the main window is up.
        QTRY_COMPARE(messages.texts.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(messages.texts.join(QString()).contains(message),
            qPrintable(messages.texts.join(QString())));
        QCOMPARE(statusBits(main), panel);
        if (printer == int(Options::Printer::Ports)) {
            const auto tip = [&main](const char *name) {
                return main.findChild<QRadioButton *>(QLatin1String(name))->toolTip();
            };
            QCOMPARE(tip("Option1"), path);
            QVERIFY2(tip("Option3").startsWith("/dev/ttyS0 (9600 bps, 8N1, "),
                qPrintable(tip("Option3")));
        }
        QTRY_COMPARE(bool(printerWindow()), printer == int(Options::Printer::Virtual));
        if (!printerWindow())
            return;
        auto *journal = printerWindow()->findChild<QTableView *>(QStringLiteral("journal"));
        QCOMPARE(journal->model()->rowCount(), 1);
        QCOMPARE(journal->model()->index(0, 1).data().toString(), QStringLiteral("Estado"));
        QVERIFY(main.screen()->availableGeometry().contains(printerWindow()->frameGeometry()));
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
