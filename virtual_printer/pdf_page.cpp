#include "virtual_printer/pdf_page.h"

#include "printer_link/cp1252.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QTransform>
#include <array>
#include <climits>
#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kMmPerInch = 25.4;

// The standard fonts the page may name; a viewer has them without the file carrying them.
constexpr std::array<const char *, 4> kFonts
    = {"Courier", "Courier-Bold", "Helvetica", "Helvetica-Bold"};
// Courier's advance, in ems.
constexpr double kCourierAdvance = 0.6;

QByteArray number(double value)
{
    // QByteArray::number is locale-free, as a PDF number must be.
    QByteArray out = QByteArray::number(value, 'f', 2);
    while (out.endsWith('0'))
        out.chop(1);
    if (out.endsWith('.'))
        out.chop(1);
    return out == "-0" ? QByteArray("0") : out;
}

// `text` in cp1252 as a PDF string, "(Sa\\(o\\))".
QByteArray pdfString(const QString &text)
{
    QByteArray out("(");
    for (const char c : cp1252::fromUnicode(text)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b >= 0x7F) {
            out += '\\';
            for (int shift = 6; shift >= 0; shift -= 3)
                out += char('0' + (b >> shift & 7));
        } else {
            out += c;
        }
    }
    return out + ')';
}

} // namespace

// Turns what QPainter draws into PDF page operators, in points from the page's bottom-left
// corner.
class PdfPageEngine : public QPaintEngine
{
public:
    explicit PdfPageEngine(double heightPt)
        : QPaintEngine(AllFeatures)
        , m_heightPt(heightPt)
    { }

    // The page's content stream.
    [[nodiscard]] const QByteArray &content() const { return m_content; }

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & DirtyPen)
            m_pen = state.pen();
        if (state.state() & DirtyBrush)
            m_brush = state.brush();
        if (state.state() & DirtyTransform)
            m_transform = state.transform();
        // The page is the paper, so clipping to the paper leaves nothing more to clip.
    }

    using QPaintEngine::drawEllipse;
    using QPaintEngine::drawLines;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;

    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            QPainterPath path;
            path.addRect(rects[i]);
            drawPath(path);
        }
    }

    void drawLines(const QLineF *lines, int count) override
    {
        if (m_pen.style() == Qt::NoPen)
            return;
        setStroke();
        for (int i = 0; i < count; ++i)
            m_content += point(lines[i].p1()) + " m " + point(lines[i].p2()) + " l S\n";
    }

    void drawEllipse(const QRectF &rect) override
    {
        QPainterPath path;
        path.addEllipse(rect);
        drawPath(path);
    }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode)
            path.closeSubpath();
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        const QBrush brush = m_brush;
        if (mode == PolylineMode)
            m_brush = Qt::NoBrush;
        drawPath(path);
        m_brush = brush;
    }

    void drawPath(const QPainterPath &path) override
    {
        const bool fill = m_brush.style() != Qt::NoBrush;
        const bool stroke = m_pen.style() != Qt::NoPen;
        if (!fill && !stroke)
            return;
        if (fill)
            m_content += colour(m_brush.color()) + " rg\n";
        if (stroke)
            setStroke();
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            if (e.isMoveTo()) {
                m_content += point(e) + " m\n";
            } else if (e.isLineTo()) {
                m_content += point(e) + " l\n";
            } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
                m_content += point(e) + ' ' + point(path.elementAt(i + 1)) + ' '
                    + point(path.elementAt(i + 2)) + " c\n";
                i += 2;
            }
        }
        const bool evenOdd = path.fillRule() == Qt::OddEvenFill;
        m_content += fill && stroke ? (evenOdd ? "B*\n" : "B\n")
            : fill                  ? (evenOdd ? "f*\n" : "f\n")
                                    : "S\n";
    }

    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override
    {
        // Nothing on the paper is a picture: the logo is drawn dot by dot.
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QString text = item.text();
        if (text.isEmpty())
            return;
        const QFont font = item.font();
        const bool fixed = font.fixedPitch() || font.family().contains(QLatin1String("Mono"));
        const int face = (fixed ? 0 : 2) + (font.bold() ? 1 : 0);
        const double em = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
        const double size = em * scale();
        QByteArray spacing;
        if (fixed) {
            // The printer's pitch, whatever Courier's own advance.
            const double advance = item.width() * scale() / text.size();
            spacing = number(advance - kCourierAdvance * size) + " Tc ";
        }
        m_content += "BT /F" + QByteArray::number(face + 1) + ' ' + number(size) + " Tf "
            + colour(m_pen.color()) + " rg " + spacing + point(p) + " Td " + pdfString(text)
            + " Tj ET\n";
    }

