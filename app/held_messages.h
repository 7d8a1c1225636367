#pragma once

#include "ui/services.h"

#include <QStringList>

// Passes messages on; those of the start-up wait until the main window is on screen, so that
// the operator reads them over the window they speak of.
class HeldMessages : public MessageSink
{
public:
    explicit HeldMessages(MessageSink &sink)
        : m_sink(sink)
    { }
    void show(QWidget *parent, const QString &text) override;
    // Shows what was held, over `parent`, and from then on passes every message on at once.
    void release(QWidget *parent);

private:
    MessageSink &m_sink;
    bool m_holding = true;
    QStringList m_held;
};
