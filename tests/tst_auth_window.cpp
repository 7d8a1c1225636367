#include "app/main_window.h"
#include "auth/auth_window.h"
#include "tests/support/test_services.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QAbstractButton>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

// ESC "K", 37 columns, one byte per column.
const QByteArray kLogo = QByteArray::fromHex("1b4b2500"
                                             "fe008200c600fe00c6008200c200fe00c2008200"
                                             "9e20d2209e008200fa048204fa008200fe");
const QString kSample = QStringLiteral(" BBB 123 27012030 R$2.345,98");

QAbstractButton *button(QWidget &w, const char *name)
{
    return w.findChild<QAbstractButton *>(QString::fromLatin1(name));
}

// One character at a time, so that accented letters pass through the field as typed ones do.
void type(AuthWindow &w, const QString &text)
{
    auto *field = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
    field->clear();
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Delivered through the window system, where a modal dialog can hold the click back.
void clickAsUser(QAbstractButton *b)
{
    QTest::mouseClick(
        b->window()->windowHandle(), Qt::LeftButton, {}, b->mapTo(b->window(), b->rect().center()));
}

// "TXI 888 1b7e31, Sleep 1, Estado 888, ..."
QString trace(const RecordingLink &link)
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
    return out.join(QStringLiteral(", "));
}

int estadoCalls(const RecordingLink &link)
{
    return int(link.only(QStringLiteral("Estado")).size());
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
    void simpleAndDoubleSendOneTx_data();
    void simpleAndDoubleSendOneTx();
    void monitoredSequence_data();
    void monitoredSequence();
    void lineAndPortAreReadWhenSent();
    void cancelSendsNoLine_data();
    void cancelSendsNoLine();
    void dialogShowsOnlyForALongWait_data();
    void dialogShowsOnlyForALongWait();
    void onlyThePrinterWindowTakesClicksDuringTheWait_data();
    void onlyThePrinterWindowTakesClicksDuringTheWait();
    void mainWindowResetsTheField_data();
    void mainWindowResetsTheField();
};

void TstAuthWindow::simpleAndDoubleSendOneTx_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("porta");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("failureShown");
    QTest::newRow("simple, AB: 45 bytes")
        << "Command1" << 888 << "AB" << 0
        << QByteArray::fromHex("1b56"
                               "1b4b2500fe008200c600fe00c6008200c200fe00c2008200"
                               "9e20d2209e008200fa048204fa008200fe"
                               "4142")
        << false;
    QTest::newRow("double, AB: byte 2 differs")
        << "Command2" << 632 << "AB" << 7
        << QByteArray::fromHex("1b58"
                               "1b4b2500fe008200c600fe00c6008200c200fe00c2008200"
                               "9e20d2209e008200fa048204fa008200fe"
                               "4142")
        << false;
    QTest::newRow("empty line on COM1, refused")
        << "Command1" << 1 << "" << -1 << QByteArray::fromHex("1b56") + kLogo << true;
    QTest::newRow("accents on COM2, refused")
        << "Command2" << 2 << "çãé" << -32768
        << QByteArray::fromHex("1b58") + kLogo + QByteArray::fromHex("e7e3e9") << true;
}

void TstAuthWindow::simpleAndDoubleSendOneTx()
{
    QFETCH(QString, command);
    QFETCH(int, porta);
    QFETCH(QString, text);
    QFETCH(int, result);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, failureShown);
    TestServices t;
    t.link.txResults = {int16_t(result)};
    AuthWindow w(t.services(), [porta] { return porta; });
    type(w, text);
    // The logo goes out whole, zero bytes included, the same on every press.
    for (int press = 1; press <= 2; ++press) {
        QTest::mouseClick(button(w, command.toLatin1()), Qt::LeftButton);
        QCOMPARE(t.link.names(), QStringList(press, QStringLiteral("TX")));
        QCOMPARE(t.link.calls.last().port, int16_t(porta));
        QCOMPARE(t.link.calls.last().bytes, bytes);
    }
    QCOMPARE(t.messages.texts,
        QStringList(
            failureShown ? 2 : 0, QStringLiteral("Houve um problema na execução do comando")));
}

void TstAuthWindow::monitoredSequence_data()
{
    QTest::addColumn<int>("porta");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<int>("failingRead"); // 0: none
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("calls");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Não foi possível ler o estado da impressora: "
                                          "Dispositivo ausente\nA autenticação não foi impressa.");
    QTest::newRow("document already in: five calls")
        << 888 << QList<int> {0x10} << 0 << "AB"
        << "TXI 888 1b7e31, Sleep 1, Estado 888, TXI 888 4142, TXI 888 1b7e30"
        << "";
    QTest::newRow("three reads without it")
        << 632 << QList<int> {0x00, 0xEF, 0x08, 0xD8} << 0 << "AB"
        << "TXI 632 1b7e31, Sleep 1, Estado 632, Estado 632, Estado 632, Estado 632, "
           "TXI 632 4142, TXI 632 1b7e30"
        << "";
    QTest::newRow("bits above 7 do not count, empty line")
        << 888 << QList<int> {0x7FEF, -1} << 0 << ""
        << "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, TXI 888, TXI 888 1b7e30"
        << "";
    QTest::newRow("accents as single bytes")
        << 888 << QList<int> {0x10} << 0 << "çãé"
        << "TXI 888 1b7e31, Sleep 1, Estado 888, TXI 888 e7e3e9, TXI 888 1b7e30"
        << "";
    const QString serial
        = QStringLiteral("Essa função só funciona com as portas paralelas LPT1 ou LPT2");
    QTest::newRow("COM1 refused") << 1 << QList<int> {0x10} << 0 << "AB"
                                  << "" << serial;
    QTest::newRow("COM2 refused") << 2 << QList<int> {0x10} << 0 << "AB"
                                  << "" << serial;
    QTest::newRow("first read fails")
        << 888 << QList<int> {0} << 1 << "AB"
        << "TXI 888 1b7e31, Sleep 1, Estado 888, TXI 888 1b7e30" << failed;
    QTest::newRow("third read fails")
        << 888 << QList<int> {0} << 3 << "AB"
        << "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 888, TXI 888 1b7e30" << failed;
}

