#pragma once

#include <QRect>

class QWidget;

namespace forms {

// Window geometry is given in twips: 1440 per logical inch, so 15 per pixel at 96 dpi.
namespace twips {

constexpr double kPerInch = 1440.0;

int toPixels(double twips, double dpi);
double fromPixels(int pixels, double dpi);

// Horizontal and vertical logical dpi of a widget (of the primary screen when null; 96 when
// there is no screen).
double dpiX(const QWidget* widget = nullptr);
double dpiY(const QWidget* widget = nullptr);

// A rectangle given in twips, in pixels for the widget.
QRect toPixels(const QWidget* widget, int left, int top, int width, int height);

} // namespace twips
} // namespace forms
