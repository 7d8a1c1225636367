#include "app/main_window.h"
#include "auth/auth_commands.h"
#include "auth/auth_window.h"
#include "tests/support/test_services.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

// The logo command: ESC "K", 37 columns, then one byte per column.
const QByteArray kLogo = QByteArray::fromHex("1b4b2500"
                                             "fe008200c600fe00c6008200c200fe00c2008200"
                                             "9e20d2209e008200fa048204fa008200fe");
const QString kStatusFailed = QStringLiteral("Não foi possível ler o estado da impressora: %1\n"
                                             "A autenticação não foi impressa.");

QAbstractButton *button(QWidget &w, const char *name)
{
    return w.findChild<QAbstractButton *>(QString::fromLatin1(name));
}

// Typed one character at a time: accented letters pass through the field as the operator's do.
void type(AuthWindow &w, const QString &text)
{
    auto *field = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
    field->clear();
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// A click as the window system delivers it, so that a modal dialog can hold it back.
void clickAsUser(QAbstractButton *b)
{
    QTest::mouseClick(
        b->window()->windowHandle(), Qt::LeftButton, {}, b->mapTo(b->window(), b->rect().center()));
}

QStringList trace(const RecordingLink &link)
{
    QStringList out;
    for (const auto &c : link.calls) {
        out << (c.name == QLatin1String("Sleep") ? QStringLiteral("Sleep %1").arg(c.milliseconds)
                                                 : QStringLiteral("%1 %2 %3")
                                                       .arg(c.name)
                                                       .arg(c.port)
                                                       .arg(c.bytes.toHex())
                                                       .trimmed());
    }
    return out;
}

QDialog *waitDialog(QWidget &w)
{
    return w.findChild<QDialog *>(QStringLiteral("Aguardando"));
}

} // namespace

class TstAuthWindow : public QObject
{
    Q_OBJECT
private slots:
    void sendsTheAuthenticationInOneTx_data();
    void sendsTheAuthenticationInOneTx();
    void reportsARefusedTx_data();
    void reportsARefusedTx();
    void monitoredWaitsForTheDocument_data();
    void monitoredWaitsForTheDocument();
    void lineAndPortAreReadWhenSent();
    void monitoredRefusesSerialPorts_data();
    void monitoredRefusesSerialPorts();
    void cancelSendsNoLine_data();
    void cancelSendsNoLine();
    void failingStatusReadEndsTheWait_data();
    void failingStatusReadEndsTheWait();
    void dialogShowsOnlyForALongWait_data();
    void dialogShowsOnlyForALongWait();
    void onlyThePrinterWindowTakesClicksDuringTheWait();
    void mainWindowResetsTheField_data();
    void mainWindowResetsTheField();
    void grabsAPicture();
};

void TstAuthWindow::sendsTheAuthenticationInOneTx_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("porta");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("simple, AB: 45 bytes")
        << "Command1" << 888 << "AB"
        << QByteArray::fromHex("1b56"
                               "1b4b2500fe008200c600fe00c6008200c200fe00c2008200"
                               "9e20d2209e008200fa048204fa008200fe"
                               "4142");
    QTest::newRow("double, AB: byte 2 differs")
        << "Command2" << 632 << "AB"
        << QByteArray::fromHex("1b58"
                               "1b4b2500fe008200c600fe00c6008200c200fe00c2008200"
                               "9e20d2209e008200fa048204fa008200fe"
                               "4142");
    QTest::newRow("empty line on COM1: 43 bytes")
        << "Command1" << 1 << "" << QByteArray::fromHex("1b56") + kLogo;
    QTest::newRow("accents on COM2")
        << "Command2" << 2 << "çãé"
        << QByteArray::fromHex("1b58") + kLogo + QByteArray::fromHex("e7e3e9");
}

void TstAuthWindow::sendsTheAuthenticationInOneTx()
{
    QFETCH(QString, command);
    QFETCH(int, porta);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    TestServices t;
    AuthWindow w(t.services(), [porta] { return porta; });
    type(w, text);
    // The logo goes out whole, zero bytes included, the same on every press.
    for (int press = 1; press <= 2; ++press) {
        QTest::mouseClick(button(w, command.toLatin1()), Qt::LeftButton);
        QCOMPARE(t.link.names(), QStringList(press, QStringLiteral("TX")));
        QCOMPARE(t.link.calls.last().port, int16_t(porta));
        QCOMPARE(t.link.calls.last().bytes, bytes);
    }
    QVERIFY(t.messages.texts.isEmpty());
}

