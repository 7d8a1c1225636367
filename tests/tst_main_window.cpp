#include "app/main_window.h"
#include "app/printer_link/port_settings.h"
#include "app/text_fields.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class TstMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startsOnLpt1WithTheStatusRead();
    void showsEachBitOfTheStatus_data();
    void showsEachBitOfTheStatus();
    void portOptionsSetPortaAndRefreshOnlyParallel_data();
    void portOptionsSetPortaAndRefreshOnlyParallel();
    void lerRefusesSerialPorts_data();
    void lerRefusesSerialPorts();
    void outSendsTheLineWithALineFeed_data();
    void outSendsTheLineWithALineFeed();
    void drawerAndTestLineReportRefusal_data();
    void drawerAndTestLineReportRefusal();
    void missingLibraryAtStartLeavesThePanelEmpty();
    void failedStatusReadKeepsThePanel_data();
    void failedStatusReadKeepsThePanel();
    void portOptionsTellTheirDevice();
    void textFillsTheRulerEveryPress();
    void text2RefusesWhatCp1252CannotHold();
    void grabsAPicture();

private:
    static QString bits(MainWindow &w)
    {
        QString out;
        for (int n = 7; n >= 0; --n)
            out += w.findChild<QLabel *>(QStringLiteral("lblDataBit%1").arg(n))->text();
        return out;
    }
    static void click(QWidget &w, const char *name)
    {
        auto *b = w.findChild<QAbstractButton *>(QString::fromLatin1(name));
        QVERIFY2(b, name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

void TstMainWindow::startsOnLpt1WithTheStatusRead()
{
    TestServices t;
    t.link.statuses = {144};
    MainWindow w(t.services());
    QCOMPARE(w.Porta, 888);
    QVERIFY(w.findChild<QRadioButton *>(QStringLiteral("Option1"))->isChecked());
    QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("Text2"))->text(),
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVXWYZ"));
    QCOMPARE(t.link.names(), QStringList {QStringLiteral("Estado")});
    QCOMPARE(t.link.calls.first().port, int16_t(888));
    QCOMPARE(bits(w), QStringLiteral("10010000"));
    QVERIFY(t.messages.texts.isEmpty());
}

void TstMainWindow::showsEachBitOfTheStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shown"); // bit 7 first
    QTest::newRow("busy and on line") << 144 << QStringLiteral("10010000");
    QTest::newRow("above bit 7 ignored") << 511 << QStringLiteral("11111111");
    QTest::newRow("zero") << 0 << QStringLiteral("00000000");
    QTest::newRow("bit 0 only") << 1 << QStringLiteral("00000001");
    QTest::newRow("negative") << -1 << QStringLiteral("11111111");
}

void TstMainWindow::showsEachBitOfTheStatus()
{
    QFETCH(int, status);
    QFETCH(QString, shown);
    TestServices t;
    t.link.statuses = {0, int16_t(status)};
    MainWindow w(t.services());
    click(w, "Command1");
    QCOMPARE(bits(w), shown);
}

void TstMainWindow::portOptionsSetPortaAndRefreshOnlyParallel_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("porta");
    QTest::addColumn<bool>("reads");
    QTest::newRow("LPT2") << QStringLiteral("Option2") << 632 << true;
    QTest::newRow("COM1") << QStringLiteral("Option3") << 1 << false;
    QTest::newRow("COM2") << QStringLiteral("Option4") << 2 << false;
}

void TstMainWindow::portOptionsSetPortaAndRefreshOnlyParallel()
{
    QFETCH(QString, option);
    QFETCH(int, porta);
    QFETCH(bool, reads);
    TestServices t;
    t.link.statuses = {144, 0xFF};
    MainWindow w(t.services());
    t.link.calls.clear();
    click(w, option.toLatin1().constData());
    QCOMPARE(w.Porta, porta);
    if (reads) {
        QCOMPARE(t.link.names(), QStringList {QStringLiteral("Estado")});
        QCOMPARE(t.link.calls.first().port, int16_t(porta));
        QCOMPARE(bits(w), QStringLiteral("11111111"));
    } else {
        QVERIFY(t.link.calls.isEmpty());
        QCOMPARE(bits(w), QStringLiteral("10010000"));
    }
    // Back to LPT1 reads again with 888.
    click(w, "Option1");
    QCOMPARE(w.Porta, 888);
    QCOMPARE(t.link.calls.last().port, int16_t(888));
}

