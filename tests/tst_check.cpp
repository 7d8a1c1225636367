#include "check/check_data.h"
#include "check/check_print.h"
#include "check/check_value.h"
#include "check/check_window.h"
#include "layout/layout_table.h"
#include "tests/support/test_services.h"
#include "ui/text_fields.h"

#include <QDateTime>
#include <QDialog>
#include <QPushButton>

namespace {

const QString kNoLayout = QStringLiteral("O banco selecionado não tem formato programado. Ajuste-o "
                                         "ou serão usadas as medidas padronizadas.");
const QString kData = QStringLiteral("Dados_cheque.txt"), kTable = "Formato_cheque.txt";
const QByteArray kTwoBanks = "001|08|08|06|07|07|10|05\r\n237|09|08|06|07|07|10|05\r\n";
const QByteArray kThreeBanks = kTwoBanks + "341|8|8|6|7|7|10|5\r\n";
const QByteArray kStored = QByteArray::fromHex("3233370d0a 5224a0322e3334352c39380d0a 4a6f73e90d0a"
                                               "6f627320310d0a 6f627320320d0a"
                                               "53e36f205061756c6f0d0a 414243");
const QStringList kFields
    = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8"};
// The editor's boxes: the bank, then the seven gaps.
const QStringList kBoxes = {"Text8", "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"};

LineField *box(QWidget &window, const QString &name)
{
    return window.findChild<LineField *>(name);
}

// The texts of the named boxes as one line, "|" between them, and back.
QString line(QWidget &window, const QStringList &names)
{
    QStringList out;
    for (const QString &name : names) {
        auto *back = window.findChild<TextField *>(name);
        out << (back ? back->text() : box(window, name)->text());
    }
    return out.join(QLatin1Char('|'));
}

void setLine(QWidget &window, const QStringList &names, const QString &line)
{
    const QStringList texts = line.split(QLatin1Char('|'));
    for (int i = 0; i < names.size(); ++i) {
        auto *back = window.findChild<TextField *>(names[i]);
        back ? back->setText(texts[i]) : box(window, names[i])->setText(texts[i]);
    }
}

// A check window beside another window of the program to switch to.
struct Fixture
{
    TestServices t;
    const QDir dir {t.dir.path()};
    int porta = 888;
    CheckWindow check {t.services(), [this] { return porta; }};
    QWidget other;
};

const QLocale kBrazil(QLocale::Portuguese, QLocale::Brazil);
// The check of sampleFront(): payee, city, date, value, observations 1 and 2, layout.
const QStringList kSample
    = {"José", "São Paulo", "19/12/2007", "R$\u00a02.345,98", "Obs 1", "Obs 2", "09080607071005"};

} // namespace

// The check window, the layout table, the check data file and the bytes of the check print.
class TstCheck : public QObject
{
    Q_OBJECT
private slots:
    void dataFileFollowsActivation_data()
    {
        // Columns: stored, leave, shown, back, written, reread.
        // leave: for another window, or with the button that closes
        // shown: Text1 to Text8 at activation
        // back: typed, with "Ana" as payee
        // reread: Text1 to Text8 at the next activation, a day later
        columns<QByteArray, QString, QString, QString, QByteArray, QString>();
        const QString fromFile
            = QStringLiteral("237|R$\u00a02.345,98|José|19/12/2007|obs 1|obs 2|ABC\r\n|São Paulo");
        const QByteArray lines = QByteArray::fromHex("3233370d0a 5224a0322e3334352c39380d0a"
                                                     "416e610d0a 6f627320310d0a 6f627320320d0a"
                                                     "53e36f205061756c6f0d0a");
        row("no final break, left for another window", kStored, "other", fromFile, "X\r\nY",
            lines + "X\r\nY",
            "237|R$\u00a02.345,98|Ana|20/12/2007|obs 1|obs 2|X\r\nY\r\n|São Paulo");
        row("final break, left with Fechar", kStored, "Command2", fromFile, "X\r\n",
            lines + "X\r\n", "237|R$\u00a02.345,98|Ana|20/12/2007|obs 1|obs 2|X\r\n|São Paulo");
        row("missing file, empty back", kMissing, "other", "|||19/12/2007||||", "",
            QByteArray::fromHex("0d0a0d0a416e610d0a0d0a0d0a0d0a"), "||Ana|20/12/2007||||");
    }

