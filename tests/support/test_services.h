#pragma once

#include "tests/support/recording_link.h"
#include "tests/support/test_helpers.h"
#include "ui/services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>

class RecordingMessages : public MessageSink
{
public:
    void show(QWidget *, const QString &text) override
    {
        texts << text;
        if (onShow)
            onShow(text);
    }
    QStringList texts;
    // Runs while the message is "up", e.g. to act as the operator does meanwhile.
    std::function<void(const QString &)> onShow;
};

// Answers every question with `answer` and keeps the questions.
class ScriptedQuestion : public Question
{
public:
    [[nodiscard]] bool ask(QWidget *, const QString &text) override
    {
        asked << text;
        return answer;
    }
    QStringList asked;
    bool answer = true;
};

class FixedClock : public Clock
{
public:
    [[nodiscard]] QDate today() const override { return date; }
    QDate date {2007, 12, 19};
};

// Recording fakes for every collaborator, working in a fresh temporary folder.
struct TestServices
{
    RecordingLink link;
    RecordingMessages messages;
    ScriptedQuestion question;
    FixedClock clock;
    QTemporaryDir dir;

    [[nodiscard]] Services services()
    {
        return {&link, &messages, &clock, QLocale(QLocale::Portuguese, QLocale::Brazil),
            QDir(dir.path())};
    }
};

// Waits for the system to hand the focus over, which is what loads and stores the check data:
// a parent counts as active while a window of its own has the focus, so isActiveWindow() cannot
// tell.
inline bool activate(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitFor(
        [&window] { return QGuiApplication::focusWindow() == window.windowHandle(); });
}

inline void click(QWidget &window, const QString &name)
{
    auto *b = window.findChild<QAbstractButton *>(name);
    QVERIFY2(b, qPrintable(name));
    QTest::mouseClick(b, Qt::LeftButton);
}

// The status panel of the main window, bit 7 first.
inline QString statusBits(QWidget &window)
{
    QString out;
    for (int n = 7; n >= 0; --n)
        out += window.findChild<QLabel *>(QStringLiteral("lblDataBit%1").arg(n))->text();
    return out;
}

// Types one character at a time: keyClicks() cannot type accented letters.
inline void type(QWidget *field, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// While it lives: the lines logged under vorel.* ("vorel.ui: message: ..."), with the categories
// enabled or not, and every modal window closed as soon as it shows, as a message box would be.
class LogCapture
{
public:
    explicit LogCapture(bool enabled = true)
        : m_previous(qInstallMessageHandler(capture))
    {
        QLoggingCategory::setFilterRules(
            QStringLiteral("vorel.*.info=%1").arg(enabled ? "true" : "false"));
        lines().clear();
        QObject::connect(&m_closer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        m_closer.start(10);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }

private:
    static void capture(QtMsgType, const QMessageLogContext &context, const QString &text)
    {
        if (QByteArray(context.category).startsWith("vorel."))
            lines() << QString::fromLatin1(context.category) + QStringLiteral(": ") + text;
    }
    QtMessageHandler m_previous;
    QTimer m_closer;
};

// Saves a picture of the window into the build folder's screenshots/, for a person to look at.
inline void grabToPng(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("VOREL_TEST_OUTPUT", QStringLiteral("screenshots"));
    QDir().mkpath(dir);
    QVERIFY(window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}
