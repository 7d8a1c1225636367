#include "text/text_window.h"

#include "printer_link/printer_link.h"
#include "text/text_print.h"
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

TextWindow::TextWindow(const Services &services, PortaSource porta, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_porta(std::move(porta))
    , m_controls(form::build(this, kControls))
{
    setObjectName(QStringLiteral("Cupom"));
    setWindowTitle(QStringLiteral("Texto"));
    form::setClientSize(this, 7080, 4500);

    m_controls.get<TextField>("Text1")->setFont(form::courierFont());
    form::setTabOrder(m_controls, {"Text1", "Command1", "Command2"});

    connect(
        m_controls.get<QPushButton>("Command1"), &QPushButton::clicked, this, &TextWindow::print);
    connect(m_controls.get<QPushButton>("Command2"), &QPushButton::clicked, this, &QWidget::hide);
}

void TextWindow::setText(const QString &text)
{
    m_controls.get<TextField>("Text1")->setText(text);
}

QString TextWindow::text() const
{
    return m_controls.get<TextField>("Text1")->text();
}

void TextWindow::print()
{
    const QByteArray bytes = text_print::printBytes(text());
    const LinkResult r = m_services.link->TX(narrowPort(m_porta()), bytes);
    if (r.refused())
        m_services.messages->show(this, commandFailureMessage(r));
}
