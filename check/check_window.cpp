#include "check/check_window.h"

#include "check/check_data.h"
#include "check/check_print.h"
#include "check/check_value.h"
#include "layout/default_layout.h"
#include "layout/layout_editor.h"
#include "layout/layout_table.h"
#include "ui/activation_watcher.h"
#include "ui/form.h"
#include "ui/text_fields.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace {

using form::Kind;
const form::Control kControls[] = {
    {Kind::Frame, "Frame2", "Dados do Cheque", {120, 120, 5535, 3495}},
    {Kind::LineEdit, "Text1", "", {240, 360, 615, 285}},
    {Kind::Label, "Label14", "Número do Banco", {840, 240, 2055, 255}, "Frame2"},
    {Kind::Button, "Command5", "Formato do cheque", {2520, 360, 1575, 255}},
    {Kind::LineEdit, "Text2", "", {240, 840, 3855, 285}},
    {Kind::Label, "Label13", "Valor", {4080, 720, 1335, 255}, "Frame2"},
    {Kind::LineEdit, "Text3", "", {240, 1320, 3855, 285}},
    {Kind::Label, "Label12", "Favorecido", {4080, 1200, 795, 195}, "Frame2"},
    {Kind::LineEdit, "Text8", "", {240, 1800, 1455, 285}},
    {Kind::Label, "Label8", "Município", {1680, 1680, 735, 255}, "Frame2"},
    {Kind::LineEdit, "Text4", "", {2640, 1800, 1455, 285}},
    {Kind::Label, "Label11", "Data", {4080, 1680, 1335, 255}, "Frame2"},
    {Kind::LineEdit, "Text5", "", {240, 2280, 3855, 285}},
    {Kind::Label, "Label10", "Observações 1", {4080, 2160, 1080, 195}, "Frame2"},
    {Kind::LineEdit, "Text6", "", {240, 2760, 3855, 285}},
    {Kind::Label, "Label9", "Observações 2", {4080, 2640, 1080, 195}, "Frame2"},
    {Kind::Button, "Command1", "Imprimir", {1680, 3240, 1095, 255}},
    {Kind::Button, "Command3", "Só Obs", {3000, 3240, 1095, 255}},
    {Kind::Frame, "Frame1", "Texto no Verso do Cheque", {120, 3720, 5535, 2415}},
    {Kind::TextEdit, "Text7", "", {240, 3960, 5295, 1605}},
    {Kind::Button, "Command6", "Imprimir Verso", {3960, 2040, 1455, 255}, "Frame1"},
    // Beyond the frame's edge, so it never shows; it still works when pressed from code.
    {Kind::Button, "Command4", "Impr Verso", {5880, 5000, 1095, 255}, "Frame1"},
    {Kind::Button, "Command2", "Fechar", {5880, 5880, 735, 255}},
};

constexpr char kInsertCheck[] = "Insira o cheque para impressão";
constexpr char kBadDate[] = "Data do cheque inválida.";
constexpr char kBadValue[] = "Valor do cheque inválido.";
constexpr char kNoLayout[] = "O banco selecionado não tem formato programado. Ajuste-o ou serão "
                             "usadas as medidas padronizadas.";

} // namespace

std::span<const form::Control> CheckWindow::table()
{
    return kControls;
}

CheckWindow::CheckWindow(const Services &services, PortaSource porta, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_porta(std::move(porta))
{
    const form::Controls controls = form::build(this, kControls);
    m_bank = controls.get<LineField>("Text1");
    m_value = controls.get<LineField>("Text2");
    m_payee = controls.get<LineField>("Text3");
    m_date = controls.get<LineField>("Text4");
    m_observation1 = controls.get<LineField>("Text5");
    m_observation2 = controls.get<LineField>("Text6");
    m_back = controls.get<TextField>("Text7");
    m_city = controls.get<LineField>("Text8");
    m_layoutButton = controls.get<QPushButton>("Command5");
    setObjectName(QStringLiteral("Cheque"));
    setWindowTitle(QStringLiteral("Cheque"));
    form::setClientSize(this, 6825, 6285);

    m_bank->setMaxLength(3);
    m_back->setFont(form::courierFont());
    form::setTabOrder(controls,
        {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Command1", "Command2", "Command3",
            "Text7", "Text8", "Command4", "Command5", "Command6"});

    const auto button = [&controls](const char *name) { return controls.get<QPushButton>(name); };
    connect(m_layoutButton, &QPushButton::clicked, this, &CheckWindow::openLayoutEditor);
    connect(button("Command2"), &QPushButton::clicked, this, &QWidget::hide);
    connect(button("Command1"), &QPushButton::clicked, this, &CheckWindow::printFront);
    connect(button("Command3"), &QPushButton::clicked, this, &CheckWindow::printObservations);
    connect(button("Command6"), &QPushButton::clicked, this, [this] { printBack(true); });
    connect(button("Command4"), &QPushButton::clicked, this, [this] { printBack(false); });
    connect(qApp, &QApplication::focusChanged, this, &CheckWindow::focusMoved);
    for (QAbstractButton *b : findChildren<QAbstractButton *>())
        b->installEventFilter(this);

    m_activation = new ActivationWatcher(
        this, [this] { load(); }, [this] { store(); });
}

CheckWindow::~CheckWindow()
{
    // Hiding and focus changes while QWidget tears down must not reach a half-destroyed window.
    disconnect(qApp, nullptr, this, nullptr);
    delete m_activation;
}

void CheckWindow::focusMoved(QWidget *from, QWidget *to)
{
    // Only a move to another control of this window validates; leaving the window does not.
    if (!from || !to || to->window() != this || from == to)
        return;
    if (from == m_bank || (from == m_layoutButton && m_bankPending)) {
        // A press on "Formato do cheque" validates once, there, not twice with two messages.
        m_bankPending = to == m_layoutButton;
        if (!m_bankPending && to != m_bank && validateBank()) {
            // The press that moved the focus, if it did, is delivered right after this.
            m_clickAfterMessage = qobject_cast<QAbstractButton *>(to);
            QTimer::singleShot(0, this, [this] { m_clickAfterMessage.clear(); });
        }
    }
    if (from == m_value)
        validateValue();
}

bool CheckWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || watched != m_clickAfterMessage)
        return false;
    // After the bank's message, what the click asked for: the operator never clicks twice.
    m_clickAfterMessage.clear();
    static_cast<QAbstractButton *>(watched)->click();
    return true;
}

