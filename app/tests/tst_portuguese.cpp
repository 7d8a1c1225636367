#include "app/main_window.h"
#include "app/qt_texts.h"
#include "tests/support/test_services.h"
#include "virtual_printer/virtual_printer.h"
#include "virtual_printer/virtual_printer_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

class TstPortuguese : public QObject
{
    Q_OBJECT
private slots:
    void commandLineIsPortuguese_data();
    void commandLineIsPortuguese();
    void missingTranslationIsToldOnce();
    void statusBitsExplainThemselves();
};

void TstPortuguese::commandLineIsPortuguese_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    for (const char *lang : {"C", "en_US.UTF-8"}) {
        QTest::addRow("help, LANG=%s", lang) << QString::fromLatin1(lang) << QStringList {"--help"}
                                             << 0 << QStringLiteral("Uso: vorel-demo [opções]");
        QTest::addRow("missing value, LANG=%s", lang)
            << QString::fromLatin1(lang) << QStringList {"--printer"} << 2
            << QStringLiteral("Faltando valor após '--printer'");
    }
}

// The program itself, with no display at all.
void TstPortuguese::commandLineIsPortuguese()
{
    QFETCH(QString, lang);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, expected);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name :
        {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), lang);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VOREL_DEMO), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), status);
    const QString output = QString::fromUtf8(
        status == 0 ? program.readAllStandardOutput() : program.readAllStandardError());
    QVERIFY2(output.contains(expected), qPrintable(output));
    for (const char *english : {"Usage", "Options:", "Missing", "Unknown", "Displays"})
        QVERIFY2(!output.contains(QLatin1String(english)), qPrintable(output));
}

void TstPortuguese::missingTranslationIsToldOnce()
{
    QTemporaryDir empty;
    QTranslator translator;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("qtbase_pt_BR.qm")));
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    QVERIFY(!qt_texts::load(translator, empty.path()));
    QVERIFY(translator.isEmpty());
}

// Each line of the status says what its 0 and 1 mean, in the same words in both windows.
void TstPortuguese::statusBitsExplainThemselves()
{
    TestServices t;
    MainWindow main(t.services());
    VirtualPrinter printer;
    VirtualPrinterWindow virtualPrinter(printer, t.messages, t.question);
    for (int n = 0; n < 8; ++n) {
        const QString tip
            = virtualPrinter.findChild<QCheckBox *>(QStringLiteral("bit%1").arg(n))->toolTip();
        QVERIFY2(tip.startsWith(QStringLiteral("Bit %1").arg(n)) && tip.contains(QLatin1Char('0'))
                && tip.contains(QLatin1Char('1')),
            qPrintable(tip));
        QCOMPARE(main.findChild<QLabel *>(QStringLiteral("lblDataBit%1").arg(n))->toolTip(), tip);
    }
}

QTEST_MAIN(TstPortuguese)
#include "tst_portuguese.moc"
