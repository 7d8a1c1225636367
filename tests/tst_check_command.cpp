#include "check/check_command.h"

#include <QTest>

class TstCheckCommand : public QObject
{
    Q_OBJECT
private slots:
    void builds_data();
    void builds();
};

void TstCheckCommand::builds_data()
{
    using N = check_command::Number;
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty payee") << int(N::Payee) << QString()
                                 << QByteArray::fromHex("1b2e353930317d");
    QTest::newRow("default layout") << int(N::PrintFront) << QStringLiteral("000N08080607071005")
                                    << QByteArray::fromHex("1b2e35393039303030"
                                                           "4e3038303830363037303731303035"
                                                           "7d");
    QTest::newRow("city in cp1252") << int(N::City) << QStringLiteral("São Paulo")
                                    << QByteArray::fromHex("1b2e35393032"
                                                           "53e36f205061756c6f"
                                                           "7d");
    QTest::newRow("brace inside data") << int(N::Observation1) << QStringLiteral("a}b")
                                       << QByteArray::fromHex("1b2e35393035"
                                                              "617d62"
                                                              "7d");
    QTest::newRow("back end") << int(N::BackEnd) << QString()
                              << QByteArray::fromHex("1b2e353931367d");
}

void TstCheckCommand::builds()
{
    QFETCH(int, number);
    QFETCH(QString, data);
    QFETCH(QByteArray, bytes);
    QCOMPARE(check_command::build(static_cast<check_command::Number>(number), data), bytes);
}

QTEST_GUILESS_MAIN(TstCheckCommand)
#include "tst_check_command.moc"