void TstAuthWindow::monitoredSequence()
{
    QFETCH(int, porta);
    QFETCH(QList<int>, statuses);
    QFETCH(int, failingRead);
    QFETCH(QString, text);
    QFETCH(QString, calls);
    QFETCH(QString, message);
    TestServices t;
    for (int s : statuses)
        t.link.statuses << int16_t(s);
    const QString error = QStringLiteral("Dispositivo ausente");
    if (failingRead == 1)
        t.link.estadoError = error;
    t.link.onCall = [&](const RecordingLink::Call &) {
        if (estadoCalls(t.link) == failingRead - 1)
            t.link.estadoError = error;
        if (estadoCalls(t.link) > 1000)
            t.link.statuses = {0x10}; // a wait that ignores the error: end it, and fail below
    };
    AuthWindow w(t.services(), [porta] { return porta; });
    type(w, text);
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link), calls);
    QCOMPARE(t.messages.texts, message.isEmpty() ? QStringList() : QStringList {message});
    QVERIFY(!w.isWaiting());
}

void TstAuthWindow::lineAndPortAreReadWhenSent()
{
    TestServices t;
    t.link.statuses = {0, 0, 0, 0x10};
    int porta = 888;
    AuthWindow w(t.services(), [&porta] { return porta; });
    w.setText(QStringLiteral("antes"));
    t.link.onCall = [&](const RecordingLink::Call &) {
        if (estadoCalls(t.link) == 2) {
            w.setText(QStringLiteral("depois"));
            porta = 632;
        }
    };
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link),
        QStringLiteral("TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 632, Estado 632, "
                       "TXI 632 6465706f6973, TXI 632 1b7e30"));
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
    t.link.onCall = [&](const RecordingLink::Call &) {
        if (estadoCalls(t.link) > 1000)
            t.link.statuses = {0x10}; // the cancel was lost: end the wait, and fail below
        if (estadoCalls(t.link) != 3 || t.link.calls.last().name != QLatin1String("Estado"))
            return;
        QDialog *dialog = waitDialog(*aut);
        QVERIFY(dialog && dialog->isVisible());
        if (how == QLatin1String("Cancelar"))
            QTest::mouseClick(button(*dialog, "Cancelar"), Qt::LeftButton);
        else if (how == QLatin1String("Escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            (how == QLatin1String("Aut") ? static_cast<QWidget *>(aut) : &main)->close();
    };
    QTest::mouseClick(button(*aut, "Command3"), Qt::LeftButton);
    QCOMPARE(trace(t.link),
        QStringLiteral("TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 888, "
                       "TXI 888 1b7e30"));
    QVERIFY(t.messages.texts.isEmpty());
    QVERIFY(!waitDialog(*aut));
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
    t.link.onCall = [&](const RecordingLink::Call &) {
        if (QDialog *d = waitDialog(w); d && d->isVisible() && shownAfter < 0) {
            shownAfter = elapsed.elapsed();
            QCOMPARE(d->findChild<QLabel *>()->text(), QStringLiteral("Aguardando o documento..."));
            grabToPng(d, QStringLiteral("Aguardando"));
        }
        if (shownAfter >= 0 || estadoCalls(t.link) >= readsWithoutDocument)
            t.link.statuses = {0x10};
    };
    elapsed.start();
    QTest::mouseClick(button(w, "Command3"), Qt::LeftButton);
    QCOMPARE(shownAfter >= 0, shows);
    QVERIFY2(!shows || shownAfter >= delay, qPrintable(QString::number(shownAfter)));
    QCOMPARE(t.link.only(QStringLiteral("TXI")).size(), 3);
    QVERIFY(!waitDialog(w));
}

void TstAuthWindow::onlyThePrinterWindowTakesClicksDuringTheWait_data()
{
    QTest::addColumn<int>("dialogDelay");
    QTest::newRow("before the dialog shows") << 60000;
    QTest::newRow("with the dialog up") << 0;
}

// Every window of the program is held back but the printer's, where the document goes in.
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
    QFETCH(int, dialogDelay);
    aut->setWaitDialogDelay(std::chrono::milliseconds(dialogDelay));
    auto *insert = button(printerWindow, "inserirDocumento");
    QVERIFY(!insert->isEnabled());
    printer.clearJournal();

    // Served by the wait's event loop.
    QTimer::singleShot(30ms, &printerWindow, [&] {
        clickAsUser(button(*aut, "Command1"));
        clickAsUser(button(main, "Command6"));
        QVERIFY(insert->isEnabled());
        QCOMPARE(bool(waitDialog(*aut)), dialogDelay == 0);
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
    QCOMPARE(printer.journal().at(4).bytes, kSample.toLatin1());
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
    QVERIFY(QTest::qWaitForWindowExposed(aut));
    QCOMPARE(aut->text(), kSample);
    QCOMPARE(aut->focusWidget(), aut->findChild<QWidget *>(QStringLiteral("Text1")));
    grabToPng(aut, QStringLiteral("Aut"));
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
    QCOMPARE(aut->text(), kSample);
}

QTEST_MAIN(TstAuthWindow)
#include "tst_auth_window.moc"
