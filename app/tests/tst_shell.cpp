#include "app/main_window.h"
#include "app/options.h"
#include "app/shell.h"
#include "tests/support/test_services.h"

#include <QRadioButton>
#include <QTableView>

namespace {

QWidget *printerWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("ImpressoraVirtual") && w->isVisible())
            return w;
    }
    return nullptr;
}

} // namespace

class TstShell : public QObject
{
    Q_OBJECT
private slots:
    void choosesTheBackend_data()
    {
        // path: of the library, or the device of LPT1; panel: the status read at start-up
        // printer, path, panel, message
        columns<int, QString, QString, QString>();
        using P = Options::Printer;
        row("virtual", int(P::Virtual), "", "11011000", "");
        row("library", int(P::Library), FAKE_LIBRARY, "10010000", "");
        row("library missing", int(P::Library), "/nonexistent/libVorel_Dll.so", "",
            "/nonexistent/libVorel_Dll.so");
        row("ports", int(P::Ports), "/dev/null", "",
            "Não foi possível ler o estado da impressora em /dev/null: o dispositivo não é uma "
            "porta de impressora.");
    }

    // Only the virtual printer opens its window, beside the main window, with the status read
    // of the start-up already in its journal; the ports tell their devices.
    void choosesTheBackend()
    {
        auto [printer, path, panel, message] = fetch<int, QString, QString, QString>();
        Options options;
        options.printer = Options::Printer(printer);
        options.libraryPath = options.ports.lpt1 = path;
        LogCapture log;
        Shell shell {options};
        shell.show();
        MainWindow &main = shell.mainWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QStringList boxes = log.lines().filter(QStringLiteral("vorel.ui: message: "));
        QCOMPARE(boxes.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(boxes.join(QString()).contains(message), qPrintable(boxes.join(QString())));
        QCOMPARE(statusBits(main), panel);
        if (printer == int(Options::Printer::Ports)) {
            const auto tip = [&main](const char *name) {
                return main.findChild<QRadioButton *>(QLatin1String(name))->toolTip();
            };
            QCOMPARE(tip("Option1"), path);
            QVERIFY2(tip("Option3").startsWith("/dev/ttyS0 (9600 bps, 8N1, "),
                qPrintable(tip("Option3")));
        }
        QTRY_COMPARE(bool(printerWindow()), printer == int(Options::Printer::Virtual));
        if (!printerWindow())
            return;
        auto *journal = printerWindow()->findChild<QTableView *>(QStringLiteral("journal"));
        QCOMPARE(journal->model()->rowCount(), 1);
        QCOMPARE(journal->model()->index(0, 1).data().toString(), QStringLiteral("Estado"));
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