bool CheckWindow::validateBank()
{
    const layout_table::LookupResult found
        = layout_table::lookup(m_services.workDir, m_bank->text());
    if (found.layout) {
        Formato_cheque = *found.layout;
        return false;
    }
    if (found.error.isEmpty()) {
        m_services.messages->show(this, QString::fromUtf8(kNoLayout));
    } else {
        m_services.messages->show(this,
            QStringLiteral("Não foi possível ler %1: %2. Serão usadas as medidas padronizadas.")
                .arg(QLatin1String(layout_table::kTableFile), found.error));
    }
    Formato_cheque = QString::fromLatin1(kDefaultLayout);
    return true;
}

void CheckWindow::printFront()
{
    using Problem = check_print::Sequence::Problem;
    const check_print::Sequence front
        = check_print::front({m_payee->text(), m_city->text(), m_date->text(), m_value->text(),
                                 m_observation1->text(), m_observation2->text(), Formato_cheque},
            m_services.locale);
    if (front.problem != Problem::None) {
        m_services.messages->show(
            this, QString::fromUtf8(front.problem == Problem::BadDate ? kBadDate : kBadValue));
        return;
    }
    if (send(front.commands,
            {m_payee->text(), m_city->text(), m_observation1->text(), m_observation2->text()}))
        m_services.messages->show(this, QString::fromUtf8(kInsertCheck));
}

void CheckWindow::printObservations()
{
    const QStringList texts {m_observation1->text(), m_observation2->text()};
    if (send(check_print::observations(texts[0], texts[1], Formato_cheque), texts))
        m_services.messages->show(this, QString::fromUtf8(kInsertCheck));
}

void CheckWindow::printBack(bool indented)
{
    const QString text = m_back->text();
    send(indented ? check_print::indentedBack(text) : check_print::back(text), {text});
}

bool CheckWindow::send(const QList<QByteArray> &commands, const QStringList &texts)
{
    // A library that crashes takes the program with it: what was typed is on disk first.
    store();
    return sendCommands(m_services, this, m_porta, commands, texts);
}

void CheckWindow::validateValue()
{
    m_value->setText(check_value::toCurrency(m_value->text(), m_services.locale));
}

void CheckWindow::load()
{
    const check_data::LoadResult loaded = check_data::load(m_services.workDir);
    m_unreadable = loaded.error;
    if (!loaded.error.isEmpty()) {
        reportFileError(m_readError,
            QStringLiteral("Não foi possível ler %1: %2")
                .arg(QLatin1String(check_data::kFileName), loaded.error));
        return;
    }
    m_readError.clear();
    const check_data::CheckData &d = loaded.data;
    m_bank->setText(d.bank);
    m_value->setText(d.value);
    m_payee->setText(d.payee);
    m_date->setText(check_value::formatDate(m_services.clock->today(), m_services.locale));
    m_observation1->setText(d.observation1);
    m_observation2->setText(d.observation2);
    m_city->setText(d.city);
    m_back->setText(d.back);
}

void CheckWindow::store()
{
    const check_data::CheckData d {m_bank->text(), m_value->text(), m_payee->text(),
        m_observation1->text(), m_observation2->text(), m_city->text(), m_back->text()};
    const QString error
        = m_unreadable.isEmpty() ? check_data::save(m_services.workDir, d) : m_unreadable;
    if (!error.isEmpty()) {
        reportFileError(m_writeError,
            QStringLiteral("Não foi possível gravar %1: %2")
                .arg(QLatin1String(check_data::kFileName), error));
        return;
    }
    m_writeError.clear();
}

void CheckWindow::reportFileError(QString &told, const QString &text)
{
    // The same failure at every switch of windows is told once.
    if (text == told)
        return;
    told = text;
    m_services.messages->show(this, text);
}

void CheckWindow::openLayoutEditor()
{
    m_bankPending = false;
    validateBank();
    if (!m_editor) {
        m_editor = new LayoutEditor(
            m_services,
            [this] {
                return LayoutSource {m_bank->text(), Formato_cheque};
            },
            this);
    }
    m_editor->show();
    m_editor->raise();
    m_editor->activateWindow();
}
