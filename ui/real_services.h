#pragma once

#include "ui/services.h"

class BoxMessageSink : public MessageSink
{
public:
    void show(QWidget *parent, const QString &text) override;
};

class SystemClock : public Clock
{
public:
    [[nodiscard]] QDate today() const override { return QDate::currentDate(); }
};
