#include "app/main_window.h"
#include "check/check_window.h"
#include "tests/support/test_services.h"
#include "ui/text_fields.h"

#include <QDialog>
#include <QFile>
#include <QPushButton>

namespace {

const QString kNoLayout = QStringLiteral("O banco selecionado não tem formato programado. Ajuste-o "
                                         "ou serão usadas as medidas padronizadas.");
const QString kInsert = QStringLiteral("Insira o cheque para impressão");
const QString kFailed = QStringLiteral("Houve um problema na execução do comando");
constexpr char kData[] = "Dados_cheque.txt";
constexpr char kTable[] = "Formato_cheque.txt";
const QByteArray kMissing = "<missing>";
const QByteArray kFolder = "<folder>"; // a folder stands where the file goes
const QByteArray kTwoBanks = "001|08|08|06|07|07|10|05\r\n237|09|08|06|07|07|10|05\r\n";
const QByteArray kThreeBanks = kTwoBanks + "341|8|8|6|7|7|10|5\r\n";

QByteArray hex(const char *digits)
{
    return QByteArray::fromHex(digits);
}

const QByteArray kStored = hex("3233370d0a 5224a0322e3334352c39380d0a 4a6f73e90d0a"
                               "6f627320310d0a 6f627320320d0a 53e36f205061756c6f0d0a"
                               "414243");
// The front of the check that prints() types in.
const QList<QByteArray> kFront
    = {hex("1b2e35393031 4a6f73e9 7d"), hex("1b2e35393032 53e36f205061756c6f 7d"),
        hex("1b2e35393033 313931323037 7d"), hex("1b2e35393034 303030303030323334353938 7d"),
        hex("1b2e35393035 617d62 7d"), hex("1b2e35393036 6f627332 7d"),
        hex("1b2e35393037 5245414c 7d"), hex("1b2e35393038 5245414953 7d"),
        hex("1b2e35393039 3030304e 3039303830363037303731303035 7d")};
const QStringList kFields
    = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8"};
// The editor's boxes: the bank, then the seven gaps.
const QStringList kBoxes = {"Text8", "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"};

// One table row on one line.
template <class... T> void row(const char *name, const T &...columns)
{
    (QTest::newRow(name) << ... << columns);
}

QStringList oneOrNone(const QString &message)
{
    return message.isEmpty() ? QStringList() : QStringList {message};
}

// A check window beside another window of the program to switch to.
struct Fixture
{
    TestServices t;
    int porta = 888;
    CheckWindow check {t.services(), [this] { return porta; }};
    QWidget other;

