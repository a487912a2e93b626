#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace dm {

// The top left corner that puts a window of the given size in the middle of the screen's
// free area. A window larger than the screen along an axis starts at the screen's edge
// there, so that its title bar stays on the screen.
QPoint centredTopLeft(const QSize& window, const QRect& screen);

} // namespace dm
