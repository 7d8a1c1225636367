#include "app/main_window.h"
#include "app/options.h"
#include "app/shell.h"
#include "tests/support/test_services.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

namespace {

QStringList g_messages;

// The message boxes' texts, as logged under vorel.ui.
void capture(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    if (QByteArray(context.category) == "vorel.ui")
        g_messages << text.section(QStringLiteral("message: "), 1);
}

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
        // path: of the library, or the device of LPT1
        // panel: the status read at start-up, bit 7 first
        columns<int, QString, QString, QString>({"printer", "path", "panel", "message"});
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
    // of the start-up already in its journal.
    void choosesTheBackend()
    {
        auto [printer, path, panel, message]
            = fetch<int, QString, QString, QString>({"printer", "path", "panel", "message"});
        Options options;
        options.printer = Options::Printer(printer);
        options.libraryPath = path;
        options.ports.lpt1 = path;
        QTimer closer; // message boxes are modal
        connect(&closer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start(10);
        g_messages.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("vorel.ui.info=true"));
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        Shell shell {options};
        shell.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shell.mainWindow()));
        qInstallMessageHandler(previous);
        QVERIFY2(g_messages.join(QLatin1Char('\n')).contains(message),
            qPrintable(g_messages.join('\n')));
        QCOMPARE(g_messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(statusBits(shell.mainWindow()), panel);
        if (printer == int(Options::Printer::Ports)) {
            auto *lpt1 = shell.mainWindow().findChild<QRadioButton *>(QStringLiteral("Option1"));
            QCOMPARE(lpt1->toolTip(), path);
        }
        if (printer != int(Options::Printer::Virtual)) {
            QTest::qWait(50);
            QVERIFY(!printerWindow());
            return;
        }
        QTRY_VERIFY(printerWindow());
        auto *journal = printerWindow()->findChild<QTableView *>(QStringLiteral("journal"));
        QCOMPARE(journal->model()->rowCount(), 1);
        QCOMPARE(journal->model()->index(0, 1).data().toString(), QStringLiteral("Estado"));
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