void TstAuthWindow::reportsARefusedTx_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Houve um problema na execução do comando");
    QTest::newRow("simple taken") << "Command1" << 3 << ""
                                  << "";
    QTest::newRow("simple refused") << "Command1" << -1 << "" << failed;
    QTest::newRow("double refused") << "Command2" << -32768 << "" << failed;
    QTest::newRow("library missing") << "Command2" << 0 << "Biblioteca ausente"
                                     << "Biblioteca ausente";
}

void TstAuthWindow::reportsARefusedTx()
{
    QFETCH(QString, command);
    QFETCH(int, result);
    QFETCH(QString, error);
    QFETCH(QString, message);
    TestServices t;
    t.link.txResults = {int16_t(result)};
    t.link.txError = error;
    AuthWindow w(t.services(), [] { return 888; });
    QTest::mouseClick(button(w, command.toLatin1()), Qt::LeftButton);
    QCOMPARE(t.messages.texts, message.isEmpty() ? QStringList() : QStringList {message});
}

void TstAuthWindow::monitoredWaitsForTheDocument_data()
{
    QTest::addColumn<int>("porta");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("document already in: five calls")
        << 888 << QList<int> {0x10} << "AB"
        << QStringList {
               "TXI 888 1b7e31", "Sleep 1", "Estado 888", "TXI 888 4142", "TXI 888 1b7e30"};
    QTest::newRow("three reads without it")
        << 632 << QList<int> {0x00, 0xEF, 0x08, 0xD8} << "AB"
        << QStringList {"TXI 632 1b7e31", "Sleep 1", "Estado 632", "Estado 632", "Estado 632",
               "Estado 632", "TXI 632 4142", "TXI 632 1b7e30"};
    QTest::newRow("bits above 7 do not count")
        << 888 << QList<int> {0x7FEF, -1} << ""
        << QStringList {"TXI 888 1b7e31", "Sleep 1", "Estado 888", "Estado 888", "TXI 888",
               "TXI 888 1b7e30"};
    QTest::newRow("accents as single bytes")
        << 888 << QList<int> {0x10} << "çãé"
        << QStringList {
               "TXI 888 1b7e31", "Sleep 1", "Estado 888", "TXI 888 e7e3e9", "TXI 888 1b7e30"};
}

void TstAuthWindow::monitoredWaitsForTheDocument()
{
    QFETCH(int, porta);
    QFETCH(QList<int>, statuses);
    QFETCH(QString, text);
    QFETCH(QStringList, calls);
    TestServices t;
    for (int s : statuses)
        t.link.statuses << int16_t(s);
    AuthWindow w(t.services(), [porta] { return porta; });
    type(w, text);
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link), calls);
    QVERIFY(t.messages.texts.isEmpty());
    QVERIFY(!w.isWaiting());
}

void TstAuthWindow::lineAndPortAreReadWhenSent()
{
    TestServices t;
    t.link.statuses = {0, 0, 0, 0x10};
    int porta = 888;
    AuthWindow w(t.services(), [&porta] { return porta; });
    w.setText(QStringLiteral("antes"));
    t.link.onCall = [&](const RecordingLink::Call &c) {
        if (c.name == QLatin1String("Estado") && t.link.only(c.name).size() == 2) {
            w.setText(QStringLiteral("depois"));
            porta = 632;
        }
    };
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link),
        QStringList({"TXI 888 1b7e31", "Sleep 1", "Estado 888", "Estado 888", "Estado 632",
            "Estado 632", "TXI 632 6465706f6973", "TXI 632 1b7e30"}));
}

void TstAuthWindow::monitoredRefusesSerialPorts_data()
{
    QTest::addColumn<int>("porta");
    QTest::newRow("COM1") << 1;
    QTest::newRow("COM2") << 2;
}

void TstAuthWindow::monitoredRefusesSerialPorts()
{
    QFETCH(int, porta);
    TestServices t;
    AuthWindow w(t.services(), [porta] { return porta; });
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QVERIFY(t.link.calls.isEmpty());
    QCOMPARE(t.messages.texts,
        QStringList {
            QStringLiteral("Essa função só funciona com as portas paralelas LPT1 ou LPT2")});
}

