#pragma once

#include "ui/services.h"

class BoxMessageSink : public MessageSink
{
public:
    void show(QWidget *parent, const QString &text) override;
};

// "Não" is the default answer: Enter never drops anything.
class BoxQuestion : public Question
{
public:
    [[nodiscard]] bool ask(QWidget *parent, const QString &text) override;
};

class SystemClock : public Clock
{
public:
    [[nodiscard]] QDate today() const override { return QDate::currentDate(); }
};
