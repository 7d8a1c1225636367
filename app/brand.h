#pragma once

#include <QPixmap>

// Our own brand picture: a small document printer with a sheet coming out. `size` is in
// device-independent pixels; the picture holds `ratio` device pixels for each.
[[nodiscard]] QPixmap brandPicture(const QSize &size, qreal ratio);
