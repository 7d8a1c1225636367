#pragma once

#include "virtual_printer/paper_job.h"

#include <QString>
#include <QVector>

// A folder with a picture of every job of a journal and impressos.txt, the text they show.
namespace printed_folder {

enum class Format { Png, Pdf };

inline constexpr char kListingName[] = "impressos.txt";

// The picture of job `index` (from 0) of `count`: "impresso-0001.png".
[[nodiscard]] QString fileName(int index, int count, Format format);
// For each job its picture's name and heading, what the printer made up, and then each line of
// text its paper shows, indented by four spaces.
[[nodiscard]] QString listing(const QVector<PaperJob> &jobs, Format format);
// Writes the pictures and the listing into `folder`, made when missing, in place of those a
// run before left there: all of them or, with the reason returned, none.
[[nodiscard]] QString write(const QVector<PaperJob> &jobs, const QString &folder, Format format);

} // namespace printed_folder
