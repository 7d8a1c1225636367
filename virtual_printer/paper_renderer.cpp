#include "virtual_printer/paper_renderer.h"

#include "layout/default_layout.h"
#include "printer_link/cp1252.h"
#include "printer_link/printer_commands.h"
#include "virtual_printer/amount_words.h"
#include "virtual_printer/check_front.h"
#include "virtual_printer/journal_format.h"
#include "virtual_printer/pdf_page.h"
#include "virtual_printer/print_grid.h"

#include <QFontMetricsF>
#include <QPainter>

namespace paper_renderer {

namespace {

using check_front::Line;

// The printer's fixed pitch: about 14 characters an inch, 6 lines an inch.
constexpr double kPitchMm = 1.8;
constexpr double kLineMm = 25.4 / 6;
constexpr double kMarginMm = 6;
constexpr double kDeskMm = 4; // grey around the paper
constexpr double kHeadingMm = 12;
constexpr double kDotMm = 0.7; // bit image dot pitch, both ways: a logo two text lines high
constexpr int kDotsPerColumn = 8;
constexpr double kAuthRowMm = 10;
constexpr int kMaxTextRows = 100;

// Where the printer writes on the front: first character of each line, and the right edge.
constexpr double kValueRightMm = 168;
constexpr double kWords1LeftMm = 53;
constexpr double kWordsRightMm = 170;
constexpr double kWords2LeftMm = 6;
constexpr double kPayeeLeftMm = 10;
constexpr double kPlaceRightMm = 168;
constexpr double kObservationLeftMm = 6;
constexpr double kBaselineAboveLineMm = 0.9;

int columnsBetween(double leftMm, double rightMm)
{
    return static_cast<int>((rightMm - leftMm) / kPitchMm);
}

int backColumns()
{
    return columnsBetween(kMarginMm, check_front::kWidthMm - kMarginMm);
}

int backRows()
{
    return static_cast<int>((check_front::kHeightMm - kMarginMm) / kLineMm);
}

int imageColumnsThatFit()
{
    return static_cast<int>((check_front::kWidthMm - 2 * kMarginMm) / kDotMm);
}

QString shown(const QByteArray &bytes)
{
    constexpr qsizetype kMax = 24;
    QString text = journal_format::readable(bytes.left(kMax));
    return bytes.size() > kMax ? text + QStringLiteral("…") : text;
}

QString fieldText(const QByteArray &bytes)
{
    return journal_format::readable(bytes);
}

QString amountWords(const PaperJob &job, uint64_t cents)
{
    return amount_words::inWords(
        cents, cp1252::toUnicode(job.check.singular), cp1252::toUnicode(job.check.plural));
}

check_front::AmountLines amountLines(const PaperJob &job, uint64_t cents)
{
    const int first = columnsBetween(kWords1LeftMm, kWordsRightMm);
    const int second = columnsBetween(kWords2LeftMm, kWordsRightMm);
    return check_front::splitAmount(amountWords(job, cents),
        [&](const QString &text, int line) { return text.size() <= (line == 0 ? first : second); });
}

bool isCheck(const PaperJob &job)
{
    return job.kind == PaperJob::Kind::CheckFront || job.kind == PaperJob::Kind::CheckObservations;
}

QString when(const QDateTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss.zzz"));
}

// `family` with its em `emPixels` high.
QFont pixelFont(const QString &family, double emPixels, bool bold = false)
{
    QFont f(family);
    f.setPixelSize(std::max(1, qRound(emPixels)));
    f.setBold(bold);
    return f;
}

// Millimetres to device pixels on one piece of paper, its top-left corner at the painter's
// origin.
class Sheet
{
public:
    Sheet(QPainter &painter, double pixelsPerMm, QSizeF paperMm)
        : m_ppm(pixelsPerMm)
        , m_painter(painter)
        , m_paper(0, 0, px(paperMm.width()), px(paperMm.height()))
    { }

