#pragma once

#include "tests/support/recording_link.h"
#include "ui/services.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

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
    std::function<void(const QString &)> onShow;
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDate date = QDate(2007, 12, 19))
        : date(date)
    { }
    [[nodiscard]] QDate today() const override { return date; }
    QDate date;
};

// Recording fakes for every collaborator, working in a fresh temporary folder.
struct TestServices
{
    RecordingLink link;
    RecordingMessages messages;
    FixedClock clock;
    QTemporaryDir dir;

    [[nodiscard]] Services services(QLocale locale = QLocale(QLocale::Portuguese, QLocale::Brazil))
    {
        Services s;
        s.link = &link;
        s.messages = &messages;
        s.clock = &clock;
        s.locale = locale;
        s.workDir = QDir(dir.path());
        return s;
    }
};

// Saves a picture of the window into the build folder's screenshots/, for a person to look at.
inline void grabToPng(QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("VOREL_TEST_OUTPUT", QStringLiteral("screenshots"));
    QDir().mkpath(dir);
    QVERIFY(window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}
