#pragma once

#include "virtual_printer/paper_job.h"

#include <QImage>
#include <QSizeF>
#include <QStringList>
#include <QVector>

class QPainter;

namespace paper_renderer {

inline constexpr double kPixelsPerMm = 8.0;
// The widest line of plain text the printer takes before it wraps.
inline constexpr int kTextColumns = 48;

// One line of text as the printer put it on the paper, from the paper's top left corner.
struct PrintedLine
{
    double xMm = 0;
    double baselineMm = 0;
    QString text;
};

// The paper the job comes out on: a check is 175 × 80 mm.
[[nodiscard]] QSizeF paperMm(const PaperJob &job);
// Every line of text on the paper, top to bottom: of a check front the value, the two lines of
// the amount in words, the payee, the place and date and the observations; of an authentication
// its line, once for each copy; of plain text and of the back of a check their rows.
[[nodiscard]] QVector<PrintedLine> printedLines(const PaperJob &job);
// The paper alone at `pixelsPerMm`, its top left corner at the painter's origin.
void paintPaper(QPainter &painter, const PaperJob &job, double pixelsPerMm);

// The job as the printer would put it on paper, under a heading that names the job and says
// what the printer had to make up (a layout it could not read, a line off the edge).
[[nodiscard]] QImage render(const PaperJob &job, double pixelsPerMm = kPixelsPerMm);
// The paper alone as a one-page PDF at its true size, its printed lines as text.
[[nodiscard]] QByteArray pdf(const PaperJob &job);

// The heading's first line: the job, when it went out, its journal calls (counted from 1).
[[nodiscard]] QString heading(const PaperJob &job);
// The second: for a monitored authentication, when the line went out.
[[nodiscard]] QString details(const PaperJob &job);
// The third, in red: what the printer had to make up or leave out (a layout it could not
// read, lines past the edge, a date that is no date).
[[nodiscard]] QStringList notes(const PaperJob &job);

} // namespace paper_renderer
