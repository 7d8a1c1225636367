#include "check/check_window.h"
#include "tests/support/test_services.h"
#include "ui/text_fields.h"

#include <QDialog>
#include <QPushButton>
#include <QTimer>

// A click on a button that takes the focus from the bank number: the bank's message first, then
// what the click asked for, though the message box took the rest of the click.
class TstCheckClick : public QObject
{
    Q_OBJECT
private slots:
    void clickSurvivesTheBankMessage_data();
    void clickSurvivesTheBankMessage();
};

void TstCheckClick::clickSurvivesTheBankMessage_data()
{
    QTest::addColumn<QString>("bank");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("sent"); // the last command, in hex
    const QString noLayout = QStringLiteral("O banco selecionado não tem formato programado. "
                                            "Ajuste-o ou serão usadas as medidas padronizadas.");
    const QString insert = QStringLiteral("Insira o cheque para impressão");
    QTest::newRow("Fechar after the message")
        << "104"
        << "Command2" << false << QStringList {noLayout} << QByteArray();
    // The observations go out with the default layout the validation chose.
    QTest::newRow("Só Obs after the message")
        << "104"
        << "Command3" << true << QStringList {noLayout, insert}
        << QByteArray("1b2e3539 3130 3030304e 3038303830363037303731303035 7d");
    QTest::newRow("Fechar, no message") << ""
                                        << "Command2" << false << QStringList() << QByteArray();
}

void TstCheckClick::clickSurvivesTheBankMessage()
{
    QFETCH(QString, bank);
    QFETCH(QString, button);
    QFETCH(bool, visible);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, sent);
    TestServices t;
    CheckWindow check(t.services(), [] { return 888; });
    check.show();
    check.activateWindow();
    QVERIFY(
        QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == check.windowHandle(); }));
    auto *field = check.findChild<LineField *>(QStringLiteral("Text1"));
    field->setFocus();
    field->setText(bank);

    // As a person clicks: the message box comes up on the press, and the button is released
    // while it is up, so the window never receives the release.
    auto *target = check.findChild<QPushButton *>(button);
    const QPoint at = target->mapTo(&check, target->rect().center());
    QWindow *window = check.windowHandle();
    bool released = false;
    t.messages.onShow = [&](const QString &) {
        if (released)
            return;
        QDialog box(&check);
        box.setModal(true);
        QTimer::singleShot(0, &box, [&] {
            QTest::mouseRelease(window, Qt::LeftButton, {}, at);
            released = true;
            box.accept();
        });
        box.exec();
    };
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    if (!released)
        QTest::mouseRelease(window, Qt::LeftButton, {}, at);

    QCOMPARE(check.isVisible(), visible);
    QCOMPARE(t.messages.texts, messages);
    QCOMPARE(t.link.calls.isEmpty() ? QByteArray() : t.link.calls.last().bytes,
        QByteArray::fromHex(sent));
    QVERIFY(!target->isDown());
}

QTEST_MAIN(TstCheckClick)
#include "tst_check_click.moc"