    void put(const char *name, const QByteArray &bytes) const
    {
        QFile f(t.dir.filePath(QLatin1String(name)));
        if (bytes == kFolder)
            QVERIFY(QDir().mkpath(f.fileName() + QStringLiteral("/inside")));
        else if (bytes != kMissing)
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    QByteArray read(const char *name) const
    {
        QFile f(t.dir.filePath(QLatin1String(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : kMissing;
    }
    template <class T = LineField> static T *w(QWidget &window, const QString &name)
    {
        return window.findChild<T *>(name);
    }
    // The texts of the named boxes as one line, "|" between them, and back.
    static QString line(QWidget &window, const QStringList &names)
    {
        QStringList out;
        for (const QString &name : names) {
            auto *back = w<TextField>(window, name);
            out << (back ? back->text() : w(window, name)->text());
        }
        return out.join(QLatin1Char('|'));
    }
    static void setLine(QWidget &window, const QStringList &names, const QString &line)
    {
        const QStringList texts = line.split(QLatin1Char('|'));
        for (int i = 0; i < names.size(); ++i) {
            auto *back = w<TextField>(window, names[i]);
            back ? back->setText(texts[i]) : w(window, names[i])->setText(texts[i]);
        }
    }
    QString text(const QString &name) { return line(check, {name}); }
    void set(const QString &name, const QString &text) { setLine(check, {name}, text); }
    // Waits for the system to hand the focus over: a parent counts as active while a window
    // of its own has the focus, so isActiveWindow() cannot tell.
    static bool activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitFor(
            [&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
    }
    static void click(QWidget &window, const char *name)
    {
        QTest::mouseClick(w<QPushButton>(window, QLatin1String(name)), Qt::LeftButton);
    }
};

} // namespace

class TstCheckWindow : public QObject
{
    Q_OBJECT
private slots:
    void dataFileFollowsActivation_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("leave"); // for another window, or with the button that closes
        QTest::addColumn<QString>("shown"); // Text1 to Text8 at activation
        QTest::addColumn<QString>("back"); // typed, with "Ana" as payee
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("reread"); // Text1 to Text8 at the next activation, a day later
        const QString fromFile
            = QStringLiteral("237|R$\u00a02.345,98|José|19/12/2007|obs 1|obs 2|ABC\r\n|São Paulo");
        const QByteArray lines = hex("3233370d0a 5224a0322e3334352c39380d0a 416e610d0a"
                                     "6f627320310d0a 6f627320320d0a 53e36f205061756c6f0d0a");
        row("no final break, left for another window", kStored, "other", fromFile, "X\r\nY",
            lines + "X\r\nY",
            "237|R$\u00a02.345,98|Ana|20/12/2007|obs 1|obs 2|X\r\nY\r\n|São Paulo");
        row("final break, left with Fechar", kStored, "Command2", fromFile, "X\r\n",
            lines + "X\r\n", "237|R$\u00a02.345,98|Ana|20/12/2007|obs 1|obs 2|X\r\n|São Paulo");
        row("missing file, empty back", kMissing, "other", "|||19/12/2007||||", "",
            hex("0d0a0d0a416e610d0a0d0a0d0a0d0a"), "||Ana|20/12/2007||||");
    }

    void dataFileFollowsActivation()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, leave);
        QFETCH(QString, shown);
        QFETCH(QString, back);
        QFETCH(QByteArray, written);
        QFETCH(QString, reread);
        Fixture f;
        f.put(kData, stored);
        QVERIFY(f.activate(f.check));
        QCOMPARE(Fixture::line(f.check, kFields), shown);
        QCOMPARE(f.read(kData), stored);
        Fixture::setLine(f.check, {"Text3", "Text4", "Text7"}, "Ana|01/01/2001|" + back);
        if (leave == QLatin1String("other"))
            QVERIFY(f.activate(f.other));
        else
            Fixture::w<QPushButton>(f.check, leave)->click();
        QCOMPARE(f.check.isVisible(), leave == QLatin1String("other"));
        QCOMPARE(f.read(kData), written);
        f.t.clock.date = QDate(2007, 12, 20);
        // Back from another window, where the focus goes once the check window is closed.
        QVERIFY(f.activate(f.other));
        QVERIFY(f.activate(f.check));
        QCOMPARE(Fixture::line(f.check, kFields), reread);
        QVERIFY(f.t.messages.texts.isEmpty());
    }

    void otherApplicationsAndDialogsDoNotCount()
    {
        Fixture f;
        QVERIFY(f.activate(f.check));
        f.w(f.check, "Text1")->setFocus();
        f.set("Text1", "104");
        f.put(kData, "changed elsewhere\r\n");
        // The system reports that no window of the program has the focus, then this one again.
        emit qGuiApp->focusWindowChanged(nullptr);
        emit qGuiApp->focusWindowChanged(f.check.windowHandle());
        QDialog dialog(&f.check);
        dialog.setModal(true);
        QVERIFY(f.activate(dialog));
        QCOMPARE(f.read(kData), QByteArray("changed elsewhere\r\n"));
        dialog.hide();
        QVERIFY(f.activate(f.check));
        QCOMPARE(f.text("Text1"), QStringLiteral("104"));
        // A real switch still counts; leaving the window validates nothing.
        QVERIFY(f.activate(f.other));
        QVERIFY(f.read(kData).startsWith("104\r\n"));
        QVERIFY(f.t.messages.texts.isEmpty());
    }

    void fileFailuresAreToldOnceAndKeepTheFields()
    {
        Fixture f;
        f.put(kData, kFolder);
        QVERIFY(f.activate(f.check));
        f.set("Text3", "typed");
        for (QWidget *window : QList<QWidget *> {&f.other, &f.check, &f.other, &f.check})
            QVERIFY(f.activate(*window));
        QCOMPARE(f.t.messages.texts,
            (QStringList {"Não foi possível ler Dados_cheque.txt: é uma pasta",
                "Não foi possível gravar Dados_cheque.txt: é uma pasta"}));
        QCOMPARE(f.text("Text3"), QStringLiteral("typed"));
    }

    void leavingAFieldValidates_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("message");
        const QString byDefault = QStringLiteral("08080607071005");
        row("bank: first of its lines", "237|01|02|03|04|05|06|07\r\n" + kTwoBanks, "Text1", "237",
            "237", "01020304050607", "");
        row("bank: short fields, short layout", QByteArray("001|8|8|6|7|7|10|5\r\n"), "Text1",
            "001", "001", "88677105", "");
        row("bank: code only", QByteArray("237\r\n"), "Text1", "237", "237", "", "");
        row("empty bank", kTwoBanks, "Text1", "", "", "", "");
        row("bank not in the table", kTwoBanks, "Text1", "104", "104", byDefault, kNoLayout);
        row("bank compared as text: 1 is not 001", kTwoBanks, "Text1", "1", "1", byDefault,
            kNoLayout);
        row("no table", kMissing, "Text1", "001", "001", byDefault, kNoLayout);
        row("unreadable table", kFolder, "Text1", "001", "001", byDefault,
            "Não foi possível ler Formato_cheque.txt: é uma pasta. Serão usadas as medidas "
            "padronizadas.");
        row("amount", kTwoBanks, "Text2", "2345,98", "R$\u00a02.345,98", "", "");
        row("not an amount", kTwoBanks, "Text2", "abc", "abc", "", "");
    }

