#include "app/main_window.h"
#include "app/options.h"
#include "app/printer_setup_dialog.h"
#include "app/shell.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/test_services.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>

using namespace std::chrono_literals;

namespace {

const QByteArray kTestLine = "ABCDEFGHIJKLMNOPQRSTUVXWYZ\n";

template <class T> T *child(QObject &parent, const QString &name)
{
    auto *found = parent.findChild<T *>(name);
    if (!found)
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

QWidget *shownVirtualPrinter()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("ImpressoraVirtual") && w->isVisible())
            return w;
    }
    return nullptr;
}

// Shows the program's windows and waits for what follows the first paint: the start-up's
// messages and the virtual printer.
MainWindow &showUp(Shell &shell)
{
    shell.show();
    if (!QTest::qWaitForWindowExposed(&shell.mainWindow()))
        qFatal("the main window did not show");
    QTest::qWait(100);
    return shell.mainWindow();
}

} // namespace

// The printer a run starts on, and the setup that changes it: the dialog, its tests of a device,
// and the shell applying what it chose.
class TstPrinterSetup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The settings file and the check data live in a folder of the test's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));
        QVERIFY(QDir::setCurrent(m_home.path()));
        QVERIFY(QDir().mkpath(QFileInfo(settings::defaultPath()).path()));
    }

    void init() { QFile::remove(settings::defaultPath()); }

    void startsOnTheChosenPrinter_data()
    {
        // Columns: file, arguments, virtual, panel, message.
        // file: the settings file, %pty: a pseudo-terminal; virtual: its window opens
        // panel: the status read at start-up; message: part of the one message, empty: none
        columns<QByteArray, QStringList, bool, QString, QString>();
        row("command line over the file", QByteArray("[printer]\nbackend=ports\ncom1=%pty\n"),
            QStringList {"--printer", "virtual"}, true, "11011000", "");
        row("library missing", QByteArray(),
            QStringList {"--printer", "library", "--printer-library", "/nada/libVorel_Dll.so"},
            false, "",
            "/nada/libVorel_Dll.so: o arquivo ou a pasta não existe. Escolha outra biblioteca em "
            "\"Configurar impressora...\"");
        row("garbage", QByteArray("\x01\xfe lixo\n[printer]\nbackend=impressora\n"), QStringList(),
            true, "11011000", "backend=impressora: use virtual, library ou ports");
    }

    // Only the virtual printer opens its window, beside the main window, with the status read
    // of the start-up already in its journal.
    void startsOnTheChosenPrinter()
    {
        auto [file, arguments, isVirtual, panel, message]
            = fetch<QByteArray, QStringList, bool, QString, QString>();
        PseudoTerminal pty;
        writeFile(QDir(), settings::defaultPath(), file.replace("%pty", pty.path.toLocal8Bit()));
        RecordingMessages messages;
        Shell shell(parseOptions(QStringList {"vorel-demo"} + arguments).options, messages);
        MainWindow &main = showUp(shell);
        QCOMPARE(messages.texts.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(messages.texts.value(0).contains(message), qPrintable(messages.texts.value(0)));
        QCOMPARE(statusBits(main), panel);
        click(main, QStringLiteral("Option3"));
        click(main, QStringLiteral("Command2"));
        QCOMPARE(pty.read(), QByteArray());
        QTRY_COMPARE(bool(shownVirtualPrinter()), isVirtual);
        if (!isVirtual)
            return;
        auto *journal = child<QTableView>(*shownVirtualPrinter(), QStringLiteral("journal"));
        QCOMPARE(journal->model()->index(0, 1).data().toString(), QStringLiteral("Estado"));
        QVERIFY(
            main.screen()->availableGeometry().contains(shownVirtualPrinter()->frameGeometry()));
    }

    // A session on the ports of the settings file is recorded as it goes, read back in the viewer
    // and sent to the printer again.
    void recordedSessionIsSentAgain()
    {
        PseudoTerminal pty;
        writeFile(QDir(), settings::defaultPath(),
            "[printer]\nbackend=ports\ncom1=" + pty.path.toLocal8Bit() + "\nlpt1=/nada/lp0\n");
        const QString journal = m_home.filePath(QStringLiteral("sessao.txt"));
        RecordingMessages messages;
        Shell shell(parseOptions({"vorel-demo", "--journal", journal}).options, messages);
        MainWindow &main = showUp(shell);
        QCOMPARE(messages.texts,
            QStringList {
                "Nenhum dispositivo em /nada/lp0: confira se a impressora ou o adaptador "
                "está ligado, ou escolha outro em \"Configurar impressora...\" (clique com "
                "o botão direito na janela principal)."});
        QCOMPARE(child<QRadioButton>(main, "Option1")->toolTip(), "/nada/lp0");
        const QString com1 = child<QRadioButton>(main, "Option3")->toolTip();
        QVERIFY2(com1.startsWith(pty.path + " (9600 bps, 8N1, "), qPrintable(com1));
        QVERIFY(child<QAction>(main, QStringLiteral("actionRecordJournal"))->isChecked());
        click(main, QStringLiteral("Option3"));
        click(main, QStringLiteral("Command2"));
        QCOMPARE(pty.read(), kTestLine);
        // On disk as soon as the call returned, while the recording goes on.
        const QList<QByteArray> lines = readFile(QDir(), journal).split('\n');
        QCOMPARE(lines.first(), "# vorel-demo diário da impressora, versão 2");
        QVERIFY2(lines.at(1).contains("\tEstado\tLPT1\t"), lines.at(1)); // the start-up's read
        QVERIFY2(lines.at(lines.size() - 2).contains("\tTX\tCOM1\t27\t0\t41 42 43"),
            lines.at(lines.size() - 2));

        child<QAction>(main, QStringLiteral("actionShowVirtualPrinter"))->trigger();
        auto *viewer = static_cast<VirtualPrinterWindow *>(shownVirtualPrinter());
        QVERIFY(viewer);
        QCOMPARE(viewer->openJournalFrom(journal), QString());
        viewer->requestSend(true);
        QCOMPARE(pty.read(), kTestLine);
        QCOMPARE(messages.texts.last(), QStringLiteral("1 chamada enviada."));
    }

    void setupAppliesWithoutLosingWork_data()
    {
        QTest::addColumn<bool>("accept");
        row("OK", true);
        row("Cancelar", false);
    }

    // Reached from the main window's context menu, or Ctrl+comma.
    void setupAppliesWithoutLosingWork()
    {
        QFETCH(bool, accept);
        PseudoTerminal pty;
        RecordingMessages messages;
        Shell shell(parseOptions({"vorel-demo", "--lpt2", "/dev/usb/lp7"}).options, messages);
        MainWindow &main = showUp(shell);
        QCOMPARE(main.contextMenuPolicy(), Qt::ActionsContextMenu);
        // The virtual printer's window comes back after it was closed.
        QVERIFY(shownVirtualPrinter() && shownVirtualPrinter()->close());
        child<QAction>(main, QStringLiteral("actionShowVirtualPrinter"))->trigger();
        QVERIFY(shownVirtualPrinter());
        // The check window holds a text for the back when the printer changes.
        click(main, QStringLiteral("Command4"));
        QWidget &check = *child<QWidget>(main, QStringLiteral("Cheque"));
        QVERIFY(activate(check)); // it loads its data then
        child<QPlainTextEdit>(check, QStringLiteral("Text7"))
            ->setPlainText(QStringLiteral("verso"));
        click(main, QStringLiteral("Option3"));

        QTest::keyClick(&check, Qt::Key_Comma, Qt::ControlModifier);
        auto &dialog = *child<PrinterSetupDialog>(main, QString());
        QVERIFY(dialog.isVisible());
        grabToPng(&dialog, QStringLiteral("ConfiguracaoImpressora"));
        child<QAbstractButton>(dialog, QStringLiteral("ports"))->click();
        child<QComboBox>(dialog, QStringLiteral("com1Device"))->setEditText(pty.path);
        QTest::mouseClick(child<QDialogButtonBox>(dialog, QString())
                              ->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
            Qt::LeftButton);
        QTRY_VERIFY(!main.findChild<PrinterSetupDialog *>());

        QCOMPARE(child<QPlainTextEdit>(check, QStringLiteral("Text7"))->toPlainText(),
            QStringLiteral("verso"));
        click(check, QStringLiteral("Command4"));
        QCOMPARE(pty.read().contains("verso"), accept);
        QCOMPARE(bool(shownVirtualPrinter()), !accept);
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QCOMPARE(shell.printer().ports.lpt2, QStringLiteral("/dev/usb/lp7"));
        // The file keeps what the dialog changed, not what the command line gave for this run.
        const settings::Loaded file = settings::read(settings::defaultPath());
        QVERIFY(file.problem.isEmpty());
        QCOMPARE(file.settings.printer,
            accept ? PrinterSettings::Printer::Ports : PrinterSettings::Printer::Virtual);
        QCOMPARE(file.settings.ports.com1, accept ? pty.path : PortSettings().com1);
        QCOMPARE(file.settings.ports.lpt2, PortSettings().lpt2);
    }

    void continuousStatus_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("read"); // each status read; empty: none
        QTest::addColumn<QString>("error");
        row("LPT2", "Option2", "Estado 632", "");
        row("COM1, nothing to read", "Option3", "", "");
        row("a read fails", "Option1", "Estado 888", "Sem resposta em /dev/lp0.");
    }

    void continuousStatus()
    {
        QFETCH(QString, option);
        QFETCH(QString, read);
        QFETCH(QString, error);
        TestServices t;
        MainWindow w(t.services());
        click(w, option);
        t.link.calls.clear();
        t.link.statuses = {0x18, 0x80};
        t.link.estadoError = error;
        QAction *continuous = child<QAction>(w, QStringLiteral("actionContinuousStatus"));
        QVERIFY(!continuous->isChecked());
        continuous->setChecked(true);
        QTest::qWait(700);
        const QStringList reads = t.link.trace().split(QStringLiteral(", "), Qt::SkipEmptyParts);
        // A failing read is told once and turns the updates off.
        QCOMPARE(continuous->isChecked(), error.isEmpty());
        QCOMPARE(t.messages.texts,
            error.isEmpty()
                ? QStringList()
                : QStringList {"A atualização contínua do estado foi desligada: " + error});
        if (!error.isEmpty() || read.isEmpty()) {
            QCOMPARE(reads, read.isEmpty() ? QStringList() : QStringList {read});
            return;
        }
        QVERIFY2(reads.size() >= 2 && reads.size() <= 4, qPrintable(reads.join(' ')));
        QCOMPARE(reads.count(read), reads.size());
        QCOMPARE(statusBits(w).front(), QLatin1Char('1'));
    }

    void dialogTestsAndSendsOnTheDeviceShown()
    {
        PseudoTerminal pty;
        RecordingMessages messages;
        int released = 0;
        PrinterSettings current;
        current.printer = PrinterSettings::Printer::Ports;
        current.ports.writeTimeout = 2s;
        PrinterSetupDialog::Context context;
        context.messages = &messages;
        context.testLine = QStringLiteral("Olá");
        context.releasePorts = [&released] { ++released; };
        context.serialPorts = [&pty] {
            return QList<port_discovery::SerialEntry> {{pty.path, "Adaptador USB", "ACME", "A1"}};
        };
        PrinterSetupDialog dialog(current, context);
        dialog.show();
        QVERIFY(released > 0); // before the devices were listed

        auto *com1 = child<QComboBox>(dialog, QStringLiteral("com1Device"));
        auto *state = child<QLabel>(dialog, QStringLiteral("com1State"));
        QCOMPARE(
            com1->itemText(0), pty.path + QStringLiteral(" — Adaptador USB, ACME, nº de série A1"));
        com1->setCurrentIndex(0);
        QTRY_COMPARE(state->text(), pty.path + QStringLiteral(" está pronto para uso."));

        released = 0;
        click(dialog, QStringLiteral("com1Test"));
        QCOMPARE(released, 1);
        QVERIFY2(state->text().startsWith("COM1 abriu e fechou em " + pty.path),
            qPrintable(state->text()));
        // Closing a serial line drops what its far end has not read yet: the line goes to LPT1, on
        // a FIFO whose reader is the test.
        const FifoPrinter lpt1(m_home.filePath(QStringLiteral("lp")));
        child<QComboBox>(dialog, QStringLiteral("lpt1Device"))->setEditText(lpt1.path);
        click(dialog, QStringLiteral("lpt1Send"));
        QCOMPARE(released, 2);
        // "Olá" in cp1252, a line feed
        QCOMPARE(readFrom(lpt1.reader), QByteArray::fromHex("4f6ce10a"));
        QCOMPARE(child<QLabel>(dialog, QStringLiteral("lpt1State"))->text(),
            "4 bytes enviados para LPT1 em " + lpt1.path + ".");

        dialog.accept();
        QCOMPARE(dialog.chosen().ports.com1, pty.path);
        QVERIFY(messages.texts.isEmpty());
    }

    // Every value that cannot be used is told, in one message, and nothing is taken.
    void dialogRefusesWhatCannotBeUsed()
    {
        RecordingMessages messages;
        PrinterSetupDialog::Context context;
        context.messages = &messages;
        context.serialPorts = [] { return QList<port_discovery::SerialEntry>(); };
        PrinterSetupDialog dialog(PrinterSettings(), context);
        child<QComboBox>(dialog, QStringLiteral("serial-speed"))
            ->setEditText(QStringLiteral("abc"));
        child<QComboBox>(dialog, QStringLiteral("lpt2Device"))->setEditText(QString());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(messages.texts,
            QStringList {"A configuração não foi aplicada. Corrija:\n- LPT2 \"\": use o caminho "
                         "do dispositivo\n- Velocidade \"abc\": use um número de 50 a 4000000"});
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TstPrinterSetup)
#include "tst_printer_setup.moc"
