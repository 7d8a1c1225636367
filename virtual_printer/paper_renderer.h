#pragma once

#include "virtual_printer/paper_job.h"

#include <QImage>
#include <QSizeF>
#include <QStringList>
#include <QVector>

class QPaintDevice;
class QPainter;

namespace paper_renderer {

inline constexpr double kPixelsPerMm = 8.0;
// The widest line of plain text the printer takes before it wraps.
inline constexpr int kTextColumns = 48;
// The height of the printer's characters (their em): 1.8 mm wide, 0.6 em.
inline constexpr double kPrintedEmMm = 3.0;

// One line of text as the printer put it on the paper, from the paper's top-left corner.
struct PrintedLine
{
    double xMm = 0;
    double baselineMm = 0;
    QString text;
};

// The paper alone, without the desk and heading of the picture.
[[nodiscard]] QSizeF paperSizeMm(const PaperJob &job);
// Every line of text on the paper, top to bottom: of a check front the value, the two lines of
// the amount in words, the payee, the place and date and the observations; of an authentication
// its line, once for each copy; of plain text and of the back of a check their rows.
[[nodiscard]] QVector<PrintedLine> printedLines(const PaperJob &job);
// The whole picture `render` draws: the paper on the desk, under its heading.
[[nodiscard]] QSizeF pictureSizeMm(const PaperJob &job);
// The paper, its top-left corner at the painter's origin, in real text and lines.
void paint(QPainter &painter, const PaperJob &job, double pixelsPerMm);
// The paper at true size by the device's resolution (a printer, a PDF page), from its top-left
// corner, made smaller where it would not fit; false when the device cannot be painted on.
[[nodiscard]] bool paint(QPaintDevice &device, const PaperJob &job);
// A PDF of one page the size of the paper, with real text; empty if it could not be made.
[[nodiscard]] QByteArray pdf(const PaperJob &job);

// The job as the printer would put it on paper, under a heading that names the job and says
// what the printer had to make up (a layout it could not read, a line off the edge).
[[nodiscard]] QImage render(const PaperJob &job, double pixelsPerMm = kPixelsPerMm);

// The heading's first line: the job, when it went out, its journal calls (counted from 1).
[[nodiscard]] QString heading(const PaperJob &job);
// The second: for a monitored authentication, when the line went out.
[[nodiscard]] QString details(const PaperJob &job);
// The third, in red: what the printer had to make up or leave out (a layout it could not
// read, lines past the edge, a date that is no date).
[[nodiscard]] QStringList notes(const PaperJob &job);

} // namespace paper_renderer
