#include "app/main_window.h"
#include "auth/auth_window.h"
#include "tests/support/test_services.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

// ESC "K", 37 columns, one byte per column: 41 bytes.
const QString kLogo = QStringLiteral("1b4b2500fe008200c600fe00c6008200c200fe00c2008200"
                                     "9e20d2209e008200fa048204fa008200fe");
const QString kSample = QStringLiteral(" BBB 123 27012030 R$2.345,98");

QAbstractButton *button(QWidget &w, const QString &name)
{
    return w.findChild<QAbstractButton *>(name);
}

// Delivered through the window system, where a modal dialog can hold the click back.
void clickAsUser(QAbstractButton *b)
{
    QTest::mouseClick(
        b->window()->windowHandle(), Qt::LeftButton, {}, b->mapTo(b->window(), b->rect().center()));
}

// "TXI 888 1b7e31, Sleep 1, Estado 888, ..."; Sleep has no port, so its milliseconds go there.
QString trace(const RecordingLink &link)
{
    QStringList out;
    for (const auto &c : link.calls)
        out << (c.name + ' ' + QString::number(c.port + c.milliseconds) + ' ' + c.bytes.toHex())
                   .trimmed();
    return out.join(QStringLiteral(", "));
}

} // namespace

class TstAuthWindow : public QObject
{
    Q_OBJECT
private slots:
    void printsTheLine_data();
    void printsTheLine();
    void monitoredWaitEnds_data();
    void monitoredWaitEnds();
};

using Script = QList<int16_t>;

void TstAuthWindow::printsTheLine_data()
{
    QTest::addColumn<int>("command"); // Command1 simple, Command2 double, Command3 monitored
    QTest::addColumn<int>("porta");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Script>("script"); // what the link answers in turn: status reads or TX
    QTest::addColumn<int>("failingRead"); // 0: none
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QStringList>("messages");
    const QStringList refused {QStringLiteral("Houve um problema na execução do comando")};
    const QStringList serial {
        QStringLiteral("Essa função só funciona com as portas paralelas LPT1 ou LPT2")};
    // normal
    QTest::newRow("simple, AB: 45 bytes")
        << 1 << 888 << "AB" << Script {0} << 0 << "TX 888 1b56" + kLogo + "4142" << QStringList();
    QTest::newRow("double, AB: byte 2 differs")
        << 2 << 632 << "AB" << Script {7} << 0 << "TX 632 1b58" + kLogo + "4142" << QStringList();
    QTest::newRow("monitored, document already in: five calls")
        << 3 << 888 << "AB" << Script {0x10} << 0
        << "TXI 888 1b7e31, Sleep 1, Estado 888, TXI 888 4142, TXI 888 1b7e30" << QStringList();
    QTest::newRow("monitored, line and port read after the wait, accents as single bytes")
        << 3 << 888 << "AB" << Script {0x00, 0xEF, 0x08, 0xD8} << 0
        << "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 632, Estado 632, "
           "TXI 632 61e7fa636172, TXI 632 1b7e30"
        << QStringList();
    // bad input
    QTest::newRow("simple, refused on COM1")
        << 1 << 1 << "AB" << Script {-1} << 0 << "TX 1 1b56" + kLogo + "4142" << refused;
    QTest::newRow("double, accents, refused on COM2")
        << 2 << 2 << "çãé" << Script {-32768} << 0 << "TX 2 1b58" + kLogo + "e7e3e9" << refused;
    QTest::newRow("monitored on COM1") << 3 << 1 << "AB" << Script {0x10} << 0 << "" << serial;
    QTest::newRow("monitored on COM2") << 3 << 2 << "AB" << Script {0x10} << 0 << "" << serial;
    QTest::newRow("monitored, third read fails")
        << 3 << 888 << "AB" << Script {0} << 3
        << "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 632, TXI 632 1b7e30"
        << QStringList {QStringLiteral("Não foi possível ler o estado da impressora: Dispositivo "
                                       "ausente\nA autenticação não foi impressa.")};
}

