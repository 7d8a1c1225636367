#include "app/held_messages.h"

#include <utility>

void HeldMessages::show(QWidget *parent, const QString &text)
{
    if (m_holding)
        m_held << text;
    else
        m_sink.show(parent, text);
}

void HeldMessages::release(QWidget *parent)
{
    m_holding = false;
    for (const QString &text : std::exchange(m_held, {}))
        m_sink.show(parent, text);
}
