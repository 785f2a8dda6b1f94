#include "lum/LumBase.h"

#include <array>

namespace lum {

namespace {

// The classic 16-colour palette, as colour references 0x00BBGGRR.
constexpr std::array<Colorref, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

} // namespace

Colorref LbPaletteColor(int index) {
    if (index < 0 || index >= static_cast<int>(kPalette.size()))
        return 0;
    return kPalette[static_cast<std::size_t>(index)];
}

QColor colorFromColorref(Colorref color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QColor drawingColor(Colorref color) {
    const Colorref rgb = color & 0xFFFFFF;
    return colorFromColorref(rgb < kPalette.size() ? kPalette[rgb] : rgb);
}

Colorref colorrefFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<Colorref>(rgb.red()) | (static_cast<Colorref>(rgb.green()) << 8) |
           (static_cast<Colorref>(rgb.blue()) << 16);
}

} // namespace lum