    double px(double mm) const { return mm * m_ppm; }
    QPointF at(double xMm, double yMm) const
    {
        return m_paper.topLeft() + QPointF(px(xMm), px(yMm));
    }
    QPainter &painter() { return m_painter; }
    // A thin line, at least one device pixel wide: the pictures' lines, and an eighth of a
    // millimetre on paper.
    QPen pen(const QColor &colour, Qt::PenStyle style = Qt::SolidLine) const
    {
        return QPen(colour, std::max(1.0, px(0.125)), style);
    }

    void paper(const QColor &colour)
    {
        m_painter.fillRect(m_paper, colour);
        m_painter.setPen(pen(QColor(0x99, 0x99, 0x99)));
        m_painter.drawRect(m_paper);
        m_painter.setClipRect(m_paper);
    }

    QFont font(const QString &family, double emMm, bool bold = false) const
    {
        return pixelFont(family, px(emMm), bold);
    }

    // Fixed pitch whatever the font's own advance, so columns line up as the printer's do.
    void printed(double xMm, double baselineMm, const QString &text, const QColor &ink = Qt::black)
    {
        QFont f = font(QStringLiteral("DejaVu Sans Mono"), kPrintedEmMm);
        const double advance
            = QFontMetricsF(f, m_painter.device()).horizontalAdvance(QLatin1Char('M'));
        f.setLetterSpacing(QFont::AbsoluteSpacing, px(kPitchMm) - advance);
        m_painter.setFont(f);
        m_painter.setPen(ink);
        m_painter.drawText(at(xMm, baselineMm), text);
    }

    void label(
        double xMm, double baselineMm, const QString &text, const QColor &colour, double emMm = 2.4)
    {
        m_painter.setFont(font(QStringLiteral("DejaVu Sans"), emMm));
        m_painter.setPen(colour);
        m_painter.drawText(at(xMm, baselineMm), text);
    }

    void line(double x1, double y1, double x2, double y2, const QPen &pen)
    {
        m_painter.setPen(pen);
        m_painter.drawLine(at(x1, y1), at(x2, y2));
    }

    // Dot by dot, bit 7 of each column the top dot; columns beyond the paper are left out.
    void bitImage(double xMm, double topMm, const QByteArray &columns)
    {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(Qt::black);
        const double radius = px(kDotMm * 0.45);
        const int shown = std::min<int>(columns.size(), imageColumnsThatFit());
        for (int c = 0; c < shown; ++c) {
            const auto bits = static_cast<unsigned char>(columns.at(c));
            for (int dot = 0; dot < kDotsPerColumn; ++dot) {
                if (bits & (0x80 >> dot)) {
                    m_painter.drawEllipse(
                        at(xMm + c * kDotMm, topMm + dot * kDotMm) + QPointF(radius, radius),
                        radius, radius);
                }
            }
        }
        m_painter.setBrush(Qt::NoBrush);
    }

private:
    double m_ppm;
    QPainter &m_painter;
    QRectF m_paper;
};

// Above the paper on the desk: what the job is, when the line went out, what had to be made up.
void drawHeading(QPainter &painter, const PaperJob &job, double ppm, double widthPx)
{
    const auto px = [ppm](double mm) { return mm * ppm; };
    QRectF line(px(kDeskMm), px(0.8), widthPx - px(2 * kDeskMm), px(4.4));
    painter.setFont(pixelFont(QStringLiteral("DejaVu Sans"), px(3.4), true));
    painter.setPen(Qt::black);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, heading(job));
    painter.setFont(pixelFont(QStringLiteral("DejaVu Sans"), px(2.6)));
    line.translate(0, px(3.9));
    line.setHeight(px(3.3));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, details(job));
    line.translate(0, px(3.3));
    painter.setPen(QColor(0xb0, 0x10, 0x10));
    painter.drawText(
        line, Qt::AlignLeft | Qt::AlignVCenter, notes(job).join(QStringLiteral(" · ")));
}

const QColor kForm(0x4a, 0x6a, 0x96);
const QColor kGuide(0x9a, 0xb0, 0xc8);

