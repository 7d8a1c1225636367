#pragma once

#include "virtual_printer/paper_job.h"

#include <QImage>
#include <QStringList>

namespace paper_renderer {

inline constexpr double kPixelsPerMm = 8.0;
// The widest line of plain text the printer takes before it wraps.
inline constexpr int kTextColumns = 48;

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
