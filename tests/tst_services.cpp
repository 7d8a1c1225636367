#include "printer_link/logging_link.h"
#include "tests/support/test_services.h"
#include "ui/document_waiter.h"
#include "ui/real_services.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

class TstServices : public QObject
{
    Q_OBJECT
private slots:
    void logsEveryMessageAndPrinterCall_data()
    {
        // Columns: call, error, logged.
        // error: of the link
        columns<QString, QString, QString>();
        row("message box", "box", "", "vorel.ui: message: Não foi possível ler Dados_cheque.txt");
        row("Estado", "Estado", "", "vorel.printer: Estado 888 -> 216");
        row("TX refused", "TX", "", "vorel.printer: TX 888 2 bytes 1b 6f -> -1");
        row("TX that could not be made", "TX", "Biblioteca ausente",
            "vorel.printer: TX 888 2 bytes 1b 6f -> erro: Biblioteca ausente");
        row("TXI", "TXI", "", "vorel.printer: TXI 888 2 bytes 1b 6f -> 0");
        row("Sleep", "Sleep", "", "vorel.printer: Sleep 1");
    }

    // Silent until enabled; each call is passed on, its result back, whatever the log does.
    void logsEveryMessageAndPrinterCall()
    {
        auto [call, error, logged] = fetch<QString, QString, QString>();
        RecordingLink inner;
        inner.txResults = {-1};
        inner.txError = error;
        LoggingLink link(inner);
        for (const bool enabled : {false, true}) {
            LogCapture log(enabled);
            if (call == QLatin1String("box"))
                BoxMessageSink().show(nullptr, "Não foi possível ler Dados_cheque.txt");
            else if (call == QLatin1String("Estado"))
                QCOMPARE(link.Estado(888).value, int16_t(216));
            else if (call == QLatin1String("TX"))
                QCOMPARE(link.TX(888, QByteArray::fromHex("1b6f")).error, error);
            else if (call == QLatin1String("TXI"))
                (void)link.TXI(888, QByteArray::fromHex("1b6f"));
            else
                link.Sleep(1);
            QCOMPARE(log.lines(), enabled ? QStringList {logged} : QStringList());
        }
        QCOMPARE(inner.calls.size(), call == QLatin1String("box") ? 0 : 2);
    }

    void regionalSettings_data()
    {
        // Columns: system, followed.
        columns<QLocale, QString>();
        // Under LANG=C the system's locale speaks C but is not QLocale::c().
        row("the system's, C or POSIX", QLocale::system(), "pt_BR");
        row("C", QLocale::c(), "pt_BR");
        row("US English kept", QLocale(QLocale::English, QLocale::UnitedStates), "en_US");
        row("Portugal kept", QLocale(QLocale::Portuguese, QLocale::Portugal), "pt_PT");
    }

    void regionalSettings()
    {
        auto [system, followed] = fetch<QLocale, QString>();
        if (QTest::currentDataTag() == QLatin1String("the system's, C or POSIX")
            && system.language() != QLocale::C)
            QSKIP("Runs under LANG=C or POSIX only");
        QCOMPARE(regionalLocale(system).name(), followed);
    }

    void documentWaitHoldsTheWindowsNamed_data()
    {
        // Columns: other window blocked too, its click taken.
        columns<bool, bool>();
        row("a window of its own stays usable", false, true);
        row("a window named as well waits too", true, false);
    }

    // A click on another window during the wait, before and after the dialog shows.
    void documentWaitHoldsTheWindowsNamed()
    {
        auto [blocked, taken] = fetch<bool, bool>();
        QWidget owner, other;
        auto *button = new QPushButton(QStringLiteral("out"), &other);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
        for (QWidget *w : {&owner, &other}) {
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
        DocumentWaiter waiter(&owner, std::chrono::milliseconds(50), blocked ? &other : nullptr);
        QElapsedTimer elapsed;
        elapsed.start();
        for (const int at : {10, 200}) {
            QTimer::singleShot(at, [button] {
                QTest::mouseClick(button->window()->windowHandle(), Qt::LeftButton, {},
                    button->mapTo(button->window(), button->rect().center()));
            });
        }
        while (elapsed.elapsed() < 300 && waiter.keepWaiting()) { }
        QVERIFY(owner.findChild<QDialog *>(QStringLiteral("Aguardando")));
        QCOMPARE(clicks, taken ? 2 : 0);
    }
};

QTEST_MAIN(TstServices)
#include "tst_services.moc"
