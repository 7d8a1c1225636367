#include "auth/auth_window.h"

#include "auth/auth_commands.h"
#include "auth/monitored_authentication.h"
#include "ui/document_waiter.h"
#include "ui/form.h"
#include "ui/text_fields.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {

using form::Kind;
const form::Control kControls[] = {
    {Kind::LineEdit, "Text1", "Text1", {360, 240, 3855, 375}},
    {Kind::Button, "Command1", "Aut. Simples", {360, 960, 1935, 375}},
    {Kind::Button, "Command2", "Aut. Dupla", {360, 1560, 1935, 375}},
    {Kind::Button, "Command3", "Aut. Monitorada", {360, 2160, 1935, 375}},
    {Kind::Button, "Command4", "Fechar", {3240, 2160, 975, 375}},
};

} // namespace

std::span<const form::Control> AuthWindow::table()
{
    return kControls;
}

AuthWindow::AuthWindow(const Services &services, PortaSource porta, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_porta(std::move(porta))
{
    const form::Controls controls = form::build(this, kControls);
    m_text = controls.get<LineField>("Text1");
    setObjectName(QStringLiteral("Aut"));
    setWindowTitle(QStringLiteral("Autenticação"));
    form::setClientSize(this, 4680, 3195);
    form::setTabOrder(controls, {"Text1", "Command1", "Command2", "Command3", "Command4"});

    const auto button = [&controls](const char *name) { return controls.get<QPushButton>(name); };
    connect(button("Command1"), &QPushButton::clicked, this, &AuthWindow::printSimple);
    connect(button("Command2"), &QPushButton::clicked, this, &AuthWindow::printDouble);
    connect(button("Command3"), &QPushButton::clicked, this, &AuthWindow::printMonitored);
    connect(button("Command4"), &QPushButton::clicked, this, &QWidget::hide);
}

void AuthWindow::setText(const QString &text)
{
    m_text->setText(text);
}

QString AuthWindow::text() const
{
    return m_text->text();
}

void AuthWindow::printSimple()
{
    sendCommands(
        m_services, this, m_porta, {auth_commands::simpleAuthentication(text())}, {text()});
}

void AuthWindow::printDouble()
{
    sendCommands(
        m_services, this, m_porta, {auth_commands::doubleAuthentication(text())}, {text()});
}

void AuthWindow::printMonitored()
{
    if (m_waiter)
        return;
    if (const QString refused = unprintable({text()}); !refused.isEmpty()) {
        m_services.messages->show(this, refused);
        return;
    }
    DocumentWaiter waiter(this, m_waitDialogDelay);
    m_waiter = &waiter;
    const auto result = monitored_authentication::run(
        *m_services.link, m_porta, [this] { return text(); }, waiter);
    m_waiter = nullptr;
    if (const QString message = monitored_authentication::message(result); !message.isEmpty())
        m_services.messages->show(this, message);
}

void AuthWindow::cancelWait()
{
    if (m_waiter)
        m_waiter->cancel();
}

void AuthWindow::closeEvent(QCloseEvent *event)
{
    // The frame's close button hides, as "Fechar" does; a wait still running ends first.
    cancelWait();
    event->accept();
}
