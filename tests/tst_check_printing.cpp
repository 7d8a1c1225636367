#include "app/text_fields.h"
#include "check/check_window.h"
#include "tests/support/test_services.h"

#include <QFile>
#include <QGroupBox>
#include <QPushButton>

namespace {

const QString kInsert = QStringLiteral("Insira o cheque para impressão");
const QString kFailed = QStringLiteral("Houve um problema na execução do comando");

// The nine commands of the front for the check that Fixture fills in.
const QList<QByteArray> kFront = {
    QByteArray::fromHex("1b2e35393031 4a6f73e9 7d"),
    QByteArray::fromHex("1b2e35393032 53e36f205061756c6f 7d"),
    QByteArray::fromHex("1b2e35393033 313931323037 7d"),
    QByteArray::fromHex("1b2e35393034 303030303030323334353938 7d"),
    QByteArray::fromHex("1b2e35393035 617d62 7d"),
    QByteArray::fromHex("1b2e35393036 6f627332 7d"),
    QByteArray::fromHex("1b2e35393037 5245414c 7d"),
    QByteArray::fromHex("1b2e35393038 5245414953 7d"),
    QByteArray::fromHex("1b2e35393039 3030304e 3038303830363037303731303035 7d"),
};

// A check window, shown, with a whole check typed in. Every TX call switches the port, so
// each call shows which port was read right before it.
struct Fixture
{
    TestServices t;
    int porta = 888;
    CheckWindow check {t.services(), [this] { return porta; }};

    Fixture()
    {
        t.link.onCall = [this](const RecordingLink::Call &) { porta = porta == 888 ? 632 : 888; };
        check.show();
        check.activateWindow();
        if (!QTest::qWaitFor(
                [this] { return QGuiApplication::focusWindow() == check.windowHandle(); }))
            qFatal("the check window never became active");
        // Away from the bank number, whose validation would set the layout when left.
        check.findChild<QWidget *>(QStringLiteral("Text5"))->setFocus();
        set("Text3", QStringLiteral("José"));
        set("Text8", QStringLiteral("São Paulo"));
        set("Text4", QStringLiteral("19/12/2007"));
        set("Text2", QStringLiteral("R$\u00a02.345,98"));
        set("Text5", QStringLiteral("a}b"));
        set("Text6", QStringLiteral("obs2"));
        check.Formato_cheque = QStringLiteral("08080607071005");
    }
    void set(const QString &name, const QString &text)
    {
        if (name == QLatin1String("Text7"))
            check.findChild<TextField *>(name)->setText(text);
        else
            check.findChild<LineField *>(name)->setText(text);
    }
    void click(const char *name)
    {
        QTest::mouseClick(check.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    QList<QByteArray> sent() const
    {
        QList<QByteArray> out;
        for (const RecordingLink::Call &c : t.link.calls)
            out << c.bytes;
        return out;
    }
    QList<int> ports() const
    {
        QList<int> out;
        for (const RecordingLink::Call &c : t.link.calls)
            out << c.port;
        return out;
    }
};

} // namespace

class TstCheckPrinting : public QObject
{
    Q_OBJECT
private slots:
    void frontSendsNineCommands();
    void frontCommandsFollowTheFields_data();
    void frontCommandsFollowTheFields();
    void nothingGoesOutForABadCheck_data();
    void nothingGoesOutForABadCheck();
    void aSequenceStopsAtTheFirstRefusal_data();
    void aSequenceStopsAtTheFirstRefusal();
    void soObsSendsTheObservationsOnly();
    void theBankLeftBeforePrintingGivesItsLayout();
    void backPrints_data();
    void backPrints();
    void imprVersoLiesOutsideTheFrame();
};

void TstCheckPrinting::frontSendsNineCommands()
{
    Fixture f;
    f.click("Command1");
    QCOMPARE(f.sent(), kFront);
    QCOMPARE(f.ports(), (QList<int> {888, 632, 888, 632, 888, 632, 888, 632, 888}));
    QCOMPARE(f.t.messages.texts, QStringList {kInsert});
    QCOMPARE(kFront.last().size(), 25);
}

void TstCheckPrinting::frontCommandsFollowTheFields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("command"); // 0 for 01 ... 8 for 09
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("whole number in units")
        << "Text2"
        << "1500" << 3 << QByteArray::fromHex("1b2e35393034 303030303030313530303030 7d");
    QTest::newRow("empty value") << "Text2"
                                 << "" << 3
                                 << QByteArray::fromHex("1b2e35393034 303030303030303030303030 7d");
    QTest::newRow("third decimal rounds")
        << "Text2"
        << "2345,987" << 3 << QByteArray::fromHex("1b2e35393034 303030303030323334353939 7d");
    QTest::newRow("other date") << "Text4"
                                << "05/03/2008" << 2
                                << QByteArray::fromHex("1b2e35393033 303530333038 7d");
    QTest::newRow("year 2000") << "Text4"
                               << "01/01/2000" << 2
                               << QByteArray::fromHex("1b2e35393033 303130313030 7d");
    QTest::newRow("empty payee") << "Text3"
                                 << "" << 0 << QByteArray::fromHex("1b2e353930317d");
    QTest::newRow("empty layout") << "Formato_cheque"
                                  << "" << 8 << QByteArray::fromHex("1b2e35393039 3030304e 7d");
}

void TstCheckPrinting::frontCommandsFollowTheFields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(int, command);
    QFETCH(QByteArray, bytes);
    Fixture f;
    if (field == QLatin1String("Formato_cheque"))
        f.check.Formato_cheque = text;
    else
        f.set(field, text);
    f.click("Command1");
    QList<QByteArray> expected = kFront;
    expected[command] = bytes;
    QCOMPARE(f.sent(), expected);
    QCOMPARE(f.t.messages.texts, QStringList {kInsert});
    // Printing changes no field.
    if (field != QLatin1String("Formato_cheque"))
        QCOMPARE(f.check.findChild<LineField *>(field)->text(), text);
}

