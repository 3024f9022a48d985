#pragma once

#include <QPoint>
#include <QSize>

namespace WindowGeometry {

// Top-left corner that puts a window of the given outer size in the middle
// of the screen; negative when the window is larger than the screen.
QPoint centeredTopLeft(const QSize &screen, const QSize &window);

} // namespace WindowGeometry
