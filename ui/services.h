#pragma once

#include <QDate>
#include <QDir>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

class PrinterLink;
class QWidget;

// Modal message with the text and an OK button only.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void show(QWidget *parent, const QString &text) = 0;
};

// Modal question with "Sim" and "Não".
class Question
{
public:
    virtual ~Question() = default;
    // True for "Sim".
    [[nodiscard]] virtual bool ask(QWidget *parent, const QString &text) = 0;
};

class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual QDate today() const = 0;
};

// What a work window may reach of the outside world; only main.cpp builds the real ones.
struct Services
{
    PrinterLink *link = nullptr;
    MessageSink *messages = nullptr;
    const Clock *clock = nullptr;
    QLocale locale;
    QDir workDir;
};

// The port code the main window holds right now.
using PortaSource = std::function<int()>;

// The regional settings the windows follow: the system's, or Brazilian Portuguese when the
// system has none (C or POSIX).
[[nodiscard]] QLocale regionalLocale(const QLocale &system);

// Sends `commands`, one TX call each to the port current at that call, and stops at the first
// one refused, of which the operator is told on `parent`. `texts`, what the operator typed into
// the commands, are looked at first: one that cp1252 cannot hold is told and nothing is sent.
// True when every command was taken.
bool sendCommands(const Services &services, QWidget *parent, const PortaSource &porta,
    const QList<QByteArray> &commands, const QStringList &texts = {});

// What the operator is told when one of `texts` holds a character that cp1252 cannot hold, which
// would print as "?"; empty when all of them can go out as they are.
[[nodiscard]] QString unprintable(const QStringList &texts);
