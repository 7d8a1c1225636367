#pragma once

#include "ui/services.h"

#include <QWidget>
#include <span>

namespace form {
struct Control;
}

class TextField;

// "Texto" (Cupom): sends free text to the printer exactly as typed.
class TextWindow : public QWidget
{
    Q_OBJECT
public:
    TextWindow(const Services &services, PortaSource porta, QWidget *parent = nullptr);
    // The table the window is built from: every control with its caption and place.
    [[nodiscard]] static std::span<const form::Control> table();

    void setText(const QString &text);
    [[nodiscard]] QString text() const;

private:
    void print();

    Services m_services;
    PortaSource m_porta;
    TextField *m_text; // Text1
};
