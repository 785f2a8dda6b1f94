#include "ClassicPalette.h"

namespace trazoplot {

namespace {

constexpr std::uint32_t kColorRefs[ClassicPalette::kSize] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

} // namespace

std::uint32_t ClassicPalette::colorRef(int code) {
    return isValid(code) ? kColorRefs[code] : 0;
}

QColor ClassicPalette::color(int code) {
    const std::uint32_t ref = colorRef(code);
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

} // namespace trazoplot
