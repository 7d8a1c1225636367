#include "app/main_window.h"
#include "app/options.h"
#include "app/shell.h"
#include "tests/support/test_services.h"

#include <QApplication>
#include <QTableView>
#include <QTest>

class TstShell : public QObject
{
    Q_OBJECT
private slots:
    void virtualPrinterOpensBesideTheMainWindow();
};

void TstShell::virtualPrinterOpensBesideTheMainWindow()
{
    RecordingMessages messages;
    Shell shell {Options {}, messages};
    shell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shell.mainWindow()));
    QWidget *printer = nullptr;
    QTRY_VERIFY((printer = [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("ImpressoraVirtual") && w->isVisible())
                return w;
        }
        return static_cast<QWidget *>(nullptr);
    }()));
    QCOMPARE(printer->windowTitle(), QStringLiteral("Impressora virtual"));
    // The status read of the start-up is already in its journal.
    auto *journal = printer->findChild<QTableView *>(QStringLiteral("journal"));
    QVERIFY(journal);
    QCOMPARE(journal->model()->rowCount(), 1);
    QCOMPARE(journal->model()->index(0, 1).data().toString(), QStringLiteral("Estado"));
}

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
