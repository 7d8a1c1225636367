#include "app/brand.h"

#include <QPainter>

QPixmap brandPicture(const QSize &size, qreal ratio)
{
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size.width() / 100.0, size.height() / 50.0);

    const QColor blue(0x1f, 0x4e, 0x96);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRoundedRect(QRectF(4, 18, 92, 26), 5, 5);
    p.setBrush(Qt::white);
    p.setPen(QPen(blue, 2));
    p.drawRect(QRectF(22, 4, 56, 22)); // the sheet
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xc0), 1.5));
    for (int y = 10; y <= 20; y += 5)
        p.drawLine(QPointF(28, y), QPointF(72, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf2, 0xb1, 0x34));
    p.drawEllipse(QPointF(86, 36), 3, 3); // the power light
    p.setBrush(QColor(0x0d, 0x2a, 0x55));
    p.drawRect(QRectF(14, 30, 60, 4)); // the paper slot
    return pixmap;
}
