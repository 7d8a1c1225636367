#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the program's windows go on the screen. Every rectangle is a window's frame, the window
// manager's border and title included, in screen pixels; `available` is the screen's area left
// by panels and docks.
namespace window_place {

// Between two windows side by side.
inline constexpr int kGap = 8;

// Beside `anchor` on the first side, of right, left, below and above, with room for `smallest`,
// as much of `wanted` as fits there; where no side has room, `wanted` (cut to `available`) where
// it covers least of `anchor`.
[[nodiscard]] QRect beside(
    const QRect &available, const QRect &anchor, QSize wanted, QSize smallest);
// `frame` moved, and made smaller if need be, to lie wholly inside `available`.
[[nodiscard]] QRect inside(const QRect &available, const QRect &frame);
// Where a window of `first` goes so that it and one of `second` on its right stand side by
// side in the middle of `available`; at its left edge when they do not fit there together.
[[nodiscard]] QPoint pairStart(const QRect &available, QSize first, QSize second);

} // namespace window_place
