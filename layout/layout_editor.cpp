#include "layout/layout_editor.h"

#include "layout/layout_table.h"
#include "ui/activation_watcher.h"
#include "ui/form.h"
#include "ui/text_fields.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

using form::Kind;

#define VOREL_GAP(box, mm, top)                                                                    \
    {Kind::LineEdit, box, "", {3840, top, 495, 285}},                                              \
    {                                                                                              \
        Kind::Label, mm, "mm",                                                                     \
        {                                                                                          \
            4440, (top) + 65, 285, 165                                                             \
        }                                                                                          \
    }

const form::Control kControls[] = {
    {Kind::Label, "Label1", "R$", {5760, 240, 1455, 375}},
    {Kind::Label, "Label2", "Pague-se por este cheque a quantia de", {120, 360, 1935, 375}},
    {Kind::Label, "Label3", "a", {120, 1320, 495, 375}},
    {Kind::Label, "Label4", "ou à sua ordem", {5880, 1320, 1335, 255}},
    {Kind::Label, "Label6", "de", {3120, 1680, 375, 375}},
    {Kind::Label, "Label5", "de", {5880, 1680, 375, 375}},
    {Kind::Label, "Label7", "Observações 1", {120, 2400, 1335, 255}},
    {Kind::Label, "Label8", "Observações 2", {120, 2760, 1335, 255}},
    {Kind::Label, "Label10", "Banco", {1920, 120, 615, 255}},
    {Kind::LineEdit, "Text8", "", {2640, 0, 495, 285}},
    VOREL_GAP("Text1", "Label91", 50),
    VOREL_GAP("Text2", "Label90", 410),
    VOREL_GAP("Text3", "Label92", 770),
    VOREL_GAP("Text4", "Label93", 1130),
    VOREL_GAP("Text5", "Label94", 1490),
    VOREL_GAP("Text6", "Label95", 1850),
    VOREL_GAP("Text7", "Label96", 2570),
    {Kind::Button, "Command2", "Cancelar", {4800, 3120, 975, 255}},
    {Kind::Button, "Command1", "Aceitar", {6000, 3120, 1095, 255}},
};
#undef VOREL_GAP

enum class Ink { Check, Measure };

struct Line
{
    const char *name;
    Ink ink;
    int x1, y1, x2, y2; // twips
};

// The printed lines of the check, then the measuring line and its ticks at each measured height.
constexpr Line kLines[] = {
    {"Line8", Ink::Check, 6120, 360, 7080, 360},
    {"Line1", Ink::Check, 1920, 720, 7080, 720},
    {"Line2", Ink::Check, 120, 1080, 7080, 1080},
    {"Line3", Ink::Check, 360, 1440, 5640, 1440},
    {"Line6", Ink::Check, 3000, 1800, 1560, 1800},
    {"Line4", Ink::Check, 3480, 1800, 5760, 1800},
    {"Line5", Ink::Check, 6240, 1800, 7080, 1800},
    {"Line7", Ink::Check, 3480, 2160, 7080, 2160},
    {"Line9", Ink::Check, 7080, 2520, 1440, 2520},
    {"Line10", Ink::Check, 7080, 2880, 1440, 2880},
    {"Line11", Ink::Measure, 5040, 0, 5040, 2880},
    {"Line12", Ink::Measure, 4920, 120, 5040, 0},
    {"Line15", Ink::Measure, 5160, 240, 4920, 480},
    {"Line16", Ink::Measure, 5160, 600, 4920, 840},
    {"Line17", Ink::Measure, 5160, 960, 4920, 1200},
    {"Line18", Ink::Measure, 5160, 1320, 4920, 1560},
    {"Line19", Ink::Measure, 5160, 1680, 4920, 1920},
    {"Line21", Ink::Measure, 5160, 2400, 4920, 2640},
    {"Line22", Ink::Measure, 5160, 2760, 4920, 3000},
};

// Field k of the layout, 1 to 7, sits in box "Text<k>".
QString fieldBox(int k)
{
    return QStringLiteral("Text%1").arg(k);
}

// What each field measures, as the operator sees it on the drawn check.
const char *const kGapNames[layout_table::kFieldCount] = {
    "do topo do cheque à linha do valor",
    "da linha do valor ao valor por extenso",
    "entre as duas linhas do valor por extenso",
    "do valor por extenso ao favorecido",
    "do favorecido à linha de local e data",
    "da linha de local e data a Observações 1",
    "entre Observações 1 e Observações 2",
};

