#include "auth/auth_window.h"
#include "tests/support/test_services.h"
#include "text/text_window.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <thread>

using Script = QList<int16_t>;

// The authentication and free text windows: what they send, on which port, and what they say.
class TstWorkWindows : public QObject
{
    Q_OBJECT
private slots:
    void authenticationPrintsTheLine_data()
    {
        // Columns: command, porta, text, script, failingRead, calls, message.
        // command: Command1 simple, Command2 double, Command3 monitored
        // script: what the link answers in turn: status reads or TX
        // failingRead: 0: none; -1: every TXI fails instead
        columns<int, int, QString, Script, int, QString, QString>();
        const QString logo = QString::fromLatin1(kLogoHex);
        const QString serial = "Essa função só funciona com as portas paralelas LPT1 ou LPT2";
        // normal
        row("simple, AB: 45 bytes", 1, 888, "AB", Script {0}, 0, "TX 888 1b56" + logo + "4142", "");
        row("double, AB: byte 2 differs", 2, 632, "AB", Script {7}, 0,
            "TX 632 1b58" + logo + "4142", "");
        row("monitored, document already in: five calls", 3, 888, "AB", Script {0x10}, 0,
            "TXI 888 1b7e31, Sleep 1, Estado 888, TXI 888 4142, TXI 888 1b7e30", "");
        row("monitored, line and port read after the wait, accents as single bytes", 3, 888, "AB",
            Script {0x00, 0xEF, 0x08, 0xD8}, 0,
            "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 632, Estado 632, "
            "TXI 632 61e7fa636172, TXI 632 1b7e30",
            "");
        // bad input
        row("double, accents, refused on COM2", 2, 2, "çãé", Script {-32768}, 0,
            "TX 2 1b58" + logo + "e7e3e9", kFailed);
        row("monitored on COM1", 3, 1, "AB", Script {0x10}, 0, "", serial);
        row("monitored on COM2", 3, 2, "AB", Script {0x10}, 0, "", serial);
        row("monitored, third read fails", 3, 888, "AB", Script {0}, 3,
            "TXI 888 1b7e31, Sleep 1, Estado 888, Estado 888, Estado 632, TXI 632 1b7e30",
            "Não foi possível ler o estado da impressora: Dispositivo ausente\nA autenticação não "
            "foi impressa.");
        // Bit 4 of a negative value reads as set: the line must not go out.
        row("monitored, the library reports a failed read", 3, 888, "AB", Script {-1}, 0,
            "TXI 888 1b7e31, Sleep 1, Estado 888, TXI 888 1b7e30",
            "Não foi possível ler o estado da impressora: a biblioteca da impressora informou "
            "falha (-1)\nA autenticação não foi impressa.");
        // Without the start the printer never looks for the document: told once, nothing waits.
        row("monitored, the library has no TXI", 3, 888, "AB", Script {0x10}, -1, "TXI 888 1b7e31",
            "A função TXI não foi encontrada na biblioteca da impressora x.so.");
    }

    // After the second status read the operator types "açúcar" and picks LPT2: whatever goes out
    // after it must show both.
    void authenticationPrintsTheLine()
    {
        auto [command, porta, text, script, failingRead, calls, message]
            = fetch<int, int, QString, Script, int, QString, QString>();
        TestServices t;
        t.link.statuses = t.link.txResults = script;
        if (failingRead < 0)
            t.link.txiError = "A função TXI não foi encontrada na biblioteca da impressora x.so.";
        AuthWindow w(t.services(), [&porta = porta] { return porta; });
        auto *field = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
        field->clear();
        type(field, text);
        int reads = 0;
        t.link.onCall
            = [&, &porta = porta, failingRead = failingRead](const RecordingLink::Call &c) {
                  reads += c.name == QLatin1String("Estado");
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
        click(w, QStringLiteral("Command%1").arg(command));
        QCOMPARE(t.link.trace(), calls);
        QCOMPARE(t.messages.texts, message.isEmpty() ? QStringList() : QStringList {message});
    }

    // The printer holds the call while the operator clicks the button again: the window system
    // delivers that click once the call returns, and it must not print a second time.
    void slowPrinterShowsBusyAndDropsClicks()
    {
        TestServices t;
        AuthWindow window(t.services(), [] { return 888; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *button = window.findChild<QPushButton *>(QStringLiteral("Command1"));
        int cursor = -1;
        t.link.onCall = [&](const RecordingLink::Call &) {
            if (t.link.calls.size() > 1)
                return;
            const QCursor *shown = QGuiApplication::overrideCursor();
            cursor = shown ? shown->shape() : -1;
            const QPointF at = QRectF(button->rect()).center();
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(button,
                    new QMouseEvent(type, at, button->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                        Qt::NoModifier));
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        };
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(t.link.calls.size(), 1);
        QCOMPARE(cursor, int(Qt::WaitCursor));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void textPrintsExactly_data()
    {
        // Columns: text, porta, result, bytes.
        columns<QString, int, int, QByteArray>();
        row("empty still calls", QString(), 888, 0, QByteArray());
        row("line break and accents kept, refused on a serial port", QStringLiteral("çã\r\n"), 1,
            -1, QByteArray::fromHex("e7e30d0a"));
    }

    void textPrintsExactly()
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

QTEST_MAIN(TstWorkWindows)
#include "tst_work_windows.moc"
