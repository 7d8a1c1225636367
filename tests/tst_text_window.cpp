#include "tests/support/test_services.h"
#include "text/text_print.h"
#include "text/text_window.h"

#include <QAbstractButton>

class TstTextWindow : public QObject
{
    Q_OBJECT
private slots:
    void printsTheTextExactly_data();
    void printsTheTextExactly();
    void reportsRefusal_data();
    void reportsRefusal();
};

void TstTextWindow::printsTheTextExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("porta");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty still calls") << QString() << 888 << QByteArray();
    QTest::newRow("final line break kept")
        << QStringLiteral("AB\r\n") << 888 << QByteArray::fromHex("41420d0a");
    QTest::newRow("accents as single bytes")
        << QStringLiteral("çã") << 632 << QByteArray::fromHex("e7e3");
    QTest::newRow("serial port") << QStringLiteral("x") << 1 << QByteArray("x");
    QByteArray ruler;
    for (int n = 1; n <= 20; ++n) {
        ruler += QStringLiteral("Linha%1  1         2         3         4").arg(n, 2).toLatin1();
        if (n < 20)
            ruler += "\r\n";
    }
    QTest::newRow("ruler, 838 bytes") << text_print::rulerText() << 888 << ruler;
}

void TstTextWindow::printsTheTextExactly()
{
    QFETCH(QString, text);
    QFETCH(int, porta);
    QFETCH(QByteArray, bytes);
    TestServices t;
    int current = 0;
    TextWindow w(t.services(), [&current] { return current; });
    w.setText(text);
    current = porta; // read at the moment of printing
    QTest::mouseClick(w.findChild<QAbstractButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(t.link.names(), QStringList {QStringLiteral("TX")});
    QCOMPARE(t.link.calls.first().port, int16_t(porta));
    QCOMPARE(t.link.calls.first().bytes, bytes);
    QVERIFY(t.messages.texts.isEmpty());
}

void TstTextWindow::reportsRefusal_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("message");
    QTest::newRow("zero is success") << 0 << false;
    QTest::newRow("negative") << -1 << true;
}

void TstTextWindow::reportsRefusal()
{
    QFETCH(int, result);
    QFETCH(bool, message);
    TestServices t;
    t.link.txResults = {int16_t(result)};
    TextWindow w(t.services(), [] { return 888; });
    QTest::mouseClick(w.findChild<QAbstractButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(t.messages.texts,
        message ? QStringList {QStringLiteral("Houve um problema na execução do comando")}
                : QStringList());
}

QTEST_MAIN(TstTextWindow)
#include "tst_text_window.moc"