void TstCheckPrinting::nothingGoesOutForABadCheck_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString date = QStringLiteral("Data do cheque inválida.");
    const QString value = QStringLiteral("Valor do cheque inválido.");
    QTest::newRow("no such day") << "Text4"
                                 << "31/02/2008" << date;
    QTest::newRow("empty date") << "Text4"
                                << "" << date;
    QTest::newRow("negative value") << "Text2" << QStringLiteral("R$\u00a0-5,00") << value;
    QTest::newRow("thirteen digits") << "Text2"
                                     << "R$ 12.345.678.901,23" << value;
    QTest::newRow("not an amount") << "Text2"
                                   << "cinco reais" << value;
}

void TstCheckPrinting::nothingGoesOutForABadCheck()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    Fixture f;
    f.set(field, text);
    f.click("Command1");
    QVERIFY(f.t.link.calls.isEmpty());
    QCOMPARE(f.t.messages.texts, QStringList {message});
    QCOMPARE(f.check.findChild<LineField *>(field)->text(), text);
}

void TstCheckPrinting::aSequenceStopsAtTheFirstRefusal_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("calls");
    QTest::addColumn<QString>("message");
    QTest::newRow("front: zero is success") << "Command1" << QList<int> {0} << "" << 9 << kInsert;
    QTest::newRow("front: first refused") << "Command1" << QList<int> {-1} << "" << 1 << kFailed;
    QTest::newRow("front: fifth refused")
        << "Command1" << QList<int> {0, 0, 0, 0, -2, 0} << "" << 5 << kFailed;
    QTest::newRow("front: last refused")
        << "Command1" << QList<int> {0, 0, 0, 0, 0, 0, 0, 0, -1} << "" << 9 << kFailed;
    QTest::newRow("front: no library")
        << "Command1" << QList<int> {0} << "Biblioteca ausente" << 1 << "Biblioteca ausente";
    QTest::newRow("obs: 06 refused") << "Command3" << QList<int> {0, -1, 0} << "" << 2 << kFailed;
    QTest::newRow("obs: 10 refused") << "Command3" << QList<int> {0, 0, -1} << "" << 3 << kFailed;
    QTest::newRow("back: 15 refused") << "Command6" << QList<int> {-1} << "" << 1 << kFailed;
    QTest::newRow("plain back: 16 refused")
        << "Command4" << QList<int> {0, 0, -1} << "" << 3 << kFailed;
}

