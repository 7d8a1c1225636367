#include "app/main_window.h"
#include "auth/auth_window.h"
#include "check/check_window.h"
#include "printer_link/port_settings.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

const QString kSample = QStringLiteral(" BBB 123 27012030 R$2.345,98");

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
    void startsOnLpt1WithTheStatusRead_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("shown"); // bit 7 first
        row("busy and on line", 144, QStringLiteral("10010000"));
        row("above bit 7 ignored", 511, QStringLiteral("11111111"));
        row("bit 0 only", 1, QStringLiteral("00000001"));
        row("negative", -1, QStringLiteral("11111111"));
    }

    void startsOnLpt1WithTheStatusRead()
    {
        QFETCH(int, status);
        QFETCH(QString, shown);
        TestServices t;
        t.link.statuses = {int16_t(status)};
        MainWindow w(t.services());
        QCOMPARE(w.Porta, 888);
        QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
        QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("Text2"))->text(),
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVXWYZ"));
        QCOMPARE(t.link.names(), QStringList {QStringLiteral("Estado")});
        QCOMPARE(t.link.calls.first().port, int16_t(888));
        QCOMPARE(statusBits(w), shown);
        QVERIFY(t.messages.texts.isEmpty());
        if (status != 144)
            return;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.focusWidget(), w.findChild<QWidget *>(QStringLiteral("Command1")));
        grabToPng(&w, QStringLiteral("Form1"));
    }

    void portOptions_data()
    {
        columns<QString, int, bool>({"option", "porta", "parallel"});
        row("LPT2", QStringLiteral("Option2"), 632, true);
        row("COM1", QStringLiteral("Option3"), 1, false);
        row("COM2", QStringLiteral("Option4"), 2, false);
    }

    void portOptions()
    {
        auto [option, porta, parallel] = fetch<QString, int, bool>({"option", "porta", "parallel"});
        TestServices t;
        t.link.statuses = {144, 0xFF};
        MainWindow w(t.services());
        t.link.calls.clear();
        click(w, option);
        QCOMPARE(w.Porta, porta);
        // A parallel port refreshes the panel; a serial one leaves it as it was.
        QCOMPARE(t.link.calls.size(), parallel ? 1 : 0);
        QCOMPARE(statusBits(w), parallel ? QStringLiteral("11111111") : QStringLiteral("10010000"));
        click(w, QStringLiteral("Command1"));
        QCOMPARE(t.link.calls.size(), parallel ? 2 : 0);
        if (parallel)
            QCOMPARE(t.link.calls.last().port, int16_t(632));
        QCOMPARE(t.messages.texts,
            parallel ? QStringList()
                     : QStringList {"Mude a Porta da Impressora para Paralela LPT1 ou LPT2"});
        click(w, QStringLiteral("Option1"));
        QCOMPARE(w.Porta, 888);
        QCOMPARE(t.link.calls.last().port, int16_t(888));
    }

    void sendsAndReportsRefusal_data()
    {
        // button: Command2 the test line, Command6 the drawer
        columns<QString, QString, QString, int, QString, int, QByteArray, QString>(
            {"option", "button", "text", "result", "error", "port", "bytes", "message"});
        const QByteArray drawer = QByteArray::fromHex("1b6f");
        row("out COM2 AB", "Option4", "Command2", "AB", 0, "", 2, QByteArray::fromHex("41420a"),
            "");
        row("out empty", "Option4", "Command2", "", 0, "", 2, QByteArray::fromHex("0a"), "");
        row("out accents", "Option1", "Command2", "çã", 5, "", 888, QByteArray::fromHex("e7e30a"),
            "");
        row("out refused", "Option1", "Command2", "A", -32768, "", 888, QByteArray::fromHex("410a"),
            kFailed);
        row("drawer LPT2", "Option2", "Command6", "", 0, "", 632, drawer, "");
        row("drawer refused", "Option3", "Command6", "", -1, "", 1, drawer, kFailed);
        row("library missing", "Option2", "Command6", "", 0, "Biblioteca ausente", 632, drawer,
            "Biblioteca ausente");
    }

    void sendsAndReportsRefusal()
    {
        auto [option, button, text, result, error, port, bytes, message]
            = fetch<QString, QString, QString, int, QString, int, QByteArray, QString>(
                {"option", "button", "text", "result", "error", "port", "bytes", "message"});
        TestServices t;
        MainWindow w(t.services());
        click(w, option);
        w.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(text);
        t.link.txResults = {int16_t(result)};
        t.link.txError = error;
        t.link.calls.clear();
        click(w, button);
        QCOMPARE(t.link.names(), QStringList {QStringLiteral("TX")});
        QCOMPARE(t.link.calls.first().port, int16_t(port));
        QCOMPARE(t.link.calls.first().bytes, bytes);
        QCOMPARE(t.messages.texts, message.isEmpty() ? QStringList() : QStringList {message});
    }

    void failedStatusRead_data()
    {
        QTest::addColumn<QString>("control"); // empty: at start-up
        QTest::addColumn<QString>("panel");
        row("at start-up the panel stays empty", QString(), QString());
        row("Ler keeps the panel", QStringLiteral("Command1"), QStringLiteral("10010000"));
        row("LPT2 keeps the panel", QStringLiteral("Option2"), QStringLiteral("10010000"));
    }

    void failedStatusRead()
    {
        QFETCH(QString, control);
        QFETCH(QString, panel);
        const QString error
            = QStringLiteral("Não foi possível carregar a biblioteca da impressora");
        TestServices t;
        t.link.statuses = {144};
        t.link.estadoError = control.isEmpty() ? error : QString();
        MainWindow w(t.services());
        t.link.estadoError = error;
        if (!control.isEmpty())
            click(w, control);
        QCOMPARE(t.messages.texts, QStringList {error});
        QCOMPARE(statusBits(w), panel);
        // The window stays usable, and each action gives one message.
        click(w, QStringLiteral("Command1"));
        QCOMPARE(t.messages.texts.size(), 2);
        click(w, QStringLiteral("Command2"));
        QCOMPARE(t.link.names().last(), QStringLiteral("TX"));
    }

    void portOptionsTellTheirDevice()
    {
        TestServices t;
        MainWindow w(t.services());
        w.describePorts(port_settings::describe({.lpt2 = "/dev/usb/lp0", .com1 = "/dev/ttyUSB0"}));
        const auto tip = [&w](const char *name) {
            return w.findChild<QRadioButton *>(QString::fromLatin1(name))->toolTip();
        };
        QCOMPARE(tip("Option1"), QStringLiteral("/dev/lp0"));
        QCOMPARE(tip("Option2"), QStringLiteral("/dev/usb/lp0"));
        QVERIFY2(tip("Option3").startsWith(QStringLiteral("/dev/ttyUSB0 (9600 bps, 8N1, ")),
            qPrintable(tip("Option3")));
    }

    void text2RefusesWhatCp1252CannotHold()
    {
        TestServices t;
        MainWindow w(t.services());
        auto *text2 = w.findChild<QLineEdit *>(QStringLiteral("Text2"));
        text2->clear();
        text2->setFocus();
        type(text2, QStringLiteral("aç€λ"));
        QCOMPARE(text2->text(), QStringLiteral("aç€"));
    }

    // Each work window opens from its button, as one window however often it is pressed.
    void opensTheWorkWindows()
    {
        TestServices t;
        writeFile(QDir(t.dir.path()), "Dados_cheque.txt", "237\r\n");
        MainWindow w(t.services());
        QVERIFY(activate(w));
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

        QVERIFY(activate(w));
        click(w, QStringLiteral("Command4"));
        auto *check = w.findChild<CheckWindow *>(QStringLiteral("Cheque"));
        QVERIFY(check && activate(*check));
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
        columns<QString, int, QString>({"how", "dialogDelay", "journal"});
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
        auto [how, dialogDelay, journal]
            = fetch<QString, int, QString>({"how", "dialogDelay", "journal"});
        TestServices t;
        VirtualPrinter printer;
        VirtualPrinterWindow printerWindow(printer, t.messages);
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
        QTimer::singleShot(30ms, &printerWindow, [&] { // served by the wait's event loop
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
};

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
