#pragma once

#include "auth/monitored_authentication.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <chrono>

class QDialog;
class QWidget;

// Serves the windows between two status reads, about a millisecond each time. Once the wait
// has lasted `dialogDelay`, a window-modal "Aguardando o documento..." with "Cancelar" shows
// over `owner`; before that, clicks and keys are held back until the wait ends or the dialog
// shows, so that nothing else starts a printing action meanwhile.
class DocumentWaiter : public monitored_authentication::Waiter
{
public:
    DocumentWaiter(QWidget *owner, std::chrono::milliseconds dialogDelay);
    ~DocumentWaiter() override;
    DocumentWaiter(const DocumentWaiter &) = delete;
    DocumentWaiter &operator=(const DocumentWaiter &) = delete;

    [[nodiscard]] bool keepWaiting() override;
    void cancel() { m_cancelled = true; }

private:
    void showDialog();

    QWidget *m_owner;
    std::chrono::milliseconds m_dialogDelay;
    QElapsedTimer m_elapsed;
    QTimer m_tick;
    QPointer<QDialog> m_dialog;
    bool m_cancelled = false;
};
