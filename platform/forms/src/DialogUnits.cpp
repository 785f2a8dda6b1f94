#include "forms/DialogUnits.h"

#include "forms/DesignControls.h"

#include <cmath>

namespace forms::dialogunits {

namespace {

// units * base / per, rounded to the nearest pixel as the system's MulDiv rounds.
int scale(int units, int base96, int per, double dpi) {
    return int(std::lround(double(units) * double(base96) * dpi / (96.0 * per)));
}

} // namespace

int xToPixels(int units, double dpi) {
    return scale(units, kBaseX96, 4, dpi);
}

int yToPixels(int units, double dpi) {
    return scale(units, kBaseY96, 8, dpi);
}

QRect toPixels(const QRect& units, double dpiX, double dpiY) {
    return QRect(xToPixels(units.x(), dpiX), yToPixels(units.y(), dpiY),
                 xToPixels(units.width(), dpiX), yToPixels(units.height(), dpiY));
}

QSize toPixels(const QSize& units, double dpiX, double dpiY) {
    return QSize(xToPixels(units.width(), dpiX), yToPixels(units.height(), dpiY));
}

QFont dialogFont() {
    return designFont(8, false, QStringLiteral("MS Sans Serif"));
}

} // namespace forms::dialogunits
