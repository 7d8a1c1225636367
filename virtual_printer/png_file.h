#pragma once

#include <QByteArray>

class QImage;

// A fast PNG writer for the drawn paper. The paper is mostly flat colour, and the general
// writers spend 20 ms or more a picture looking for matches a flat picture does not have: this
// one sends each row as its difference from the row above and codes the runs of zero that leaves.
namespace png_file {

// `image` as 8-bit RGB (any alpha is dropped); empty for a null image.
[[nodiscard]] QByteArray encode(const QImage &image);

} // namespace png_file