// After the second status read the operator types "açúcar" and picks LPT2: whatever goes out
// after it must show both.
void TstAuthWindow::printsTheLine()
{
    QFETCH(int, command);
    QFETCH(int, porta);
    QFETCH(QString, text);
    QFETCH(Script, script);
    QFETCH(int, failingRead);
    QFETCH(QString, calls);
    QFETCH(QStringList, messages);
    TestServices t;
    t.link.statuses = t.link.txResults = script;
    AuthWindow w(t.services(), [&porta] { return porta; });
    auto *field = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
    field->clear();
    for (const QChar ch : text) // typed, since keyClicks() cannot type accented letters
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    t.link.onCall = [&](const RecordingLink::Call &c) {
        const auto reads = t.link.only(QStringLiteral("Estado")).size();
        if (reads == failingRead - 1)
            t.link.estadoError = QStringLiteral("Dispositivo ausente");
        if (reads == 2 && c.name == QLatin1String("Estado")) {
            w.setText(QStringLiteral("açúcar"));
            porta = 632;
        }
        if (reads > 1000) { // a wait that never ends: end it, and fail below
            t.link.estadoError.clear();
            t.link.statuses = {0x10};
        }
    };
    QTest::mouseClick(button(w, QStringLiteral("Command%1").arg(command)), Qt::LeftButton);
    QCOMPARE(trace(t.link), calls);
    QCOMPARE(t.messages.texts, messages);
}

void TstAuthWindow::monitoredWaitEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("dialogDelay");
    QTest::addColumn<QString>("journal");
    const QString in = QStringLiteral("TXI 1b7e31, Sleep, Estado, Estado, TXI 4142, TXI 1b7e30");
    const QString cancelled = QStringLiteral("TXI 1b7e31, Sleep, Estado, TXI 1b7e30");
    QTest::newRow("document in before the dialog shows") << "insert" << 60000 << in;
    QTest::newRow("document in with the dialog up") << "insert" << 0 << in;
    QTest::newRow("Cancelar") << "Cancelar" << 0 << cancelled;
    QTest::newRow("Aut closed by its frame") << "Aut" << 0 << cancelled;
    QTest::newRow("main window closed") << "Form1" << 0 << cancelled;
}

// On the built-in printer. Every window of the program is held back but the printer's, where the
// document goes in; a cancelled wait sends no line, only the end of the monitored mode.
void TstAuthWindow::monitoredWaitEnds()
{
    QFETCH(QString, how);
    QFETCH(int, dialogDelay);
    QFETCH(QString, journal);
    TestServices t;
    VirtualPrinter printer;
    VirtualPrinterWindow printerWindow(printer, t.messages);
    printerWindow.show();
    Services services = t.services();
    services.link = &printer;
    MainWindow main(services);
    main.show();
    QTest::mouseClick(button(main, "Command3"), Qt::LeftButton); // "Autenticação"
    auto *aut = main.findChild<AuthWindow *>(QStringLiteral("Aut"));
    QCOMPARE(aut->text(), kSample);
    grabToPng(aut, QStringLiteral("Aut"));
    aut->setWaitDialogDelay(std::chrono::milliseconds(dialogDelay));
    aut->setText(QStringLiteral("AB"));
    printer.clearJournal();
    QTimer::singleShot(30ms, &printerWindow, [&] { // served by the wait's event loop
        clickAsUser(button(*aut, "Command1"));
        clickAsUser(button(main, "Command6"));
        auto *dialog = aut->findChild<QDialog *>(QStringLiteral("Aguardando"));
        QCOMPARE(bool(dialog), dialogDelay == 0);
        if (dialog) {
            QCOMPARE(
                dialog->findChild<QLabel *>()->text(), QStringLiteral("Aguardando o documento..."));
            grabToPng(dialog, QStringLiteral("Aguardando"));
        }
        if (how == QLatin1String("insert"))
            clickAsUser(button(printerWindow, "inserirDocumento"));
        else if (how == QLatin1String("Cancelar"))
            clickAsUser(button(*dialog, "Cancelar"));
        else
            (how == QLatin1String("Aut") ? static_cast<QWidget *>(aut) : &main)->close();
    });
    QTimer::singleShot(5s, aut, [&] {
        aut->cancelWait();
        QFAIL("The wait did not end.");
    });
    QTest::mouseClick(button(*aut, "Command3"), Qt::LeftButton);
    QStringList calls;
    for (const JournalEntry &e : printer.journal())
        calls << (callName(e.call) + ' ' + e.bytes.toHex()).trimmed();
    QCOMPARE(calls.join(QStringLiteral(", ")), journal);
    QVERIFY(t.messages.texts.isEmpty());
    QVERIFY(!aut->findChild<QDialog *>(QStringLiteral("Aguardando")));
    // Closed by "Fechar" or by its frame, the window comes back with the sample line.
    QTest::mouseClick(button(*aut, "Command4"), Qt::LeftButton);
    QVERIFY(aut->isHidden());
    QTest::mouseClick(button(main, "Command3"), Qt::LeftButton);
    QCOMPARE(aut->text(), kSample);
}

QTEST_MAIN(TstAuthWindow)
#include "tst_auth_window.moc"