void TstAuthWindow::cancelSendsNoLine_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancelar") << "Cancelar";
    QTest::newRow("Escape in the dialog") << "Escape";
    QTest::newRow("window closed") << "Aut";
    QTest::newRow("main window closed") << "Form1";
}

void TstAuthWindow::cancelSendsNoLine()
{
    QFETCH(QString, how);
    TestServices t;
    t.link.statuses = {0};
    MainWindow main(t.services());
    main.show();
    QTest::mouseClick(button(main, "Command3"), Qt::LeftButton);
    auto *aut = main.findChild<AuthWindow *>(QStringLiteral("Aut"));
    aut->setWaitDialogDelay(0ms);
    t.link.calls.clear();
    t.link.onCall = [&](const RecordingLink::Call &c) {
        if (c.name == QLatin1String("Estado") && t.link.only(c.name).size() > 1000)
            t.link.statuses = {0x10}; // the cancel was lost: end the wait, and fail below
        if (c.name != QLatin1String("Estado") || t.link.only(c.name).size() != 3)
            return;
        QDialog *dialog = waitDialog(*aut);
        QVERIFY(dialog && dialog->isVisible());
        if (how == QLatin1String("Cancelar"))
            QTest::mouseClick(button(*dialog, "Cancelar"), Qt::LeftButton);
        else if (how == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (how == QLatin1String("Aut"))
            aut->close();
        else
            main.close();
    };
    QTest::mouseClick(button(*aut, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link),
        QStringList({"TXI 888 1b7e31", "Sleep 1", "Estado 888", "Estado 888", "Estado 888",
            "TXI 888 1b7e30"}));
    QVERIFY(t.messages.texts.isEmpty());
    QVERIFY(!waitDialog(*aut));
    QVERIFY(!aut->isWaiting());
}

void TstAuthWindow::failingStatusReadEndsTheWait_data()
{
    QTest::addColumn<int>("failingRead");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("first read") << 1
                                << QStringList {
                                       "TXI 888 1b7e31", "Sleep 1", "Estado 888", "TXI 888 1b7e30"};
    QTest::newRow("third read") << 3
                                << QStringList {"TXI 888 1b7e31", "Sleep 1", "Estado 888",
                                       "Estado 888", "Estado 888", "TXI 888 1b7e30"};
}

void TstAuthWindow::failingStatusReadEndsTheWait()
{
    QFETCH(int, failingRead);
    QFETCH(QStringList, calls);
    TestServices t;
    t.link.statuses = {0};
    const QString error = QStringLiteral("Dispositivo ausente");
    t.link.onCall = [&](const RecordingLink::Call &c) {
        if (c.name == QLatin1String("Estado") && t.link.only(c.name).size() == failingRead - 1)
            t.link.estadoError = error;
    };
    if (failingRead == 1)
        t.link.estadoError = error;
    AuthWindow w(t.services(), [] { return 888; });
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link), calls);
    QCOMPARE(t.messages.texts, QStringList {kStatusFailed.arg(error)});
}

void TstAuthWindow::dialogShowsOnlyForALongWait_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("readsWithoutDocument");
    QTest::addColumn<bool>("shows");
    QTest::newRow("short wait") << 333 << 5 << false;
    QTest::newRow("longer than the delay") << 40 << 3000 << true;
}

void TstAuthWindow::dialogShowsOnlyForALongWait()
{
    QFETCH(int, delay);
    QFETCH(int, readsWithoutDocument);
    QFETCH(bool, shows);
    TestServices t;
    t.link.statuses = {0};
    AuthWindow w(t.services(), [] { return 888; });
    w.setWaitDialogDelay(std::chrono::milliseconds(delay));
    QElapsedTimer elapsed;
    qint64 shownAfter = -1;
    t.link.onCall = [&](const RecordingLink::Call &c) {
        if (c.name != QLatin1String("Estado"))
            return;
        if (QDialog *d = waitDialog(w); d && d->isVisible() && shownAfter < 0) {
            shownAfter = elapsed.elapsed();
            QCOMPARE(d->findChild<QLabel *>()->text(), QStringLiteral("Aguardando o documento..."));
            grabToPng(d, QStringLiteral("Aguardando"));
        }
        if (shownAfter >= 0 || t.link.only(c.name).size() >= readsWithoutDocument)
            t.link.statuses = {0x10};
    };
    elapsed.start();
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(shownAfter >= 0, shows);
    if (shows)
        QVERIFY2(shownAfter >= delay, qPrintable(QString::number(shownAfter)));
    QCOMPARE(t.link.only(QStringLiteral("TXI")).size(), 3);
    QVERIFY(!waitDialog(w));
}

