#include "app/main_window.h"
#include "printer_link/port_settings.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

class TstMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startsOnLpt1WithTheStatusRead_data();
    void startsOnLpt1WithTheStatusRead();
    void portOptions_data();
    void portOptions();
    void sendsAndReportsRefusal_data();
    void sendsAndReportsRefusal();
    void failedStatusRead_data();
    void failedStatusRead();
    void portOptionsTellTheirDevice();
    void textFillsTheRulerEveryPress();
    void text2RefusesWhatCp1252CannotHold();

private:
    static QString bits(MainWindow &w)
    {
        QString out;
        for (int n = 7; n >= 0; --n)
            out += w.findChild<QLabel *>(QStringLiteral("lblDataBit%1").arg(n))->text();
        return out;
    }
    static void click(QWidget &w, const QString &name)
    {
        auto *b = w.findChild<QAbstractButton *>(name);
        QVERIFY2(b, qPrintable(name));
        QTest::mouseClick(b, Qt::LeftButton);
    }
};

void TstMainWindow::startsOnLpt1WithTheStatusRead_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shown"); // bit 7 first
    QTest::newRow("busy and on line") << 144 << QStringLiteral("10010000");
    QTest::newRow("above bit 7 ignored") << 511 << QStringLiteral("11111111");
    QTest::newRow("bit 0 only") << 1 << QStringLiteral("00000001");
    QTest::newRow("negative") << -1 << QStringLiteral("11111111");
}

void TstMainWindow::startsOnLpt1WithTheStatusRead()
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
    QCOMPARE(bits(w), shown);
    QVERIFY(t.messages.texts.isEmpty());
    if (status != 144)
        return;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.focusWidget(), w.findChild<QWidget *>(QStringLiteral("Command1")));
    grabToPng(&w, QStringLiteral("Form1"));
}

void TstMainWindow::portOptions_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("porta");
    QTest::addColumn<bool>("parallel");
    QTest::newRow("LPT2") << QStringLiteral("Option2") << 632 << true;
    QTest::newRow("COM1") << QStringLiteral("Option3") << 1 << false;
    QTest::newRow("COM2") << QStringLiteral("Option4") << 2 << false;
}

void TstMainWindow::portOptions()
{
    QFETCH(QString, option);
    QFETCH(int, porta);
    QFETCH(bool, parallel);
    TestServices t;
    t.link.statuses = {144, 0xFF};
    MainWindow w(t.services());
    t.link.calls.clear();
    click(w, option);
    QCOMPARE(w.Porta, porta);
    // A parallel port refreshes the panel; a serial one leaves it as it was.
    QCOMPARE(t.link.calls.size(), parallel ? 1 : 0);
    QCOMPARE(bits(w), parallel ? QStringLiteral("11111111") : QStringLiteral("10010000"));
    click(w, QStringLiteral("Command1"));
    if (parallel) {
        QCOMPARE(t.link.calls.last().port, int16_t(632));
        QVERIFY(t.messages.texts.isEmpty());
    } else {
        QCOMPARE(t.link.calls.size(), 0);
        QCOMPARE(t.messages.texts,
            QStringList {QStringLiteral("Mude a Porta da Impressora para Paralela LPT1 ou LPT2")});
    }
    click(w, QStringLiteral("Option1"));
    QCOMPARE(w.Porta, 888);
    QCOMPARE(t.link.calls.last().port, int16_t(888));
}

void TstMainWindow::sendsAndReportsRefusal_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QString failed = QStringLiteral("Houve um problema na execução do comando");
    const QString out = QStringLiteral("Command2"), drawer = QStringLiteral("Command6");
    QTest::newRow("out COM2 AB") << "Option4" << out << "AB" << 0 << "" << 2
                                 << QByteArray::fromHex("41420a") << "";
    QTest::newRow("out empty") << "Option4" << out << "" << 0 << "" << 2
                               << QByteArray::fromHex("0a") << "";
    QTest::newRow("out accents") << "Option1" << out << "çã" << 5 << "" << 888
                                 << QByteArray::fromHex("e7e30a") << "";
    QTest::newRow("out refused") << "Option1" << out << "A" << -32768 << "" << 888
                                 << QByteArray::fromHex("410a") << failed;
    QTest::newRow("drawer LPT2") << "Option2" << drawer << "" << 0 << "" << 632
                                 << QByteArray::fromHex("1b6f") << "";
    QTest::newRow("drawer refused")
        << "Option3" << drawer << "" << -1 << "" << 1 << QByteArray::fromHex("1b6f") << failed;
    QTest::newRow("library missing") << "Option2" << drawer << "" << 0 << "Biblioteca ausente"
                                     << 632 << QByteArray::fromHex("1b6f") << "Biblioteca ausente";
}

void TstMainWindow::sendsAndReportsRefusal()
{
    QFETCH(QString, option);
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, result);
    QFETCH(QString, error);
    QFETCH(int, port);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
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

void TstMainWindow::failedStatusRead_data()
{
    QTest::addColumn<QString>("control"); // empty: at start-up
    QTest::addColumn<QString>("panel");
    QTest::newRow("at start-up the panel stays empty") << QString() << QString();
    QTest::newRow("Ler keeps the panel")
        << QStringLiteral("Command1") << QStringLiteral("10010000");
    QTest::newRow("LPT2 keeps the panel")
        << QStringLiteral("Option2") << QStringLiteral("10010000");
}

void TstMainWindow::failedStatusRead()
{
    QFETCH(QString, control);
    QFETCH(QString, panel);
    const QString error = QStringLiteral("Não foi possível carregar a biblioteca da impressora");
    TestServices t;
    t.link.statuses = {144};
    t.link.estadoError = control.isEmpty() ? error : QString();
    MainWindow w(t.services());
    t.link.estadoError = error;
    if (!control.isEmpty())
        click(w, control);
    QCOMPARE(t.messages.texts, QStringList {error});
    QCOMPARE(bits(w), panel);
    // The window stays usable, and each action gives one message.
    click(w, QStringLiteral("Command1"));
    QCOMPARE(t.messages.texts.size(), 2);
    click(w, QStringLiteral("Command2"));
    QCOMPARE(t.link.names().last(), QStringLiteral("TX"));
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
}

void TstMainWindow::textFillsTheRulerEveryPress()
{
    TestServices t;
    MainWindow w(t.services());
    click(w, QStringLiteral("Command5"));
    auto *cupom = w.findChild<TextWindow *>(QStringLiteral("Cupom"));
    QVERIFY(cupom && cupom->isVisible());
    const QString ruler = cupom->text();
    QCOMPARE(ruler.size(), 838);
    QVERIFY(
        ruler.startsWith(QStringLiteral("Linha 1  1         2         3         4\r\nLinha 2 ")));
    QVERIFY(ruler.endsWith(QStringLiteral("\r\nLinha20  1         2         3         4")));
    cupom->setText(QStringLiteral("edited"));
    click(*cupom, QStringLiteral("Command2"));
    QVERIFY(!cupom->isVisible());
    click(w, QStringLiteral("Command5"));
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

QTEST_MAIN(TstMainWindow)
#include "tst_main_window.moc"
