#pragma once

#include "ui/services.h"

#include <QWidget>

class TextField;

// "Texto" (Cupom): sends free text to the printer exactly as typed.
class TextWindow : public QWidget
{
    Q_OBJECT
public:
    TextWindow(const Services &services, PortaSource porta, QWidget *parent = nullptr);

    void setText(const QString &text);
    [[nodiscard]] QString text() const;

private:
    void print();

    Services m_services;
    PortaSource m_porta;
    TextField *m_text; // Text1
};
