#include "app/window_place.h"

#include <algorithm>
#include <array>

namespace window_place {

namespace {

qint64 area(const QRect &r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

// The start of a span `length` long, moved inside [low, high].
int within(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high + 1 - length));
}

} // namespace

QRect beside(const QRect &available, const QRect &anchor, QSize wanted, QSize smallest)
{
    const QSize size = wanted.boundedTo(available.size());
    const int x = within(anchor.left(), size.width(), available.left(), available.right());
    const int y = within(anchor.top(), size.height(), available.top(), available.bottom());
    const int right = available.right() - anchor.right() - kGap;
    const int left = anchor.left() - available.left() - kGap;
    const int below = available.bottom() - anchor.bottom() - kGap;
    const int above = anchor.top() - available.top() - kGap;
    const bool tallEnough = size.height() >= smallest.height();
    const bool wideEnough = size.width() >= smallest.width();
    if (tallEnough && right >= smallest.width())
        return {anchor.right() + 1 + kGap, y, std::min(size.width(), right), size.height()};
    if (tallEnough && left >= smallest.width()) {
        const int width = std::min(size.width(), left);
        return {anchor.left() - kGap - width, y, width, size.height()};
    }
    if (wideEnough && below >= smallest.height())
        return {x, anchor.bottom() + 1 + kGap, size.width(), std::min(size.height(), below)};
    if (wideEnough && above >= smallest.height()) {
        const int height = std::min(size.height(), above);
        return {x, anchor.top() - kGap - height, size.width(), height};
    }
    // Against each edge of the anchor and of the screen; the first of the least covering wins.
    const std::array<int, 4> xs {anchor.right() + 1 + kGap, available.right() + 1 - size.width(),
        anchor.left() - kGap - size.width(), available.left()};
    const std::array<int, 4> ys {anchor.top(), available.top(),
        available.bottom() + 1 - size.height(), anchor.bottom() + 1 + kGap};
    QRect best;
    qint64 least = -1;
    for (const int top : ys) {
        for (const int leftEdge : xs) {
            const QRect r(within(leftEdge, size.width(), available.left(), available.right()),
                within(top, size.height(), available.top(), available.bottom()), size.width(),
                size.height());
            if (const qint64 covered = area(r.intersected(anchor)); least < 0 || covered < least) {
                best = r;
                least = covered;
            }
        }
    }
    return best;
}

QRect inside(const QRect &available, const QRect &frame)
{
    const QSize size = frame.size().boundedTo(available.size());
    return {within(frame.left(), size.width(), available.left(), available.right()),
        within(frame.top(), size.height(), available.top(), available.bottom()), size.width(),
        size.height()};
}

QPoint pairStart(const QRect &available, QSize first, QSize second)
{
    const int width = first.width() + kGap + second.width();
    const int height = std::min(std::max(first.height(), second.height()), available.height());
    return {available.left() + std::max(0, (available.width() - width) / 2),
        available.top() + (available.height() - height) / 2};
}

} // namespace window_place
