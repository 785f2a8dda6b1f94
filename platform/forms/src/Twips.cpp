#include "forms/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace forms::twips {

int toPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kPerInch));
}

double fromPixels(int pixels, double dpi) {
    return dpi > 0 ? pixels * kPerInch / dpi : 0.0;
}

namespace {
double screenDpi(bool horizontal) {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen) {
        return 96.0;
    }
    return horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}
} // namespace

double dpiX(const QWidget* widget) {
    return widget ? widget->logicalDpiX() : screenDpi(true);
}

double dpiY(const QWidget* widget) {
    return widget ? widget->logicalDpiY() : screenDpi(false);
}

QRect toPixels(const QWidget* widget, int left, int top, int width, int height) {
    const double x = dpiX(widget);
    const double y = dpiY(widget);
    return QRect(toPixels(left, x), toPixels(top, y), toPixels(width, x), toPixels(height, y));
}

} // namespace forms::twips
