#include "auth/auth_window.h"
#include "auth/monitored_authentication.h"
#include "check/check_window.h"
#include "core/file_name.h"
#include "printer_link/library_link.h"
#include "printer_link/ports_link.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/test_services.h"
#include "ui/text_fields.h"

#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>

namespace {

class NeverWaits : public monitored_authentication::Waiter
{
public:
    [[nodiscard]] bool keepWaiting() override { return false; }
};

} // namespace

// What careless hands and hostile surroundings give the program: odd names, broken libraries,
// odd pastes, impatient clicks.
class TstHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void namesThatAreNoUtf8_data()
    {
        // Columns: port (0: the library).
        columns<int>();
        row("serial line", 1);
        row("parallel port", 888);
        row("library", 0);
    }

    // A Latin-1 "é", a "ç" in UTF-8 and a cut sequence, as a command line hands them over.
    void namesThatAreNoUtf8()
    {
        auto [port] = fetch<int>();
        QTemporaryDir dir;
        const QByteArray name = QFile::encodeName(dir.path()) + "/impressora\xe9-\xc3\xa7\xe2\x82";
        const QString path = file_name::decode(name);
        QCOMPARE(file_name::encode(path), name);
        if (port == 0) {
            QCOMPARE(::symlink(FAKE_LIBRARY, name), 0);
            LibraryLink link(path, QString());
            const LinkResult status = link.Estado(888);
            QVERIFY2(!status.callFailed(), qPrintable(status.error));
            QCOMPARE(status.value, int16_t(0x90));
            return;
        }
        PseudoTerminal pty;
        int printer = pty.master;
        if (port == 1) {
            QCOMPARE(::symlink(QFile::encodeName(pty.path), name), 0);
        } else {
            QCOMPARE(::mkfifo(name, 0600), 0);
            printer = ::open(name, O_RDONLY | O_NONBLOCK);
        }
        PortsLink link({.lpt1 = path, .com1 = path});
        const LinkResult sent = link.TX(int16_t(port), "AB");
        QVERIFY2(!sent.refused(), qPrintable(sent.error));
        char got[3] = {};
        QCOMPARE(::read(printer, got, sizeof got), ssize_t(2));
        QCOMPARE(QByteArray(got), QByteArray("AB"));
        if (printer != pty.master)
            ::close(printer);
    }

    void missingTxiIsNamedOnce()
    {
        LibraryLink link(QStringLiteral(PARTIAL_LIBRARY), QString());
        NeverWaits waiter;
        const auto result = monitored_authentication::run(
            link, [] { return 888; }, [] { return QStringLiteral("AB"); }, waiter);
        QCOMPARE(monitored_authentication::message(result),
            QStringLiteral("A função TXI não foi encontrada na biblioteca da impressora %1.")
                .arg(PARTIAL_LIBRARY));
    }

    void pastesAreFilteredWhateverTheirForm_data()
    {
        // Columns: markdown, plain, shown.
        // markdown, plain: the forms the paste is offered in, Markdown first; "": not offered
        // shown: the back text, which held "ab", all of it selected
        columns<QString, QString, QString>();
        row("the plain form, not the Markdown", "**José** 😀", "José", "José");
        row("Markdown alone brings nothing", "José 😀", "", "ab");
    }

    void pastesAreFilteredWhateverTheirForm()
    {
        auto [markdown, plain, shown] = fetch<QString, QString, QString>();
        TextField back;
        back.setText(QStringLiteral("ab"));
        back.selectAll();
        auto *offered = new QMimeData;
        offered->setData(QStringLiteral("text/markdown"), markdown.toUtf8());
        if (!plain.isEmpty())
            offered->setText(plain);
        QGuiApplication::clipboard()->setMimeData(offered);
        back.paste();
        QCOMPARE(back.text(), shown);
    }

    // A text that reached a field some other way still never goes out with "?" in it.
    void unprintableTextIsRefusedAtSendTime()
    {
        TestServices t;
        CheckWindow check(t.services(), [] { return 888; });
        check.findChild<LineField *>(QStringLiteral("Text4"))
            ->setText(QStringLiteral("19/12/2007"));
        check.findChild<LineField *>(QStringLiteral("Text3"))->setText(QStringLiteral("Jos😀"));
        check.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QCOMPARE(t.link.trace(), QString());
        QCOMPARE(t.messages.texts,
            QStringList {"Nada foi enviado: o texto tem um caractere que a impressora não "
                         "imprime (😀)."});
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
};

QTEST_MAIN(TstHostileInput)
#include "tst_hostile_input.moc"
