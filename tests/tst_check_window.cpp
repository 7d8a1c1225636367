#include "app/main_window.h"
#include "app/text_fields.h"
#include "check/check_window.h"
#include "tests/support/test_services.h"

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kNoLayout = QStringLiteral("O banco selecionado não tem formato programado. Ajuste-o "
                                         "ou serão usadas as medidas padronizadas.");
const QByteArray kTwoBanks = "001|08|08|06|07|07|10|05\r\n"
                             "237|09|08|06|07|07|10|05\r\n";
const QByteArray kStored = QByteArray::fromHex("3233370d0a"
                                               "5224a0322e3334352c39380d0a"
                                               "4a6f73e90d0a"
                                               "6f627320310d0a"
                                               "6f627320320d0a"
                                               "53e36f205061756c6f0d0a"
                                               "414243");

// A check window beside another window of the program to switch to.
struct Fixture
{
    TestServices t;
    CheckWindow check {t.services(), [] { return 888; }};
    QWidget other;

    QDir dir() const { return QDir(t.dir.path()); }
    void write(const char *name, const QByteArray &bytes) const
    {
        QFile f(dir().filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const char *name) const
    {
        QFile f(dir().filePath(QLatin1String(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    template <class T = LineField> T *w(QWidget &window, const char *name)
    {
        auto *found = window.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *name)
    {
        if (qstrcmp(name, "Text7") == 0)
            return w<TextField>(check, name)->text();
        return w(check, name)->text();
    }
    // Waits for the system to hand the focus over: a parent counts as active while a window
    // of its own has the focus, so isActiveWindow() cannot tell.
    static bool activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitFor(
            [&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
    }
    void click(QWidget &window, const char *name)
    {
        QTest::mouseClick(w<QPushButton>(window, name), Qt::LeftButton);
    }
};

} // namespace

class TstCheckWindow : public QObject
{
    Q_OBJECT
private slots:
    void activationFillsTheFieldsWithToday();
    void missingFileStartsEmptyAndIsCreated();
    void deactivationWritesAndTheDateIsAlwaysToday();
    void otherApplicationsAndDialogsDoNotCount();
    void fechar();
    void fileFailuresAreToldOnceAndKeepTheFields();
    void bankValidation_data();
    void bankValidation();
    void valueValidation_data();
    void valueValidation();
    void leavingTheWindowValidatesNothing();
    void formatoDoChequeValidatesFirst();
    void editorRefills_data();
    void editorRefills();
    void editorRefillsOnEveryActivation();
    void aceitarSaves_data();
    void aceitarSaves();
    void aceitarRefuses_data();
    void aceitarRefuses();
    void aceitarReportsAFailedSave();
    void cancelarAndCloseSaveNothing();
    void mainWindowOpensTheCheckWindow();
    void grabsPictures();
};

void TstCheckWindow::activationFillsTheFieldsWithToday()
{
    Fixture f;
    f.write("Dados_cheque.txt", kStored);
    QVERIFY(f.activate(f.check));
    QCOMPARE(f.text("Text1"), QStringLiteral("237"));
    QCOMPARE(f.text("Text2"), QStringLiteral("R$\u00a02.345,98"));
    QCOMPARE(f.text("Text3"), QStringLiteral("José"));
    QCOMPARE(f.text("Text4"), QStringLiteral("19/12/2007"));
    QCOMPARE(f.text("Text5"), QStringLiteral("obs 1"));
    QCOMPARE(f.text("Text6"), QStringLiteral("obs 2"));
    QCOMPARE(f.text("Text8"), QStringLiteral("São Paulo"));
    QCOMPARE(f.text("Text7"), QStringLiteral("ABC\r\n"));
    // Filling runs no validation.
    QCOMPARE(f.check.Formato_cheque, QString());
    QVERIFY(f.t.messages.texts.isEmpty());
    QCOMPARE(f.check.focusWidget(), f.w(f.check, "Text1"));
}

void TstCheckWindow::missingFileStartsEmptyAndIsCreated()
{
    Fixture f;
    QVERIFY(f.activate(f.check));
    for (const char *name : {"Text1", "Text2", "Text3", "Text5", "Text6", "Text7", "Text8"})
        QVERIFY2(f.text(name).isEmpty(), name);
    QCOMPARE(f.text("Text4"), QStringLiteral("19/12/2007"));
    QCOMPARE(f.read("Dados_cheque.txt"), QByteArray("<missing>"));
    QVERIFY(f.activate(f.other));
    QCOMPARE(f.read("Dados_cheque.txt"), QByteArray::fromHex("0d0a0d0a0d0a0d0a0d0a0d0a"));
    QVERIFY(f.t.messages.texts.isEmpty());
}

void TstCheckWindow::deactivationWritesAndTheDateIsAlwaysToday()
{
    Fixture f;
    f.write("Dados_cheque.txt", kStored);
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text3")->setText(QStringLiteral("Ana"));
    f.w(f.check, "Text4")->setText(QStringLiteral("01/01/2001"));
    f.w<TextField>(f.check, "Text7")->setText(QStringLiteral("X\r\nY"));
    QVERIFY(f.activate(f.other));
    QByteArray expected = kStored;
    expected.replace(QByteArray::fromHex("4a6f73e9"), "Ana");
    expected.replace("ABC", "X\r\nY");
    QCOMPARE(f.read("Dados_cheque.txt"), expected);

    f.t.clock.date = QDate(2008, 3, 5);
    QVERIFY(f.activate(f.check));
    QCOMPARE(f.text("Text3"), QStringLiteral("Ana"));
    QCOMPARE(f.text("Text4"), QStringLiteral("05/03/2008"));
    QCOMPARE(f.text("Text7"), QStringLiteral("X\r\nY\r\n"));
}

void TstCheckWindow::otherApplicationsAndDialogsDoNotCount()
{
    Fixture f;
    f.write("Dados_cheque.txt", kStored);
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text3")->setText(QStringLiteral("typed"));
    f.write("Dados_cheque.txt", "changed elsewhere\r\n");

    // The system reports that no window of the program has the focus, then this one again.
    emit qGuiApp->focusWindowChanged(nullptr);
    emit qGuiApp->focusWindowChanged(f.check.windowHandle());
    QCOMPARE(f.read("Dados_cheque.txt"), QByteArray("changed elsewhere\r\n"));
    QCOMPARE(f.text("Text3"), QStringLiteral("typed"));

    QDialog dialog(&f.check);
    dialog.setModal(true);
    QVERIFY(f.activate(dialog));
    QCOMPARE(f.read("Dados_cheque.txt"), QByteArray("changed elsewhere\r\n"));
    dialog.hide();
    QVERIFY(f.activate(f.check));
    QCOMPARE(f.text("Text3"), QStringLiteral("typed"));
    QCOMPARE(f.text("Text1"), QStringLiteral("237"));

    // A real switch still counts afterwards.
    QVERIFY(f.activate(f.other));
    QVERIFY(f.read("Dados_cheque.txt").startsWith("237\r\n"));
}

void TstCheckWindow::fechar()
{
    Fixture f;
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("341"));
    f.click(f.check, "Command2");
    QVERIFY(!f.check.isVisible());
    QVERIFY(f.read("Dados_cheque.txt").startsWith("341\r\n"));
    QCOMPARE(f.text("Text1"), QStringLiteral("341"));
}

void TstCheckWindow::fileFailuresAreToldOnceAndKeepTheFields()
{
    Fixture f;
    QVERIFY(f.dir().mkpath(QStringLiteral("Dados_cheque.txt/inside")));
    QVERIFY(f.activate(f.check));
    QCOMPARE(f.t.messages.texts,
        QStringList {QStringLiteral("Não foi possível ler Dados_cheque.txt: é uma pasta")});
    f.w(f.check, "Text3")->setText(QStringLiteral("typed"));
    QVERIFY(f.activate(f.other));
    QCOMPARE(f.t.messages.texts.size(), 2);
    QCOMPARE(f.t.messages.texts.last(),
        QStringLiteral("Não foi possível gravar Dados_cheque.txt: é uma pasta"));
    // The same failures again are not told again, and the typed text stays.
    QVERIFY(f.activate(f.check));
    QVERIFY(f.activate(f.other));
    QVERIFY(f.activate(f.check));
    QCOMPARE(f.t.messages.texts.size(), 2);
    QCOMPARE(f.text("Text3"), QStringLiteral("typed"));
}

void TstCheckWindow::bankValidation_data()
{
    QTest::addColumn<QByteArray>("table"); // empty: no table file
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("message");
    QTest::newRow("found") << kTwoBanks << "237"
                           << "09080607071005" << false;
    QTest::newRow("not found") << kTwoBanks << "104"
                               << "08080607071005" << true;
    QTest::newRow("1 does not find 001") << kTwoBanks << "1"
                                         << "08080607071005" << true;
    QTest::newRow("empty bank") << kTwoBanks << ""
                                << "" << false;
    QTest::newRow("no table") << QByteArray() << "001"
                              << "08080607071005" << true;
}

void TstCheckWindow::bankValidation()
{
    QFETCH(QByteArray, table);
    QFETCH(QString, bank);
    QFETCH(QString, layout);
    QFETCH(bool, message);
    Fixture f;
    if (!table.isEmpty())
        f.write("Formato_cheque.txt", table);
    QVERIFY(f.activate(f.check));
    auto *text1 = f.w(f.check, "Text1");
    text1->setFocus();
    QTest::keyClicks(text1, bank);
    QTest::keyClick(text1, Qt::Key_Tab);
    QCOMPARE(f.check.Formato_cheque, layout);
    QCOMPARE(f.t.messages.texts, message ? QStringList {kNoLayout} : QStringList());
    // The focus moved on in every case.
    QCOMPARE(f.check.focusWidget(), f.w(f.check, "Text2"));
}

void TstCheckWindow::valueValidation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("amount") << "2345,98" << QStringLiteral("R$\u00a02.345,98");
    QTest::newRow("not an amount") << "abc"
                                   << "abc";
    QTest::newRow("empty") << ""
                           << "";
}

void TstCheckWindow::valueValidation()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Fixture f;
    QVERIFY(f.activate(f.check));
    auto *text2 = f.w(f.check, "Text2");
    text2->setFocus();
    QTest::keyClicks(text2, typed);
    QTest::keyClick(text2, Qt::Key_Tab);
    QCOMPARE(text2->text(), shown);
    QCOMPARE(f.check.focusWidget(), f.w(f.check, "Text3"));
    QVERIFY(f.t.messages.texts.isEmpty());
}

void TstCheckWindow::leavingTheWindowValidatesNothing()
{
    Fixture f;
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text2")->setFocus();
    QTest::keyClicks(f.w(f.check, "Text2"), QStringLiteral("1500"));
    f.w(f.check, "Text1")->setFocus();
    QTest::keyClicks(f.w(f.check, "Text1"), QStringLiteral("104"));
    QVERIFY(f.activate(f.other));
    QVERIFY(f.t.messages.texts.isEmpty());
    QCOMPARE(f.check.Formato_cheque, QString());
    QVERIFY(f.activate(f.check));
    QVERIFY(f.t.messages.texts.isEmpty());
}

void TstCheckWindow::formatoDoChequeValidatesFirst()
{
    Fixture f;
    f.write("Formato_cheque.txt", kTwoBanks);
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("237"));
    f.w(f.check, "Text3")->setFocus();
    f.click(f.check, "Command5");
    QCOMPARE(f.check.Formato_cheque, QStringLiteral("09080607071005"));
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Formato"));
    QCOMPARE(f.w(*editor, "Text1")->text(), QStringLiteral("09"));
    QVERIFY(f.t.messages.texts.isEmpty());
}

void TstCheckWindow::editorRefills_data()
{
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QStringList>("boxes"); // Text8, then Text1 to Text7
    QTest::addColumn<int>("messages");
    QTest::newRow("no layout line: the default")
        << "104" << QStringList {"104", "08", "08", "06", "07", "07", "10", "05"} << 1;
    QTest::newRow("empty bank: all empty")
        << "" << QStringList {"", "", "", "", "", "", "", ""} << 0;
    QTest::newRow("eight characters")
        << "002" << QStringList {"002", "88", "67", "71", "05", "", "", ""} << 0;
}

void TstCheckWindow::editorRefills()
{
    QFETCH(QString, bank);
    QFETCH(QStringList, boxes);
    QFETCH(int, messages);
    Fixture f;
    f.write("Formato_cheque.txt", kTwoBanks + "002|8|8|6|7|7|10|5\r\n");
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(bank);
    f.click(f.check, "Command5");
    QCOMPARE(f.t.messages.texts.size(), messages);
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    QStringList shown;
    for (const char *name :
        {"Text8", "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
        shown << f.w(*editor, name)->text();
    QCOMPARE(shown, boxes);
    QCOMPARE(editor->focusWidget(), f.w(*editor, "Text2"));
}

void TstCheckWindow::editorRefillsOnEveryActivation()
{
    Fixture f;
    f.write("Formato_cheque.txt", kTwoBanks);
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("001"));
    f.click(f.check, "Command5");
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    f.w(*editor, "Text3")->setText(QStringLiteral("99"));
    f.w(*editor, "Text8")->setText(QStringLiteral("999"));
    QVERIFY(f.activate(f.check));
    QVERIFY(f.activate(*editor));
    QCOMPARE(f.w(*editor, "Text3")->text(), QStringLiteral("06"));
    QCOMPARE(f.w(*editor, "Text8")->text(), QStringLiteral("001"));
    // A dialog over the editor does not refill it.
    f.w(*editor, "Text3")->setText(QStringLiteral("99"));
    QDialog dialog(editor);
    dialog.setModal(true);
    QVERIFY(f.activate(dialog));
    dialog.hide();
    QVERIFY(f.activate(*editor));
    QCOMPARE(f.w(*editor, "Text3")->text(), QStringLiteral("99"));
}

void TstCheckWindow::aceitarSaves_data()
{
    QTest::addColumn<QStringList>("boxes"); // Text8, then Text1 to Text7
    QTest::addColumn<QByteArray>("table");
    QTest::newRow("new bank in order")
        << QStringList {"104", "09", "08", "06", "07", "07", "10", "05"}
        << QByteArray("001|08|08|06|07|07|10|05\r\n"
                      "104|09|08|06|07|07|10|05\r\n"
                      "237|09|08|06|07|07|10|05\r\n");
    QTest::newRow("one digit gains its zero") << QStringList {"341", "9", "8", "6", "7", "7", "10",
        "5"} << kTwoBanks + "341|09|08|06|07|07|10|05\r\n";
}

void TstCheckWindow::aceitarSaves()
{
    QFETCH(QStringList, boxes);
    QFETCH(QByteArray, table);
    Fixture f;
    f.write("Formato_cheque.txt", kTwoBanks);
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("001"));
    f.click(f.check, "Command5");
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    int i = 0;
    for (const char *name :
        {"Text8", "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
        f.w(*editor, name)->setText(boxes.at(i++));
    f.click(*editor, "Command1");
    QVERIFY(!editor->isVisible());
    QCOMPARE(f.read("Formato_cheque.txt"), table);
    QCOMPARE(f.read("Formato_cheque.bak"), kTwoBanks);
    QVERIFY(f.t.messages.texts.isEmpty());
    // The check window keeps its layout until the bank is validated again.
    QCOMPARE(f.check.Formato_cheque, QStringLiteral("08080607071005"));
    QCOMPARE(f.text("Text1"), QStringLiteral("001"));
}

void TstCheckWindow::aceitarRefuses_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("short bank") << "Text8"
                                << "34"
                                << "O código do banco deve ter três algarismos.";
    QTest::newRow("empty field") << "Text3"
                                 << ""
                                 << "A medida 3 (entre as duas linhas do valor por extenso) deve "
                                    "ter um ou dois algarismos.";
    QTest::newRow("letters") << "Text7"
                             << "ab"
                             << "A medida 7 (entre Observações 1 e Observações 2) deve ter um ou "
                                "dois algarismos.";
}

void TstCheckWindow::aceitarRefuses()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    Fixture f;
    f.write("Formato_cheque.txt", kTwoBanks);
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("237"));
    f.click(f.check, "Command5");
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    f.w(*editor, qPrintable(box))->setText(typed);
    f.click(*editor, "Command1");
    QCOMPARE(f.t.messages.texts, QStringList {message});
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->focusWidget(), f.w(*editor, qPrintable(box)));
    QCOMPARE(f.read("Formato_cheque.txt"), kTwoBanks);
    QCOMPARE(f.read("Formato_cheque.bak"), QByteArray("<missing>"));
    QCOMPARE(f.read("Formato_temp.txt"), QByteArray("<missing>"));
}

