#include "ui/activation_watcher.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {

// Message boxes, dialogs, menus and tool tips are not windows the operator switches to.
bool isProgramWindow(const QWindow *w)
{
    return w && w->type() == Qt::Window && w->modality() == Qt::NonModal;
}

} // namespace

ActivationWatcher::ActivationWatcher(
    QWidget *window, std::function<void()> activated, std::function<void()> deactivated)
    : QObject(window)
    , m_window(window)
    , m_activated(std::move(activated))
    , m_deactivated(std::move(deactivated))
{
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &ActivationWatcher::focusMovedTo);
    window->installEventFilter(this);
}

void ActivationWatcher::focusMovedTo(QWindow *focus)
{
    if (!isProgramWindow(focus))
        return;
    const bool mine = focus == m_window->window()->windowHandle();
    if (mine && !m_active) {
        m_active = true;
        m_activated();
    } else if (!mine) {
        deactivate();
    }
}

void ActivationWatcher::deactivate()
{
    if (!m_active)
        return;
    m_active = false;
    m_deactivated();
}

bool ActivationWatcher::eventFilter(QObject *watched, QEvent *event)
{
    // A minimized window is not left for another; one closed is, even minimized (the program
    // closes every window when it is ended).
    if (watched == m_window
        && ((event->type() == QEvent::Hide && !m_window->isMinimized())
            || event->type() == QEvent::Close))
        deactivate();
    return QObject::eventFilter(watched, event);
}
