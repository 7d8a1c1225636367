#pragma once

#include "layout/layout_table.h"
#include "ui/services.h"

#include <QWidget>
#include <functional>
#include <span>

namespace form {
struct Control;
}

class ActivationWatcher;
class LineField;

// What the editor starts from: the bank number and layout string the check window holds.
struct LayoutSource
{
    QString bank;
    QString layout;
};

// "Formato": the seven gaps of one bank's check, in millimetres, beside a drawn check.
class LayoutEditor : public QWidget
{
    Q_OBJECT
public:
    LayoutEditor(
        const Services &services, std::function<LayoutSource()> source, QWidget *parent = nullptr);
    // The table the window is built from: every control with its caption and place.
    [[nodiscard]] static std::span<const form::Control> table();
    ~LayoutEditor() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refill();
    void accept();

    Services m_services;
    std::function<LayoutSource()> m_source;
    LineField *m_bank; // Text8
    LineField
        *m_gaps[layout_table::kFieldCount]; // Text1 to Text7: field k of the layout in Text<k>
    ActivationWatcher *m_activation = nullptr;
};
