#include "text/text_window.h"

#include "text/text_print.h"
#include "ui/form.h"
#include "ui/text_fields.h"

#include <QPushButton>

namespace {

using form::Kind;
const form::Control kControls[] = {
    {Kind::TextEdit, "Text1", "", {240, 120, 6615, 3615}},
    {Kind::Button, "Command1", "Imprimir", {4080, 3960, 1335, 375}},
    {Kind::Button, "Command2", "Fechar", {5640, 3960, 1215, 375}},
};

} // namespace

std::span<const form::Control> TextWindow::table()
{
    return kControls;
}

TextWindow::TextWindow(const Services &services, PortaSource porta, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_porta(std::move(porta))
{
    const form::Controls controls = form::build(this, kControls);
    m_text = controls.get<TextField>("Text1");
    setObjectName(QStringLiteral("Cupom"));
    setWindowTitle(QStringLiteral("Texto"));
    form::setClientSize(this, 7080, 4500);

    m_text->setFont(form::courierFont());
    form::setTabOrder(controls, {"Text1", "Command1", "Command2"});

    connect(controls.get<QPushButton>("Command1"), &QPushButton::clicked, this, &TextWindow::print);
    connect(controls.get<QPushButton>("Command2"), &QPushButton::clicked, this, &QWidget::hide);
}

void TextWindow::setText(const QString &text)
{
    m_text->setText(text);
}

QString TextWindow::text() const
{
    return m_text->text();
}

void TextWindow::print()
{
    sendCommands(m_services, this, m_porta, {text_print::printBytes(text())}, {text()});
}