// The dialog blocks every window of the program but the printer's, where the document goes in.
void TstAuthWindow::onlyThePrinterWindowTakesClicksDuringTheWait()
{
    RecordingMessages messages;
    VirtualPrinter printer;
    VirtualPrinterWindow printerWindow(printer, messages);
    printerWindow.show();
    TestServices t;
    Services services = t.services();
    services.link = &printer;
    MainWindow main(services);
    main.show();
    QTest::mouseClick(button(main, "Command3"), Qt::LeftButton);
    auto *aut = main.findChild<AuthWindow *>(QStringLiteral("Aut"));
    QVERIFY(QTest::qWaitForWindowExposed(aut));
    aut->setWaitDialogDelay(0ms);
    auto *insert = button(printerWindow, "inserirDocumento");
    QVERIFY(!insert->isEnabled());
    printer.clearJournal();

    // Served by the wait's event loop: the clicks come while it runs.
    QTimer::singleShot(30ms, &printerWindow, [&] {
        clickAsUser(button(*aut, "Command1"));
        clickAsUser(button(main, "Command6"));
        QVERIFY(insert->isEnabled());
        clickAsUser(insert);
    });
    int reads = 0; // should the clicks never come, end the wait and fail below
    connect(&printer, &VirtualPrinter::entryChanged, aut, [&] {
        if (++reads == 5000)
            aut->cancelWait();
    });
    QTest::mouseClick(button(*aut, "Command3"), Qt::LeftButton);

    QStringList calls;
    for (const JournalEntry &e : printer.journal())
        calls << callName(e.call);
    QCOMPARE(calls, QStringList({"TXI", "Sleep", "Estado", "Estado", "TXI", "TXI"}));
    QVERIFY(printer.journal().at(2).repeats > 1);
    QCOMPARE(printer.journal().at(3).result & 0x10, 0x10);
    QCOMPARE(printer.journal().at(4).bytes, auth_commands::sampleLine().toLatin1());
    QVERIFY(!insert->isEnabled());
    QCOMPARE(printer.status(), uint8_t(0xD8));
}

void TstAuthWindow::mainWindowResetsTheField_data()
{
    QTest::addColumn<bool>("frameClose");
    QTest::newRow("Fechar") << false;
    QTest::newRow("frame's close button") << true;
}

void TstAuthWindow::mainWindowResetsTheField()
{
    QFETCH(bool, frameClose);
    TestServices t;
    MainWindow main(t.services());
    QTest::mouseClick(button(main, "Command3"), Qt::LeftButton);
    auto *aut = main.findChild<AuthWindow *>(QStringLiteral("Aut"));
    QVERIFY(aut && aut->isVisible());
    QCOMPARE(aut->text(), QStringLiteral(" BBB 123 27012030 R$2.345,98"));
    aut->setText(QStringLiteral("editado"));
    if (frameClose)
        aut->close();
    else
        QTest::mouseClick(button(*aut, "Command4"), Qt::LeftButton);
    QVERIFY(!aut->isVisible());
    QCOMPARE(aut->text(), QStringLiteral("editado"));
    QTest::mouseClick(button(main, "Command3"), Qt::LeftButton);
    QCOMPARE(main.findChild<AuthWindow *>(QStringLiteral("Aut")), aut);
    QVERIFY(aut->isVisible());
    QCOMPARE(aut->text(), QStringLiteral(" BBB 123 27012030 R$2.345,98"));
}

void TstAuthWindow::grabsAPicture()
{
    TestServices t;
    AuthWindow w(t.services(), [] { return 888; });
    QCOMPARE(w.text(), QStringLiteral("Text1"));
    w.setText(QStringLiteral(" BBB 123 27012030 R$2.345,98"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.focusWidget(), w.findChild<QWidget *>(QStringLiteral("Text1")));
    grabToPng(&w, QStringLiteral("Aut"));
}

QTEST_MAIN(TstAuthWindow)
#include "tst_auth_window.moc"