    void dataFileFollowsActivation()
    {
        auto [stored, leave, shown, back, written, reread]
            = fetch<QByteArray, QString, QString, QString, QByteArray, QString>();
        Fixture f;
        writeFile(f.dir, kData, stored);
        QVERIFY(activate(f.check));
        QCOMPARE(line(f.check, kFields), shown);
        QCOMPARE(readFile(f.dir, kData), stored);
        setLine(f.check, {"Text3", "Text4", "Text7"}, "Ana|01/01/2001|" + back);
        if (leave == QLatin1String("other"))
            QVERIFY(activate(f.other));
        else // from code: a real click would take the focus off the bank and validate it
            f.check.findChild<QPushButton *>(leave)->click();
        QCOMPARE(f.check.isVisible(), leave == QLatin1String("other"));
        QCOMPARE(readFile(f.dir, kData), written);
        f.t.clock.date = QDate(2007, 12, 20);
        // Back from another window, where the focus goes once the check window is closed.
        QVERIFY(activate(f.other));
        QVERIFY(activate(f.check));
        QCOMPARE(line(f.check, kFields), reread);
        QVERIFY(f.t.messages.texts.isEmpty());
    }

    void otherApplicationsAndDialogsDoNotCount()
    {
        Fixture f;
        QVERIFY(activate(f.check));
        box(f.check, "Text1")->setFocus();
        box(f.check, "Text1")->setText("104");
        writeFile(f.dir, kData, "changed elsewhere\r\n");
        // The system reports that no window of the program has the focus, then this one again.
        emit qGuiApp->focusWindowChanged(nullptr);
        emit qGuiApp->focusWindowChanged(f.check.windowHandle());
        QDialog dialog(&f.check);
        dialog.setModal(true);
        QVERIFY(activate(dialog));
        QCOMPARE(readFile(f.dir, kData), QByteArray("changed elsewhere\r\n"));
        dialog.hide();
        QVERIFY(activate(f.check));
        QCOMPARE(box(f.check, "Text1")->text(), QStringLiteral("104"));
        // A real switch still counts; leaving the window validates nothing.
        QVERIFY(activate(f.other));
        QVERIFY(readFile(f.dir, kData).startsWith("104\r\n"));
        QVERIFY(f.t.messages.texts.isEmpty());
    }

    void leavingAFieldValidates_data()
    {
        // Columns: table, field, typed, shown, layout, message.
        columns<QByteArray, QString, QString, QString, QString, QString>();
        const QString byDefault = QStringLiteral("08080607071005");
        row("bank: first of its lines", "237|01|02|03|04|05|06|07\r\n" + kTwoBanks, "Text1", "237",
            "237", "01020304050607", "");
        row("bank compared as text: 1 is not 001", kTwoBanks, "Text1", "1", "1", byDefault,
            kNoLayout);
        row("amount", kTwoBanks, "Text2", "2345,98", "R$\u00a02.345,98", "", "");
    }

    void leavingAFieldValidates()
    {
        auto [table, field, typed, shown, layout, message]
            = fetch<QByteArray, QString, QString, QString, QString, QString>();
        Fixture f;
        writeFile(f.dir, kTable, table);
        QVERIFY(activate(f.check));
        auto *left = box(f.check, field);
        left->setFocus();
        QTest::keyClicks(left, typed);
        QTest::keyClick(left, Qt::Key_Tab);
        QCOMPARE(left->text(), shown);
        QCOMPARE(f.check.Formato_cheque, layout);
        QCOMPARE(f.t.messages.texts.join(QLatin1Char('\n')), message);
        // The focus moves on in every case.
        QCOMPARE(f.check.focusWidget(), left->nextInFocusChain());
    }

    void editor_data()
    {
        // Columns: bank, shown, typed, message, focus, table.
        // bank: as "Formato do cheque" is pressed
        // shown: the boxes, bank first, at every activation
        // typed: then "Aceitar"; none: "Cancelar"
        // focus: the box refused
        // table: after
        columns<QString, QString, QString, QString, QString, QByteArray>();
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
    }