private:
    // Device pixels to points, times the painter's own scale.
    double scale() const
    {
        return std::sqrt(std::abs(m_transform.determinant())) * kPointsPerInch
            / PdfPage::kDotsPerInch;
    }

    QByteArray point(const QPointF &at) const
    {
        const QPointF d = m_transform.map(at) * (kPointsPerInch / PdfPage::kDotsPerInch);
        return number(d.x()) + ' ' + number(m_heightPt - d.y());
    }

    static QByteArray colour(const QColor &c)
    {
        return number(c.redF()) + ' ' + number(c.greenF()) + ' ' + number(c.blueF());
    }

    void setStroke()
    {
        const double width = std::max(m_pen.widthF(), 1.0) * scale();
        QByteArray dash = "[]";
        if (m_pen.style() != Qt::SolidLine) {
            dash = "[";
            for (const qreal length : m_pen.dashPattern())
                dash += number(length * width) + ' ';
            dash.back() = ']';
        }
        m_content += colour(m_pen.color()) + " RG " + number(width) + " w " + dash + " 0 d\n";
    }

    double m_heightPt;
    QByteArray m_content;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
};

PdfPage::PdfPage(QSizeF sizeMm, QString title)
    : m_sizeMm(sizeMm)
    , m_title(std::move(title))
    , m_engine(std::make_unique<PdfPageEngine>(sizeMm.height() / kMmPerInch * kPointsPerInch))
{ }

PdfPage::~PdfPage() = default;

QPaintEngine *PdfPage::paintEngine() const
{
    return m_engine.get();
}

int PdfPage::metric(PaintDeviceMetric metric) const
{
    const auto dots = [](double mm) { return qRound(mm / kMmPerInch * kDotsPerInch); };
    switch (metric) {
    case PdmWidth:
        return dots(m_sizeMm.width());
    case PdmHeight:
        return dots(m_sizeMm.height());
    case PdmWidthMM:
        return qRound(m_sizeMm.width());
    case PdmHeightMM:
        return qRound(m_sizeMm.height());
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kDotsPerInch;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

QByteArray PdfPage::bytes() const
{
    const double widthPt = m_sizeMm.width() / kMmPerInch * kPointsPerInch;
    const double heightPt = m_sizeMm.height() / kMmPerInch * kPointsPerInch;
    QByteArray fonts;
    for (size_t i = 0; i < kFonts.size(); ++i)
        fonts += "/F" + QByteArray::number(int(i + 1)) + ' ' + QByteArray::number(int(i + 5))
            + " 0 R ";
    // The title in UTF-16, as PDF text strings outside Latin-1 go.
    QByteArray title = "<FEFF";
    for (const QChar c : m_title)
        title += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    title += '>';

    QList<QByteArray> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(widthPt) + ' ' + number(heightPt)
            + "] /Resources << /Font << " + fonts + ">> >> /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(m_engine->content().size()) + " >>\nstream\n"
            + m_engine->content() + "endstream"};
    for (const char *font : kFonts) {
        objects.append(QByteArray("<< /Type /Font /Subtype /Type1 /BaseFont /") + font
            + " /Encoding /WinAnsiEncoding >>");
    }
    objects.append("<< /Title " + title + " /Creator (vorel-demo) >>");

    QByteArray out = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(out.size());
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R /Info "
        + QByteArray::number(objects.size()) + " 0 R >>\nstartxref\n" + QByteArray::number(xref)
        + "\n%%EOF\n";
    return out;
}
