#pragma once

#include <QPixmap>

// Our own brand picture: a small document printer with a sheet coming out.
[[nodiscard]] QPixmap brandPicture(const QSize &size);