void drawCheckForm(Sheet &s, const check_front::Heights &h)
{
    const QPen pen(kForm, std::max(1.0, s.px(0.2)));
    const double value = at(h, Line::Value);
    s.label(118, value - 1, QStringLiteral("R$"), kForm, 3.4);
    s.painter().setPen(pen);
    s.painter().drawRect(QRectF(s.at(125, value - 5), s.at(kWordsRightMm, value + 1)));
    s.label(6, at(h, Line::Words1) - 1, QStringLiteral("Pague-se por este cheque a quantia de"),
        kForm, 2.2);
    s.line(kWords1LeftMm - 1, at(h, Line::Words1), kWordsRightMm, at(h, Line::Words1), pen);
    s.line(kWords2LeftMm - 1, at(h, Line::Words2), kWordsRightMm, at(h, Line::Words2), pen);
    s.label(5, at(h, Line::Payee) - 1, QStringLiteral("a"), kForm);
    s.line(kPayeeLeftMm - 1, at(h, Line::Payee), 140, at(h, Line::Payee), pen);
    s.label(142, at(h, Line::Payee) - 1, QStringLiteral("ou à sua ordem"), kForm, 2.2);
    s.line(70, at(h, Line::PlaceDate), kWordsRightMm, at(h, Line::PlaceDate), pen);
    const QPen guide = s.pen(kGuide, Qt::DashLine);
    for (const Line l : {Line::Observation1, Line::Observation2})
        s.line(kObservationLeftMm - 1, at(h, l), kWordsRightMm, at(h, l), guide);
    // Millimetres from the top edge in the margin, to compare with the layout.
    for (const int mm : h.mm) {
        s.line(0, mm, 2.5, mm, s.pen(QColor(0xc0, 0x50, 0x50)));
        s.label(0.3, mm - 0.4, QString::number(mm), QColor(0xc0, 0x50, 0x50), 1.6);
    }
}

QVector<PrintedLine> checkLines(const PaperJob &job)
{
    const check_front::Heights h = check_front::heights(job.layout);
    const auto baseline = [&](Line l) { return at(h, l) - kBaselineAboveLineMm; };
    const auto right = [](double rightMm, double baselineMm, const QString &text) {
        return PrintedLine {rightMm - text.size() * kPitchMm, baselineMm, text};
    };
    QVector<PrintedLine> out;
    if (job.kind == PaperJob::Kind::CheckFront) {
        if (const std::optional<uint64_t> cents = check_front::cents(job.check.value)) {
            out << right(kValueRightMm, baseline(Line::Value), check_front::valueText(*cents));
            const check_front::AmountLines words = amountLines(job, *cents);
            out << PrintedLine {kWords1LeftMm, baseline(Line::Words1), words.first}
                << PrintedLine {kWords2LeftMm, baseline(Line::Words2), words.second};
        } else {
            out << right(kValueRightMm, baseline(Line::Value), fieldText(job.check.value));
        }
        out << PrintedLine {kPayeeLeftMm, baseline(Line::Payee), fieldText(job.check.payee)}
            << right(kPlaceRightMm, baseline(Line::PlaceDate),
                   check_front::placeAndDate(fieldText(job.check.city), job.check.date));
    }
    out << PrintedLine {kObservationLeftMm, baseline(Line::Observation1),
        fieldText(job.check.observation1)}
        << PrintedLine {
               kObservationLeftMm, baseline(Line::Observation2), fieldText(job.check.observation2)};
    return out;
}

QVector<PrintedLine> gridLines(double leftMm, double topMm, const print_grid::Grid &grid)
{
    QVector<PrintedLine> out;
    for (int r = 0; r < grid.rows.size(); ++r)
        out << PrintedLine {leftMm, topMm + (r + 1) * kLineMm - 1, grid.rows.at(r)};
    return out;
}

int copies(const PaperJob &job)
{
    return job.twice ? 2 : 1;
}

double authenticationTop(int copy)
{
    return kMarginMm + copy * kAuthRowMm;
}

QVector<PrintedLine> authenticationLines(const PaperJob &job)
{
    const double imageWidth = std::min<int>(job.image.size(), imageColumnsThatFit()) * kDotMm;
    const double textLeft = kMarginMm + imageWidth + (job.image.isEmpty() ? 0 : 2);
    const QString line
        = fieldText(job.text).left(std::max(0, columnsBetween(textLeft, check_front::kWidthMm)));
    QVector<PrintedLine> out;
    for (int copy = 0; copy < copies(job); ++copy)
        out << PrintedLine {
            textLeft, authenticationTop(copy) + (kDotsPerColumn - 1) * kDotMm, line};
    return out;
}