    void editor()
    {
        auto [bank, shown, typed, message, focus, table]
            = fetch<QString, QString, QString, QString, QString, QByteArray>();
        Fixture f;
        writeFile(f.dir, kTable, kThreeBanks);
        QVERIFY(activate(f.check));
        // "Formato do cheque" pressed with the focus on the bank number.
        box(f.check, "Text1")->setFocus();
        box(f.check, "Text1")->setText(bank);
        click(f.check, "Command5");
        auto *editor = f.check.findChild<QWidget *>(QStringLiteral("Formato"));
        QVERIFY(editor && activate(*editor));
        QCOMPARE(line(*editor, kBoxes), shown);
        // Every activation refills the boxes.
        setLine(*editor, kBoxes, "999|99|99|99|99|99|99|99");
        QVERIFY(activate(f.check));
        QVERIFY(activate(*editor));
        QCOMPARE(line(*editor, kBoxes), shown);
        if (!typed.isEmpty())
            setLine(*editor, kBoxes, typed);
        click(*editor, typed.isEmpty() ? "Command2" : "Command1");
        // The press validates the bank once, not again as the focus leaves the bank number.
        QCOMPARE(f.t.messages.texts.join(QLatin1Char('\n')), message);
        QCOMPARE(editor->isVisible(), !focus.isEmpty());
        if (!focus.isEmpty())
            QCOMPARE(editor->focusWidget(), box(*editor, focus));
        QCOMPARE(readFile(f.dir, kTable), table);
    }

    void prints_data()
    {
        // Columns: button, field, text, results, sent, message.
        // field: changed from the sample check
        // results: of the calls in turn; none: no library at all
        columns<QString, QString, QString, QList<int16_t>, QList<QByteArray>, QString>();
        const QList<int16_t> ok = {0};
        const QList<QByteArray> none, front = sampleFront();
        const QString insert = "Insira o cheque para impressão";
        const QString date = "Data do cheque inválida.", value = "Valor do cheque inválido.";
        const QByteArray b15 = QByteArray::fromHex("1b2e353931357d"),
                         b16 = QByteArray::fromHex("1b2e353931367d");
        row("front", "Command1", "", "", ok, front, insert);
        row("front: fifth refused", "Command1", "", "", QList<int16_t> {0, 0, 0, 0, -2},
            front.mid(0, 5), kFailed);
        row("front: no library", "Command1", "", "", QList<int16_t>(), front.mid(0, 1),
            "Biblioteca ausente");
        row("front: no such day", "Command1", "Text4", "31/02/2008", ok, none, date);
        row("front: not an amount", "Command1", "Text2", "cinco reais", ok, none, value);
        row("front: a character the printer cannot print", "Command1", "Text3", "Jos😀", ok, none,
            "Nada foi enviado: o texto tem um caractere que a impressora não imprime (😀).");
        row("Só Obs: the date is not sent", "Command3", "Text4", "not a date", ok,
            QList<QByteArray> {front[4], front[5],
                QByteArray::fromHex("1b2e35393130 3030304e 3039303830363037303731303035 7d")},
            insert);
        const QByteArray lines = QByteArray::fromHex("41420d0a4344");
        row("back, indented", "Command6", "Text7", "AB\r\nCD", ok,
            QList<QByteArray> {b15, QByteArray::fromHex("0a0d2020 41420d0a2020 4344"), b16}, "");
        row("back: 16 refused", "Command4", "Text7", "AB\r\nCD", QList<int16_t> {0, 0, -1},
            QList<QByteArray> {b15, lines, b16}, kFailed);
    }

    void prints()
    {
        auto [button, field, text, results, sent, message]
            = fetch<QString, QString, QString, QList<int16_t>, QList<QByteArray>, QString>();
        Fixture f;
        QVERIFY(activate(f.check));
        QList<QByteArray> got;
        int stalePorts = 0; // calls made with a port other than the one current at the time
        // Every call switches the port.
        f.t.link.onCall = [&f, &got, &stalePorts](const RecordingLink::Call &call) {
            got << call.bytes;
            stalePorts += call.port == f.porta ? 0 : 1;
            f.porta = f.porta == 888 ? 632 : 888;
        };
        // The sample check, away from the bank number, whose validation would set the layout
        // when left.
        box(f.check, "Text5")->setFocus();
        setLine(f.check, kFields, "|R$\u00a02.345,98|José|19/12/2007|Obs 1|Obs 2||São Paulo");
        f.check.Formato_cheque = QStringLiteral("09080607071005");
        if (!field.isEmpty())
            setLine(f.check, {field}, text);
        f.t.link.txResults = results;
        if (results.isEmpty())
            f.t.link.txError = QStringLiteral("Biblioteca ausente");
        auto *pressed = f.check.findChild<QPushButton *>(button);
        // "Impr Verso" lies beyond the edge of its frame, out of sight, and works from code.
        QCOMPARE(pressed->visibleRegion().isEmpty(), button == QLatin1String("Command4"));
        pressed->click();
        QCOMPARE(got, sent);
        QCOMPARE(stalePorts, 0);
        QCOMPARE(f.t.messages.texts.join(QLatin1Char('\n')), message);
        // Printing changes no field.
        if (!field.isEmpty())
            QCOMPARE(line(f.check, {field}), text);
    }