void TstCheckPrinting::aSequenceStopsAtTheFirstRefusal()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, results);
    QFETCH(QString, error);
    QFETCH(int, calls);
    QFETCH(QString, message);
    Fixture f;
    for (int r : results)
        f.t.link.txResults << int16_t(r);
    f.t.link.txError = error;
    f.check.findChild<QPushButton *>(button)->click();
    QCOMPARE(f.t.link.calls.size(), calls);
    QCOMPARE(f.t.messages.texts, message.isEmpty() ? QStringList() : QStringList {message});
}

void TstCheckPrinting::soObsSendsTheObservationsOnly()
{
    Fixture f;
    f.check.Formato_cheque = QStringLiteral("09080607071005");
    f.set("Text4", QStringLiteral("not a date")); // Not sent, so not checked.
    f.click("Command3");
    QCOMPARE(f.sent(),
        (QList<QByteArray> {QByteArray::fromHex("1b2e35393035 617d62 7d"),
            QByteArray::fromHex("1b2e35393036 6f627332 7d"),
            QByteArray::fromHex("1b2e35393130 3030304e 3039303830363037303731303035 7d")}));
    QCOMPARE(f.ports(), (QList<int> {888, 632, 888}));
    QCOMPARE(f.t.messages.texts, QStringList {kInsert});
}

void TstCheckPrinting::theBankLeftBeforePrintingGivesItsLayout()
{
    Fixture f;
    QFile table(QDir(f.t.dir.path()).filePath(QStringLiteral("Formato_cheque.txt")));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("341|10|11|12|13|14|15|16\r\n");
    table.close();
    auto *bank = f.check.findChild<LineField *>(QStringLiteral("Text1"));
    bank->setFocus();
    QTest::keyClicks(bank, QStringLiteral("341"));
    QTest::keyClick(bank, Qt::Key_Tab);
    f.click("Command1");
    QCOMPARE(f.sent().value(8),
        QByteArray::fromHex("1b2e35393039 3030304e 3130313131323133313431353136 7d"));
}

void TstCheckPrinting::backPrints_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("middle");
    QTest::newRow("indented") << "Command6"
                              << "AB\r\nCD" << QByteArray::fromHex("0a0d2020 41420d0a2020 4344");
    QTest::newRow("indented, final break") << "Command6"
                                           << "AB\r\n"
                                           << QByteArray::fromHex("0a0d2020 41420d0a2020");
    QTest::newRow("indented, empty") << "Command6"
                                     << "" << QByteArray::fromHex("0a0d2020");
    QTest::newRow("plain") << "Command4"
                           << "AB\r\nCD" << QByteArray::fromHex("41420d0a4344");
    QTest::newRow("plain, empty") << "Command4"
                                  << "" << QByteArray();
    QTest::newRow("plain, ESC and brace") << "Command4"
                                          << "\x1b}" << QByteArray::fromHex("1b7d");
    QTest::newRow("accents one byte each")
        << "Command4" << QStringLiteral("çã") << QByteArray::fromHex("e7e3");
}

void TstCheckPrinting::backPrints()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(QByteArray, middle);
    Fixture f;
    f.set("Text7", text);
    // "Impr Verso" does not show, so it is pressed from code.
    f.check.findChild<QPushButton *>(button)->click();
    QCOMPARE(f.sent(),
        (QList<QByteArray> {
            QByteArray::fromHex("1b2e353931357d"), middle, QByteArray::fromHex("1b2e353931367d")}));
    QCOMPARE(f.ports(), (QList<int> {888, 632, 888}));
    QVERIFY(f.t.messages.texts.isEmpty());
}

void TstCheckPrinting::imprVersoLiesOutsideTheFrame()
{
    Fixture f;
    auto *frame = f.check.findChild<QGroupBox *>(QStringLiteral("Frame1"));
    auto *plain = f.check.findChild<QPushButton *>(QStringLiteral("Command4"));
    auto *indented = f.check.findChild<QPushButton *>(QStringLiteral("Command6"));
    QCOMPARE(plain->parentWidget(), frame);
    QVERIFY(!frame->rect().intersects(plain->geometry()));
    QVERIFY(frame->rect().contains(indented->geometry()));
}

QTEST_MAIN(TstCheckPrinting)
#include "tst_check_printing.moc"