print_grid::Grid textGrid(const PaperJob &job)
{
    return print_grid::lay(job.text, kTextColumns, kMaxTextRows);
}

double textImageRowsMm(const PaperJob &job)
{
    return job.image.isEmpty() ? 0 : kAuthRowMm;
}

// What the paper shows besides its printed lines: its colour, the printed form of a check, the
// ruler over plain text, the bit images.
void drawPaper(Sheet &s, const PaperJob &job)
{
    switch (job.kind) {
    case PaperJob::Kind::CheckFront:
    case PaperJob::Kind::CheckObservations:
        s.paper(QColor(0xf2, 0xf6, 0xee));
        drawCheckForm(s, check_front::heights(job.layout));
        break;
    case PaperJob::Kind::CheckBack:
        s.paper(QColor(0xf7, 0xf7, 0xf3));
        break;
    case PaperJob::Kind::Authentication:
    case PaperJob::Kind::MonitoredAuthentication:
        s.paper(Qt::white);
        for (int copy = 0; copy < copies(job); ++copy)
            s.bitImage(kMarginMm, authenticationTop(copy), job.image);
        break;
    case PaperJob::Kind::Text:
        s.paper(Qt::white);
        // Every tenth column marked above the text, to read the line width off the ruler lines.
        for (int column = 10; column <= kTextColumns; column += 10) {
            const double x = kMarginMm + (column - 0.5) * kPitchMm;
            s.line(x, 0, x, 1.5, s.pen(kGuide));
            s.label(x - 1, 3.2, QString::number(column), kGuide, 1.8);
        }
        s.bitImage(kMarginMm, kMarginMm, job.image);
        break;
    }
}

void setUp(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

} // namespace

