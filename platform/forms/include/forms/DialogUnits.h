#pragma once

#include <QFont>
#include <QRect>

namespace forms {

// Dialog templates are laid out in dialog units of their 8-point dialog font: 4 horizontal
// units are one average character width, 8 vertical units one character height. The designed
// font has base units of 6 x 13 pixels at 96 dpi; other resolutions scale them.
namespace dialogunits {

constexpr int kBaseX96 = 6;
constexpr int kBaseY96 = 13;

int xToPixels(int units, double dpi = 96.0);
int yToPixels(int units, double dpi = 96.0);
QRect toPixels(const QRect& units, double dpiX = 96.0, double dpiY = 96.0);
QSize toPixels(const QSize& units, double dpiX = 96.0, double dpiY = 96.0);

// The dialog font: the designed "MS Sans Serif" 8 pt, through its installed substitute.
QFont dialogFont();

} // namespace dialogunits
} // namespace forms