void TstCheckWindow::aceitarReportsAFailedSave()
{
    Fixture f;
    f.write("Formato_cheque.txt", kTwoBanks);
    QVERIFY(f.dir().mkpath(QStringLiteral("Formato_cheque.bak/inside")));
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("104"));
    f.click(f.check, "Command5");
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    f.t.messages.texts.clear();
    f.click(*editor, "Command1");
    QCOMPARE(f.t.messages.texts,
        QStringList {
            QStringLiteral("O formato não foi gravado (Formato_cheque.bak: é uma pasta).")});
    QVERIFY(editor->isVisible());
    QCOMPARE(f.read("Formato_cheque.txt"), kTwoBanks);
    QCOMPARE(f.read("Formato_temp.txt"), QByteArray("<missing>"));
}

void TstCheckWindow::cancelarAndCloseSaveNothing()
{
    Fixture f;
    QVERIFY(f.activate(f.check));
    f.w(f.check, "Text1")->setText(QStringLiteral("237"));
    f.click(f.check, "Command5");
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    f.click(*editor, "Command2");
    QVERIFY(!editor->isVisible());
    QVERIFY(f.activate(*editor));
    QVERIFY(editor->close());
    QVERIFY(!editor->isVisible());
    for (const char *name : {"Formato_cheque.txt", "Formato_cheque.bak", "Formato_temp.txt"})
        QCOMPARE(f.read(name), QByteArray("<missing>"));
}