void TstMainWindow::lerRefusesSerialPorts_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("COM1") << QStringLiteral("Option3");
    QTest::newRow("COM2") << QStringLiteral("Option4");
}

void TstMainWindow::lerRefusesSerialPorts()
{
    QFETCH(QString, option);
    TestServices t;
    t.link.statuses = {144, 0};
    MainWindow w(t.services());
    click(w, option.toLatin1().constData());
    t.link.calls.clear();
    click(w, "Command1");
    QVERIFY(t.link.calls.isEmpty());
    QCOMPARE(t.messages.texts,
        QStringList {QStringLiteral("Mude a Porta da Impressora para Paralela LPT1 ou LPT2")});
    QCOMPARE(bits(w), QStringLiteral("10010000"));
}

void TstMainWindow::outSendsTheLineWithALineFeed_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("COM2, AB") << QStringLiteral("Option4") << QStringLiteral("AB") << 2
                              << QByteArray::fromHex("41420a");
    QTest::newRow("COM2, empty") << QStringLiteral("Option4") << QString() << 2
                                 << QByteArray::fromHex("0a");
    QTest::newRow("LPT1, accents") << QStringLiteral("Option1") << QStringLiteral("çã") << 888
                                   << QByteArray::fromHex("e7e30a");
}

void TstMainWindow::outSendsTheLineWithALineFeed()
{
    QFETCH(QString, option);
    QFETCH(QString, text);
    QFETCH(int, port);
    QFETCH(QByteArray, bytes);
    TestServices t;
    MainWindow w(t.services());
    click(w, option.toLatin1().constData());
    w.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(text);
    t.link.calls.clear();
    click(w, "Command2");
    QCOMPARE(t.link.names(), QStringList {QStringLiteral("TX")});
    QCOMPARE(t.link.calls.first().port, int16_t(port));
    QCOMPARE(t.link.calls.first().bytes, bytes);
    QVERIFY(t.messages.texts.isEmpty());
}

void TstMainWindow::drawerAndTestLineReportRefusal_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Houve um problema na execução do comando");
    QTest::newRow("drawer taken") << QStringLiteral("Command6") << 0 << QString() << QString();
    QTest::newRow("drawer positive") << QStringLiteral("Command6") << 7 << QString() << QString();
    QTest::newRow("drawer refused") << QStringLiteral("Command6") << -1 << QString() << failed;
    QTest::newRow("out refused") << QStringLiteral("Command2") << -32768 << QString() << failed;
    QTest::newRow("library missing")
        << QStringLiteral("Command2") << 0 << QStringLiteral("Biblioteca ausente")
        << QStringLiteral("Biblioteca ausente");
}

void TstMainWindow::drawerAndTestLineReportRefusal()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(QString, error);
    QFETCH(QString, message);
    TestServices t;
    MainWindow w(t.services());
    click(w, "Option2");
    t.link.txResults = {int16_t(result)};
    t.link.txError = error;
    t.link.calls.clear();
    click(w, button.toLatin1().constData());
    QCOMPARE(t.link.calls.size(), 1);
    QCOMPARE(t.link.calls.first().port, int16_t(632));
    if (button == QLatin1String("Command6"))
        QCOMPARE(t.link.calls.first().bytes, QByteArray::fromHex("1b6f"));
    QCOMPARE(t.messages.texts, message.isEmpty() ? QStringList() : QStringList {message});
}

void TstMainWindow::missingLibraryAtStartLeavesThePanelEmpty()
{
    TestServices t;
    t.link.estadoError
        = QStringLiteral("Não foi possível carregar a biblioteca da impressora Vorel_Dll");
    MainWindow w(t.services());
    QCOMPARE(t.messages.texts, QStringList {t.link.estadoError});
    QCOMPARE(bits(w), QString());
    // The window stays usable.
    click(w, "Command2");
    QCOMPARE(t.link.names().last(), QStringLiteral("TX"));
}