QString heading(const PaperJob &job)
{
    const QString calls = job.firstCall == job.lastCall
        ? QStringLiteral("chamada %1").arg(job.firstCall + 1)
        : QStringLiteral("chamadas %1 a %2").arg(job.firstCall + 1).arg(job.lastCall + 1);
    return QStringLiteral("%1 — %2 — %3")
        .arg(jobTitle(job), job.time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss.zzz")), calls);
}

QString details(const PaperJob &job)
{
    if (job.kind != PaperJob::Kind::MonitoredAuthentication || !job.lineTime.isValid())
        return {};
    return QStringLiteral("linha enviada às %1, %2 ms após ESC ~1")
        .arg(when(job.lineTime))
        .arg(job.waitStarted.msecsTo(job.lineTime));
}

QStringList notes(const PaperJob &job)
{
    QStringList out;
    if (isCheck(job)) {
        const check_front::Heights h = check_front::heights(job.layout);
        if (h.defaulted) {
            out << QStringLiteral("formato «%1» não tem 14 algarismos: usado o padrão %2")
                       .arg(shown(job.layout), QString::fromLatin1(kDefaultLayout));
        }
        if (job.printArguments != printer_commands::kPrintArguments)
            out << QStringLiteral("esperado 000N antes do formato, veio «%1»")
                       .arg(shown(job.printArguments));
        if (h.mm.back() > check_front::kHeightMm - 1)
            out << QStringLiteral("linhas além da borda do cheque (%1 mm)").arg(h.mm.back());
    }
    if (job.kind == PaperJob::Kind::CheckFront) {
        const std::optional<uint64_t> cents = check_front::cents(job.check.value);
        if (!cents)
            out << QStringLiteral("valor «%1» não é de 12 algarismos").arg(shown(job.check.value));
        else if (!amountLines(job, *cents).fits)
            out << QStringLiteral("o valor por extenso não cabe nas duas linhas");
        if (!check_front::date(job.check.date))
            out << QStringLiteral("data «%1» não é DDMMAA").arg(shown(job.check.date));
    }
    if (job.kind == PaperJob::Kind::CheckBack) {
        const int rows = print_grid::lay(job.text, backColumns(), backRows()).totalRows;
        if (rows > backRows())
            out << QStringLiteral("%1 linhas não couberam no verso").arg(rows - backRows());
    }
    if (job.kind == PaperJob::Kind::Text) {
        const int rows = print_grid::lay(job.text, kTextColumns, kMaxTextRows).totalRows;
        if (rows > kMaxTextRows)
            out << QStringLiteral("mostradas %1 de %2 linhas").arg(kMaxTextRows).arg(rows);
    }
    if (job.kind == PaperJob::Kind::MonitoredAuthentication) {
        if (!job.lineTime.isValid())
            out << QStringLiteral("nenhuma linha enviada entre ESC ~1 e ESC ~0");
    }
    if (job.image.size() > imageColumnsThatFit())
        out << QStringLiteral("imagem de %1 colunas cortada na borda").arg(job.image.size());
    return out;
}

QSizeF paperSizeMm(const PaperJob &job)
{
    switch (job.kind) {
    case PaperJob::Kind::Authentication:
    case PaperJob::Kind::MonitoredAuthentication:
        return {double(check_front::kWidthMm), 2 * kMarginMm + copies(job) * kAuthRowMm};
    case PaperJob::Kind::Text:
        return {2 * kMarginMm + kTextColumns * kPitchMm,
            2 * kMarginMm + textImageRowsMm(job) + textGrid(job).rows.size() * kLineMm};
    default:
        return {double(check_front::kWidthMm), double(check_front::kHeightMm)};
    }
}

QVector<PrintedLine> printedLines(const PaperJob &job)
{
    switch (job.kind) {
    case PaperJob::Kind::CheckFront:
    case PaperJob::Kind::CheckObservations:
        return checkLines(job);
    case PaperJob::Kind::CheckBack:
        return gridLines(
            kMarginMm, kMarginMm / 2, print_grid::lay(job.text, backColumns(), backRows()));
    case PaperJob::Kind::Authentication:
    case PaperJob::Kind::MonitoredAuthentication:
        return authenticationLines(job);
    case PaperJob::Kind::Text:
        return gridLines(kMarginMm, kMarginMm + textImageRowsMm(job), textGrid(job));
    }
    return {};
}

QSizeF pictureSizeMm(const PaperJob &job)
{
    return paperSizeMm(job) + QSizeF(2 * kDeskMm, kHeadingMm + 2 * kDeskMm);
}

void paint(QPainter &painter, const PaperJob &job, double pixelsPerMm)
{
    painter.save();
    Sheet s(painter, pixelsPerMm, paperSizeMm(job));
    drawPaper(s, job);
    for (const PrintedLine &line : printedLines(job))
        s.printed(line.xMm, line.baselineMm, line.text);
    painter.restore();
}

bool paint(QPaintDevice &device, const PaperJob &job)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    setUp(painter);
    const double ppm = device.logicalDpiX() / 25.4;
    const QSizeF paper = paperSizeMm(job) * ppm;
    const double fits = std::min({1.0, device.width() / paper.width(),
        device.height() * double(device.logicalDpiX()) / device.logicalDpiY() / paper.height()});
    painter.scale(fits, fits * device.logicalDpiY() / device.logicalDpiX());
    paint(painter, job, ppm);
    return painter.end();
}

QImage render(const PaperJob &job, double pixelsPerMm)
{
    const auto px = [pixelsPerMm](double mm) { return mm * pixelsPerMm; };
    const QSizeF picture = pictureSizeMm(job);
    QImage image(qCeil(px(picture.width())), qCeil(px(picture.height())), QImage::Format_RGB32);
    image.fill(QColor(0xd6, 0xd6, 0xd2));
    QPainter painter(&image);
    setUp(painter);
    drawHeading(painter, job, pixelsPerMm, image.width());
    painter.translate(px(kDeskMm), px(kHeadingMm + kDeskMm));
    paint(painter, job, pixelsPerMm);
    return image;
}

QByteArray pdf(const PaperJob &job)
{
    PdfPage page(paperSizeMm(job), heading(job));
    return paint(page, job) ? page.bytes() : QByteArray();
}

} // namespace paper_renderer