void TstCheckWindow::mainWindowOpensTheCheckWindow()
{
    TestServices t;
    MainWindow main(t.services());
    QVERIFY(Fixture::activate(main));
    QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    auto *check = main.findChild<CheckWindow *>(QStringLiteral("Cheque"));
    QVERIFY(check);
    QVERIFY(QTest::qWaitFor(
        [check] { return QGuiApplication::focusWindow() == check->windowHandle(); }));
    QCOMPARE(check->windowTitle(), QStringLiteral("Cheque"));
    QCOMPARE(check->findChild<QLineEdit *>(QStringLiteral("Text4"))->text(),
        QStringLiteral("19/12/2007"));
    // Back to the main window writes the data; "Cheque" again shows the same window.
    QVERIFY(Fixture::activate(main));
    QVERIFY(QFile::exists(QDir(t.dir.path()).filePath(QStringLiteral("Dados_cheque.txt"))));
    QTest::mouseClick(main.findChild<QPushButton *>(QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(main.findChildren<CheckWindow *>().size(), 1);
}

void TstCheckWindow::grabsPictures()
{
    Fixture f;
    f.write("Dados_cheque.txt", kStored);
    QVERIFY(f.activate(f.check));
    grabToPng(&f.check, QStringLiteral("Cheque"));
    f.click(f.check, "Command5");
    auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
    QVERIFY(f.activate(*editor));
    grabToPng(editor, QStringLiteral("Formato"));
}

QTEST_MAIN(TstCheckWindow)
#include "tst_check_window.moc"