    void clickSurvivesTheBankMessage_data()
    {
        // Columns: button, messages, sent (the last command).
        columns<QString, QStringList, QByteArray>();
        row("Fechar", "Command2", QStringList {kNoLayout}, QByteArray());
        // The observations go out with the default layout the validation chose.
        row("Só Obs", "Command3", QStringList {kNoLayout, "Insira o cheque para impressão"},
            QByteArray::fromHex("1b2e35393130 3030304e 3038303830363037303731303035 7d"));
    }

    // A click on a button that takes the focus from the bank number: the bank's message first,
    // then what the click asked for, though the message box took the rest of the click.
    void clickSurvivesTheBankMessage()
    {
        auto [button, messages, sent] = fetch<QString, QStringList, QByteArray>();
        Fixture f;
        QVERIFY(activate(f.check));
        box(f.check, "Text1")->setFocus();
        box(f.check, "Text1")->setText("104");
        // As a person clicks: the message box comes up on the press, and the button is released
        // while it is up, so the window never receives the release.
        auto *target = f.check.findChild<QPushButton *>(button);
        const QPoint at = target->mapTo(&f.check, target->rect().center());
        QWindow *window = f.check.windowHandle();
        bool released = false;
        f.t.messages.onShow = [&](const QString &) {
            if (released)
                return;
            QDialog box(&f.check);
            box.setModal(true);
            QTimer::singleShot(0, &box, [&] {
                QTest::mouseRelease(window, Qt::LeftButton, {}, at);
                released = true;
                box.accept();
            });
            box.exec();
        };
        QTest::mousePress(window, Qt::LeftButton, {}, at);
        QVERIFY(released);
        QCOMPARE(f.check.isVisible(), button == QLatin1String("Command3"));
        QCOMPARE(f.t.messages.texts, messages);
        QCOMPARE(f.t.link.calls.isEmpty() ? QByteArray() : f.t.link.calls.last().bytes, sent);
        QVERIFY(!target->isDown());
    }

    void placesTheLineByBankOrder_data()
    {
        // Columns: table, bank, expected.
        // expected: "NEW" marks the new line
        columns<QStringList, QString, QStringList>();
        const QStringList two = {"001|a", "237|b"};
        row("appended after all", two, "999", QStringList {"001|a", "237|b", "NEW"});
        row("before all", two, "000", QStringList {"NEW", "001|a", "237|b"});
        row("empty table", QStringList(), "104", QStringList {"NEW"});
        row("replaces the first of two", QStringList {"237|a", "237|b"}, "237",
            QStringList {"NEW", "237|b"});
        row("codes that are no number stay put", QStringList {"001|a", "", "xyz|q", "237|b"}, "104",
            QStringList {"001|a", "", "xyz|q", "NEW", "237|b"});
    }

    void placesTheLineByBankOrder()
    {
        auto [table, bank, expected] = fetch<QStringList, QString, QStringList>();
        QCOMPARE(layout_table::withLine(table, bank, QStringLiteral("NEW")), expected);
    }

