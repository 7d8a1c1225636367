#pragma once

#include <QDate>
#include <QDir>
#include <QList>
#include <QLocale>
#include <QString>
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
// one refused, of which the operator is told on `parent`. True when every command was taken.
bool sendCommands(const Services &services, QWidget *parent, const PortaSource &porta,
    const QList<QByteArray> &commands);
