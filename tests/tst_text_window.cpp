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
};

void TstTextWindow::printsTheTextExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("porta");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty still calls") << QString() << 888 << 0 << QByteArray();
    QTest::newRow("final line break kept")
        << QStringLiteral("AB\r\n") << 888 << 3 << QByteArray::fromHex("41420d0a");
    QTest::newRow("accents as single bytes")
        << QStringLiteral("çã") << 632 << 0 << QByteArray::fromHex("e7e3");
    QTest::newRow("serial port, refused") << QStringLiteral("x") << 1 << -1 << QByteArray("x");
    QByteArray ruler;
    for (int n = 1; n <= 20; ++n) {
        ruler += QStringLiteral("Linha%1  1         2         3         4").arg(n, 2).toLatin1();
        if (n < 20)
            ruler += "\r\n";
    }
    QTest::newRow("ruler, 838 bytes") << text_print::rulerText() << 888 << 0 << ruler;
}

void TstTextWindow::printsTheTextExactly()
{
    QFETCH(QString, text);
    QFETCH(int, porta);
    QFETCH(int, result);
    QFETCH(QByteArray, bytes);
    TestServices t;
    t.link.txResults = {int16_t(result)};
    int current = 0;
    TextWindow w(t.services(), [&current] { return current; });
    w.setText(text);
    current = porta; // read at the moment of printing
    QTest::mouseClick(w.findChild<QAbstractButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(t.link.names(), QStringList {QStringLiteral("TX")});
    QCOMPARE(t.link.calls.first().port, int16_t(porta));
    QCOMPARE(t.link.calls.first().bytes, bytes);
    QCOMPARE(t.messages.texts,
        result < 0 ? QStringList {QStringLiteral("Houve um problema na execução do comando")}
                   : QStringList());
}

QTEST_MAIN(TstTextWindow)
#include "tst_text_window.moc"