    void savingClearsTemporariesLeftByAnInterruptedSave()
    {
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        const auto make = [&dir](const char *name, int ageSeconds) {
            QFile f(dir.filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                QFileDevice::FileModificationTime));
        };
        make("Dados_cheque.txt.a1B2c3", 7200); // left by a save killed long ago
        make("Dados_cheque.txt.d4E5f6", 5); // may be another save running now
        make("Dados_cheque.txt.notes", 7200); // not a temporary of ours
        QVERIFY(check_data::save(dir, check_data::CheckData {}).isEmpty());
        QCOMPARE(dir.entryList(QDir::Files),
            QStringList({"Dados_cheque.txt", "Dados_cheque.txt.d4E5f6", "Dados_cheque.txt.notes"}));
    }

    void formatsTheValueAsCurrency_data()
    {
        // Columns: typed, shown, locale.
        // shown: "_" stands for the no-break space
        columns<QString, QString, QLocale>();
        row("already currency", "R$_2.345,98", "R$_2.345,98", kBrazil);
        row("whole number", "1500", "R$_1.500,00", kBrazil);
        row("third decimal rounds up", "2345,987", "R$_2.345,99", kBrazil);
        row("minus first", "-5", "R$_-5,00", kBrazil);
        row("parentheses", "(R$ 5,00)", "R$_-5,00", kBrazil);
        row("thirteen digits", "1234567890123", "R$_1.234.567.890.123,00", kBrazil);
        row("plain space, spaces around", " R$ 1.234.567,5 ", "R$_1.234.567,50", kBrazil);
        row("decimals alone", ",5", "R$_0,50", kBrazil);
        row("negative currency form", "R$_-5,00", "R$_-5,00", kBrazil);
        row("US form", "1234.5", "$1,234.50", QLocale(QLocale::English, QLocale::UnitedStates));
        row("German, symbol after", "1.234,5 €", "1.234,50_€", QLocale(QLocale::German));
        // Typos are no amounts: the text stays as typed and the check is not printed.
        row("letters stay", "dez reais", "dez reais", kBrazil);
        row("point as decimal stays", "12.34", "12.34", kBrazil);
        row("fourteen digits stay", "12345678901234", "12345678901234", kBrazil);
        row("space between digits", "12 34", "12 34", kBrazil);
        row("symbol twice", "R$R$5", "R$R$5", kBrazil);
        row("symbol after", "5 R$", "5 R$", kBrazil);
        row("first group starts with 0", "0.796", "0.796", kBrazil);
        row("two signs", "-(5)", "-(5)", kBrazil);
        row("German symbol before", "€ 5", "€ 5", QLocale(QLocale::German));
    }

    void formatsTheValueAsCurrency()
    {
        auto [typed, shown, locale] = fetch<QString, QString, QLocale>();
        typed.replace(QLatin1Char('_'), QChar(0x00A0));
        shown.replace(QLatin1Char('_'), QChar(0x00A0));
        QCOMPARE(check_value::toCurrency(typed, locale), shown);
    }

    void frontSequence_data()
    {
        // Columns: check, commands, problem.
        // problem: 1: the date, 2: the value; no command then
        columns<QStringList, QList<QByteArray>, int>();
        // The sample with field `field` changed, and the command that carries it.
        const auto front = [](const char *name, int field, const QString &text, const char *hex) {
            QStringList check = kSample;
            check[field] = text;
            row(name, check, sampleFront(QList<int> {1, 2, 3, 4, 5, 6, 9}.at(field), hex), 0);
        };
        const auto bad = [](const char *name, int field, const QString &text, int problem) {
            QStringList check = kSample;
            check[field] = text;
            row(name, check, QList<QByteArray>(), problem);
        };
        front("ESC and brace pass as they are", 4, "a}b\x1b", "1b2e35393035 617d621b 7d");
        front("empty layout", 6, "", "1b2e35393039 3030304e 7d");
        front("whole number in units", 3, "1500", "1b2e35393034 303030303030313530303030 7d");
        front("empty value", 3, "", "1b2e35393034 303030303030303030303030 7d");
        front("twelve digits", 3, "9.999.999.999,99", "1b2e35393034 393939393939393939393939 7d");
        front("year 2000", 2, "01/01/2000", "1b2e35393033 303130313030 7d");
        front("one-digit day and month", 2, "5/3/2008", "1b2e35393033 303530333038 7d");
        front("last year a check can carry", 2, "31/12/2099", "1b2e35393033 333131323939 7d");
        bad("year 1", 2, "01/01/0001", 1);
        bad("year 9999", 2, "31/12/9999", 1);
        bad("negative value", 3, "R$\u00a0-5,00", 2);
        bad("thirteen digits", 3, "R$ 12.345.678.901,23", 2);
    }

    void frontSequence()
    {
        auto [check, commands, problem] = fetch<QStringList, QList<QByteArray>, int>();
        const check_print::Sequence s = check_print::front(
            {check[0], check[1], check[2], check[3], check[4], check[5], check[6]}, kBrazil);
        QCOMPARE(int(s.problem), problem);
        QCOMPARE(s.commands, commands);
    }

    void backSequence_data()
    {
        // Columns: indented, text, printed.
        // printed: between commands 15 and 16
        columns<bool, QString, QByteArray>();
        row("lone LF indents", true, "A\nB", QByteArray::fromHex("0a0d2020 410a2020 42"));
        row("lone CR does not", true, "A\rB", QByteArray::fromHex("0a0d2020 410d42"));
        row("plain, ESC, brace and accents", false, "\x1b}çã", QByteArray::fromHex("1b7de7e3"));
    }

    void backSequence()
    {
        auto [indented, text, printed] = fetch<bool, QString, QByteArray>();
        QCOMPARE(indented ? check_print::indentedBack(text) : check_print::back(text),
            (QList<QByteArray> {QByteArray::fromHex("1b2e353931357d"), printed,
                QByteArray::fromHex("1b2e353931367d")}));
    }
};

QTEST_MAIN(TstCheck)
#include "tst_check.moc"
