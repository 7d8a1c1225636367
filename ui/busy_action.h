#pragma once

#include <QEvent>
#include <QObject>

// Clicks, keys and the wheel: what starts an action.
[[nodiscard]] bool isUserInput(QEvent::Type type);

// While it lives, a printing action is under way: the busy cursor shows, and clicks and keys on
// the program's windows are dropped. A call into the printer blocks the windows, and the window
// system hands over what the operator did meanwhile only once it returns; that is dropped on its
// way out too, so that no click starts another action late.
class BusyAction : public QObject
{
    Q_OBJECT
public:
    BusyAction();
    ~BusyAction() override;
    BusyAction(const BusyAction &) = delete;
    BusyAction &operator=(const BusyAction &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
