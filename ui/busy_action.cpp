#include "ui/busy_action.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

BusyAction::BusyAction()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QCoreApplication::instance()->installEventFilter(this);
}

BusyAction::~BusyAction()
{
    // What the window system queued during the calls arrives now and is dropped. Timers and
    // notifiers wait: they could start another call into the printer from here.
    QCoreApplication::processEvents(
        QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers);
    QCoreApplication::instance()->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
}

bool BusyAction::eventFilter(QObject *, QEvent *event)
{
    return isUserInput(event->type());
}
