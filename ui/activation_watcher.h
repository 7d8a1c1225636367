#pragma once

#include <QObject>
#include <functional>

class QWidget;
class QWindow;

// Tells a window when it becomes, and stops being, the program's active window. Only switches
// between the program's own windows count: going to another application and back, or a message
// box or dialog over the window, changes nothing. Hiding the window ends its activation.
class ActivationWatcher : public QObject
{
    Q_OBJECT
public:
    ActivationWatcher(
        QWidget *window, std::function<void()> activated, std::function<void()> deactivated);

    // Where the system put the keyboard focus: a window of the program, a dialog, or nothing
    // (another application).
    void focusMovedTo(QWindow *focus);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void deactivate();

    QWidget *m_window;
    std::function<void()> m_activated;
    std::function<void()> m_deactivated;
    bool m_active = false;
};
