#include "tests/support/test_services.h"
#include "text/text_window.h"

class TstTextWindow : public QObject
{
    Q_OBJECT
private slots:
    void printsTheTextExactly_data()
    {
        // Columns: text, porta, result, bytes.
        columns<QString, int, int, QByteArray>();
        row("empty still calls", QString(), 888, 0, QByteArray());
        row("final line break kept", QStringLiteral("AB\r\n"), 888, 3,
            QByteArray::fromHex("41420d0a"));
        row("accents as single bytes", QStringLiteral("çã"), 632, 0, QByteArray::fromHex("e7e3"));
        row("serial port, refused", QStringLiteral("x"), 1, -1, QByteArray("x"));
    }

    void printsTheTextExactly()
    {
        auto [text, porta, result, bytes] = fetch<QString, int, int, QByteArray>();
        TestServices t;
        t.link.txResults = {int16_t(result)};
        int current = 0;
        TextWindow w(t.services(), [&current] { return current; });
        w.setText(text);
        current = porta; // read at the moment of printing
        click(w, QStringLiteral("Command1"));
        QCOMPARE(
            t.link.trace(), QStringLiteral("TX %1 %2").arg(porta).arg(bytes.toHex()).trimmed());
        QCOMPARE(t.messages.texts, result < 0 ? QStringList {kFailed} : QStringList());
    }
};

QTEST_MAIN(TstTextWindow)
#include "tst_text_window.moc"