    void leavingAFieldValidates()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, layout);
        QFETCH(QString, message);
        Fixture f;
        f.put(kTable, table);
        QVERIFY(f.activate(f.check));
        auto *box = f.w(f.check, field);
        box->setFocus();
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->text(), shown);
        QCOMPARE(f.check.Formato_cheque, layout);
        QCOMPARE(f.t.messages.texts, oneOrNone(message));
        // The focus moves on in every case.
        QCOMPARE(f.check.focusWidget(), box->nextInFocusChain());
    }

    void editor_data()
    {
        QTest::addColumn<QString>("bank"); // as "Formato do cheque" is pressed
        QTest::addColumn<QString>("shown"); // the boxes, bank first, at every activation
        QTest::addColumn<QString>("typed"); // then "Aceitar"; none: "Cancelar"
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // the box refused
        QTest::addColumn<QByteArray>("table"); // after
        const QString found = "237|09|08|06|07|07|10|05";
        row("found, cancelled", "237", found, "", "", "", kThreeBanks);
        row("eight characters", "341", "341|88|67|71|05|||", "", "", "", kThreeBanks);
        row("empty bank: all empty", "", "|||||||", "", "", "", kThreeBanks);
        row("no layout line: the default, saved in bank order", "104", "104|08|08|06|07|07|10|05",
            "104|09|08|06|07|07|10|05", kNoLayout, "",
            QByteArray("001|08|08|06|07|07|10|05\r\n104|09|08|06|07|07|10|05\r\n"
                       "237|09|08|06|07|07|10|05\r\n341|8|8|6|7|7|10|5\r\n"));
        row("replaced, one digit gains its zero", "237", found, "237|9|8|6|7|7|1|5", "", "",
            QByteArray("001|08|08|06|07|07|10|05\r\n237|09|08|06|07|07|01|05\r\n"
                       "341|8|8|6|7|7|10|5\r\n"));
        row("short bank", "237", found, "34|08|08|06|07|07|10|05",
            "O código do banco deve ter três algarismos.", "Text8", kThreeBanks);
        row("empty field", "237", found, "237|08|08||07|07|10|05",
            "A medida 3 (entre as duas linhas do valor por extenso) deve ter um ou dois "
            "algarismos.",
            "Text3", kThreeBanks);
        row("letters", "237", found, "237|08|08|06|07|07|10|ab",
            "A medida 7 (entre Observações 1 e Observações 2) deve ter um ou dois algarismos.",
            "Text7", kThreeBanks);
    }

    void editor()
    {
        QFETCH(QString, bank);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QByteArray, table);
        Fixture f;
        f.put(kTable, kThreeBanks);
        QVERIFY(f.activate(f.check));
        // "Formato do cheque" pressed with the focus on the bank number.
        f.w(f.check, "Text1")->setFocus();
        f.set("Text1", bank);
        f.click(f.check, "Command5");
        auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
        QVERIFY(editor && f.activate(*editor));
        QCOMPARE(Fixture::line(*editor, kBoxes), shown);
        // Every activation refills the boxes.
        Fixture::setLine(*editor, kBoxes, "999|99|99|99|99|99|99|99");
        QVERIFY(f.activate(f.check));
        QVERIFY(f.activate(*editor));
        QCOMPARE(Fixture::line(*editor, kBoxes), shown);
        if (!typed.isEmpty())
            Fixture::setLine(*editor, kBoxes, typed);
        f.click(*editor, typed.isEmpty() ? "Command2" : "Command1");
        // The press validates the bank once, not again as the focus leaves the bank number.
        QCOMPARE(f.t.messages.texts, oneOrNone(message));
        QCOMPARE(editor->isVisible(), !focus.isEmpty());
        if (!focus.isEmpty())
            QCOMPARE(editor->focusWidget(), f.w(*editor, focus));
        QCOMPARE(f.read(kTable), table);
        // The backup is the table as it was; a refused save leaves none, nor a temporary file.
        QCOMPARE(f.read("Formato_cheque.bak"), table == kThreeBanks ? kMissing : kThreeBanks);
        QCOMPARE(f.read("Formato_temp.txt"), kMissing);
    }

    void mainWindowOpensTheCheckWindow()
    {
        Fixture f; // only its files and services
        f.put(kData, kStored);
        MainWindow main(f.t.services());
        QVERIFY(Fixture::activate(main));
        Fixture::click(main, "Command4");
        auto *check = main.findChild<CheckWindow *>(QStringLiteral("Cheque"));
        QVERIFY(check && Fixture::activate(*check));
        QCOMPARE(Fixture::line(*check, {"Text1", "Text4"}), QStringLiteral("237|19/12/2007"));
        grabToPng(check, QStringLiteral("Cheque"));
        Fixture::click(*check, "Command5");
        auto *editor = check->findChild<QWidget *>(QStringLiteral("Formato"));
        QVERIFY(editor && Fixture::activate(*editor));
        grabToPng(editor, QStringLiteral("Formato"));
        // "Cheque" again shows the same window.
        QVERIFY(Fixture::activate(main));
        Fixture::click(main, "Command4");
        QCOMPARE(main.findChildren<CheckWindow *>().size(), 1);
    }

    void prints_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field"); // "Formato_cheque" for the window's layout
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("results"); // of the calls in turn; none: no library at all
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<QString>("message");
        const QList<int> ok = {0};
        const QList<QByteArray> none;
        // The whole check's front, with command n (1 to 9) changed to the bytes given.
        const auto front = [&](const char *name, const char *field, const QString &text, int n,
                               const char *changed) {
            QList<QByteArray> out = kFront;
            out[n - 1] = hex(changed);
            row(name, "Command1", field, text, ok, out, kInsert);
        };
        const QByteArray b15 = hex("1b2e353931357d"), b16 = hex("1b2e353931367d");
        // A back print that goes through.
        const auto back = [&](const char *name, const char *button, const QString &text,
                              const char *printed) {
            row(name, button, "Text7", text, ok, QList<QByteArray> {b15, hex(printed), b16}, "");
        };
        const QString date = "Data do cheque inválida.", value = "Valor do cheque inválido.";
        const QList<QByteArray> obs
            = {hex("1b2e35393035 617d62 7d"), hex("1b2e35393036 6f627332 7d"),
                hex("1b2e35393130 3030304e 3039303830363037303731303035 7d")};

        front("front: empty payee", "Text3", "", 1, "1b2e353930317d");
        front("front: default layout", "Formato_cheque", "08080607071005", 9,
            "1b2e35393039 3030304e 3038303830363037303731303035 7d");
        front("front: empty layout", "Formato_cheque", "", 9, "1b2e35393039 3030304e 7d");
        front("front: whole number in units", "Text2", "1500", 4,
            "1b2e35393034 303030303030313530303030 7d");
        front("front: empty value", "Text2", "", 4, "1b2e35393034 303030303030303030303030 7d");
        front("front: third decimal rounds", "Text2", "2345,987", 4,
            "1b2e35393034 303030303030323334353939 7d");
        front("front: twelve digits", "Text2", "9.999.999.999,99", 4,
            "1b2e35393034 393939393939393939393939 7d");
        front("front: year 2000", "Text4", "01/01/2000", 3, "1b2e35393033 303130313030 7d");
        front("front: one-digit day and month", "Text4", "5/3/2008", 3,
            "1b2e35393033 303530333038 7d");
        row("front: fifth refused", "Command1", "Text3", "José", QList<int> {0, 0, 0, 0, -2},
            kFront.mid(0, 5), kFailed);
        row("front: last refused", "Command1", "Text3", "José",
            QList<int> {0, 0, 0, 0, 0, 0, 0, 0, -1}, kFront, kFailed);
        row("front: no library", "Command1", "Text3", "José", QList<int>(), kFront.mid(0, 1),
            "Biblioteca ausente");
        row("front: no such day", "Command1", "Text4", "31/02/2008", ok, none, date);
        row("front: negative value", "Command1", "Text2", "R$\u00a0-5,00", ok, none, value);
        row("front: thirteen digits", "Command1", "Text2", "R$ 12.345.678.901,23", ok, none, value);
        row("front: not an amount", "Command1", "Text2", "cinco reais", ok, none, value);

        row("Só Obs: the date is not sent", "Command3", "Text4", "not a date", ok, obs, kInsert);

        back("indented", "Command6", "AB\r\nCD", "0a0d2020 41420d0a2020 4344");
        back("indented, empty", "Command6", "", "0a0d2020");
        back("plain", "Command4", "AB\r\nCD", "41420d0a4344");
        back("plain, ESC, brace and accents", "Command4", "\x1b}çã", "1b7d e7e3");
        row("plain: 16 refused", "Command4", "Text7", "", QList<int> {0, 0, -1},
            QList<QByteArray> {b15, QByteArray(), b16}, kFailed);
    }

    void prints()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QList<int>, results);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(f.activate(f.check));
        QList<QByteArray> got;
        int stalePorts = 0; // calls made with a port other than the one current at the time
        // Every call switches the port.
        f.t.link.onCall = [&f, &got, &stalePorts](const RecordingLink::Call &call) {
            got << call.bytes;
            stalePorts += call.port == f.porta ? 0 : 1;
            f.porta = f.porta == 888 ? 632 : 888;
        };
        // A whole check, away from the bank number, whose validation would set the layout when
        // left.
        f.w(f.check, "Text5")->setFocus();
        Fixture::setLine(f.check, kFields, "|R$\u00a02.345,98|José|19/12/2007|a}b|obs2||São Paulo");
        f.check.Formato_cheque = field == "Formato_cheque" ? text : "09080607071005";
        if (field != "Formato_cheque")
            f.set(field, text);
        for (int r : results)
            f.t.link.txResults << int16_t(r);
        if (results.isEmpty())
            f.t.link.txError = QStringLiteral("Biblioteca ausente");
        auto *pressed = Fixture::w<QPushButton>(f.check, button);
        // "Impr Verso" lies beyond the edge of its frame, out of sight, and works from code.
        QCOMPARE(pressed->visibleRegion().isEmpty(), button == QLatin1String("Command4"));
        pressed->click();
        QCOMPARE(got, sent);
        QCOMPARE(stalePorts, 0);
        QCOMPARE(f.t.messages.texts, oneOrNone(message));
        // Printing changes no field.
        if (field != QLatin1String("Formato_cheque"))
            QCOMPARE(f.text(field), text);
    }
};

QTEST_MAIN(TstCheckWindow)
#include "tst_check_window.moc"
