#pragma once

#include "printer_link/monitored_mode.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>

class QDialog;
class QWidget;

// Serves the windows between two status reads, about a millisecond each time. Once the wait
// has lasted `dialogDelay`, a window-modal "Aguardando o documento..." with "Cancelar" shows
// over `owner`. Before that, clicks and keys meant for `owner`'s family of windows are dropped,
// as the dialog would: nothing else starts a printing action meanwhile. Windows outside the
// family (the built-in printer's) stay usable throughout, except `alsoBlocked`'s family, whose
// input is dropped for the whole wait.
class DocumentWaiter : public QObject, public monitored_mode::Waiter
{
    Q_OBJECT
public:
    DocumentWaiter(
        QWidget *owner, std::chrono::milliseconds dialogDelay, QWidget *alsoBlocked = nullptr);
    ~DocumentWaiter() override;

    [[nodiscard]] bool keepWaiting() override;
    void cancel() { m_cancelled = true; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showDialog();

    QWidget *m_owner;
    QWidget *m_alsoBlocked;
    std::chrono::milliseconds m_dialogDelay;
    QElapsedTimer m_elapsed;
    QTimer m_tick;
    QPointer<QDialog> m_dialog; // null once its owner has deleted it
    bool m_dialogShown = false;
    bool m_cancelled = false;
};