QString refusal(const layout_table::SaveResult &r)
{
    using Status = layout_table::SaveResult::Status;
    switch (r.status) {
    case Status::Saved:
        return {};
    case Status::BadBank:
        return QStringLiteral("O código do banco deve ter três algarismos.");
    case Status::BadField:
        return QStringLiteral("A medida %1 (%2) deve ter um ou dois algarismos.")
            .arg(r.field)
            .arg(QString::fromUtf8(kGapNames[r.field - 1]));
    case Status::FileError:
        return QStringLiteral("O formato não foi gravado (%1: %2).").arg(r.file, r.reason);
    }
    return {};
}

} // namespace

std::span<const form::Control> LayoutEditor::table()
{
    return kControls;
}

LayoutEditor::LayoutEditor(
    const Services &services, std::function<LayoutSource()> source, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_services(services)
    , m_source(std::move(source))
{
    const form::Controls controls = form::build(this, kControls);
    m_bank = controls.get<LineField>("Text8");
    for (int k = 1; k <= layout_table::kFieldCount; ++k)
        m_gaps[k - 1] = controls.get<LineField>(fieldBox(k));
    setObjectName(QStringLiteral("Formato"));
    setWindowTitle(QStringLiteral("Formato"));
    form::setClientSize(this, 7290, 3765);

    QPalette background = palette();
    background.setColor(QPalette::Window, palette().color(QPalette::HighlightedText));
    setPalette(background);
    setAutoFillBackground(true);

    QFont boxFont(QStringLiteral("Terminal"));
    boxFont.setStyleHint(QFont::TypeWriter);
    boxFont.setPointSizeF(6);
    boxFont.setBold(true);
    QFont captionFont(QStringLiteral("Small Fonts"));
    captionFont.setStyleHint(QFont::SansSerif);
    captionFont.setPointSizeF(6.75);
    captionFont.setBold(true);
    for (QLabel *label : findChildren<QLabel *>()) {
        label->setFont(captionFont);
        // A caption longer than its label goes on to a second line, as on the printed check.
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setFont(captionFont);
    m_bank->setMaxLength(3);
    m_bank->setFont(boxFont);
    for (LineField *box : m_gaps) {
        box->setMaxLength(2);
        box->setFont(boxFont);
    }

    form::setTabOrder(controls,
        {"Text2", "Text1", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Command1",
            "Command2"});

    connect(
        controls.get<QPushButton>("Command1"), &QPushButton::clicked, this, &LayoutEditor::accept);
    connect(controls.get<QPushButton>("Command2"), &QPushButton::clicked, this, &QWidget::hide);
    m_activation = new ActivationWatcher(
        this, [this] { refill(); }, [] {});
}

LayoutEditor::~LayoutEditor()
{
    // Focus changes while QWidget tears down must not reach a half-destroyed window.
    delete m_activation;
}

void LayoutEditor::showEvent(QShowEvent *event)
{
    // Also when the window system does not hand the focus over: the boxes never show stale data.
    refill();
    QWidget::showEvent(event);
}

void LayoutEditor::refill()
{
    const LayoutSource source = m_source();
    m_bank->setText(source.bank);
    for (int k = 0; k < layout_table::kFieldCount; ++k)
        m_gaps[k]->setText(source.layout.mid(2 * k, 2));
}

void LayoutEditor::accept()
{
    layout_table::Fields fields;
    for (int k = 0; k < layout_table::kFieldCount; ++k)
        fields[k] = m_gaps[k]->text();
    const layout_table::SaveResult result
        = layout_table::save(m_services.workDir, m_bank->text(), fields);
    if (result.saved()) {
        hide();
        return;
    }
    m_services.messages->show(this, refusal(result));
    using Status = layout_table::SaveResult::Status;
    if (result.status == Status::BadBank)
        m_bank->setFocus();
    else if (result.status == Status::BadField)
        m_gaps[result.field - 1]->setFocus();
}

void LayoutEditor::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const QColor check = palette().color(QPalette::WindowText);
    const QColor measure = palette().color(QPalette::Highlight);
    for (const Line &line : kLines) {
        painter.setPen(QPen(line.ink == Ink::Check ? check : measure, 1));
        painter.drawLine(form::twipsToPixels(QPoint(line.x1, line.y1)),
            form::twipsToPixels(QPoint(line.x2, line.y2)));
    }
}
