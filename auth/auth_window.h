#pragma once

#include "ui/services.h"

#include <QWidget>
#include <chrono>
#include <span>

namespace form {
struct Control;
}

class DocumentWaiter;
class LineField;

// "Autenticação" (Aut): prints one line as a simple, double or monitored authentication.
class AuthWindow : public QWidget
{
    Q_OBJECT
public:
    AuthWindow(const Services &services, PortaSource porta, QWidget *parent = nullptr);
    // The table the window is built from: every control with its caption and place.
    [[nodiscard]] static std::span<const form::Control> table();

    void setText(const QString &text);
    [[nodiscard]] QString text() const;

    // How long a monitored wait lasts before its dialog shows.
    void setWaitDialogDelay(std::chrono::milliseconds delay) { m_waitDialogDelay = delay; }
    // Ends a monitored wait as its "Cancelar" does; nothing happens when none runs.
    void cancelWait();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void printSimple();
    void printDouble();
    void printMonitored();

    Services m_services;
    PortaSource m_porta;
    LineField *m_text; // Text1
    std::chrono::milliseconds m_waitDialogDelay {333};
    DocumentWaiter *m_waiter = nullptr;
};