void TstMainWindow::failedStatusReadKeepsThePanel_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("Ler") << QStringLiteral("Command1");
    QTest::newRow("LPT2") << QStringLiteral("Option2");
}

void TstMainWindow::failedStatusReadKeepsThePanel()
{
    QFETCH(QString, control);
    TestServices t;
    t.link.statuses = {144};
    MainWindow w(t.services());
    t.link.estadoError = QStringLiteral(
        "Não foi possível ler o estado da impressora em /dev/lp0: permissão negada.");
    click(w, control.toLatin1().constData());
    QCOMPARE(t.messages.texts, QStringList {t.link.estadoError});
    QCOMPARE(bits(w), QStringLiteral("10010000"));
    // One message for each action, never one per attempt.
    click(w, "Command1");
    QCOMPARE(t.messages.texts.size(), 2);
    QCOMPARE(t.link.only(QStringLiteral("Estado")).size(), 3);
}

void TstMainWindow::portOptionsTellTheirDevice()
{
    TestServices t;
    MainWindow w(t.services());
    PortSettings settings;
    settings.lpt2 = QStringLiteral("/dev/usb/lp0");
    settings.com1 = QStringLiteral("/dev/ttyUSB0");
    w.describePorts(port_settings::describe(settings));
    const auto tip = [&w](const char *name) {
        return w.findChild<QRadioButton *>(QString::fromLatin1(name))->toolTip();
    };
    QCOMPARE(tip("Option1"), QStringLiteral("/dev/lp0"));
    QCOMPARE(tip("Option2"), QStringLiteral("/dev/usb/lp0"));
    QVERIFY2(tip("Option3").startsWith(QStringLiteral("/dev/ttyUSB0 (9600 bps, 8N1, ")),
        qPrintable(tip("Option3")));
    QVERIFY2(tip("Option4").startsWith(QStringLiteral("/dev/ttyS1 ")), qPrintable(tip("Option4")));
}

void TstMainWindow::textFillsTheRulerEveryPress()
{
    TestServices t;
    MainWindow w(t.services());
    click(w, "Command5");
    auto *cupom = w.findChild<TextWindow *>(QStringLiteral("Cupom"));
    QVERIFY(cupom);
    QVERIFY(cupom->isVisible());
    const QString ruler = cupom->text();
    QCOMPARE(ruler.size(), 838);
    QVERIFY(
        ruler.startsWith(QStringLiteral("Linha 1  1         2         3         4\r\nLinha 2 ")));
    QVERIFY(ruler.endsWith(QStringLiteral("\r\nLinha20  1         2         3         4")));
    cupom->setText(QStringLiteral("edited"));
    click(*cupom, "Command2");
    QVERIFY(!cupom->isVisible());
    click(w, "Command5");
    QCOMPARE(w.findChild<TextWindow *>(QStringLiteral("Cupom")), cupom);
    QVERIFY(cupom->isVisible());
    QCOMPARE(cupom->text(), ruler);
    grabToPng(cupom, QStringLiteral("Cupom"));
}

void TstMainWindow::text2RefusesWhatCp1252CannotHold()
{
    TestServices t;
    MainWindow w(t.services());
    auto *text2 = w.findChild<QLineEdit *>(QStringLiteral("Text2"));
    text2->clear();
    text2->setFocus();
    for (const QChar ch : QStringLiteral("aç€λ"))
        QTest::sendKeyEvent(QTest::Click, text2, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QCOMPARE(text2->text(), QStringLiteral("aç€"));
}

void TstMainWindow::grabsAPicture()
{
    TestServices t;
    t.link.statuses = {144};
    MainWindow w(t.services());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.focusWidget(), w.findChild<QWidget *>(QStringLiteral("Command1")));
    grabToPng(&w, QStringLiteral("Form1"));
}

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
