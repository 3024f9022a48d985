#include "core/WindowGeometry.h"

#include <cmath>

namespace WindowGeometry {

QPoint centeredTopLeft(const QSize &screen, const QSize &window)
{
    const double left = screen.width() / 2.0 - window.width() / 2.0;
    const double top = screen.height() / 2.0 - window.height() / 2.0;
    return QPoint(int(std::floor(left)), int(std::floor(top)));
}

} // namespace WindowGeometry
