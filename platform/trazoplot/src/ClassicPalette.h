// The classic 16-colour palette that axis colour codes index.
#pragma once

#include <QColor>
#include <cstdint>

namespace trazoplot {

class ClassicPalette {
public:
    static constexpr int kSize = 16;
    static bool isValid(int code) { return code >= 0 && code < kSize; }
    // Colour reference 0x00BBGGRR of `code` (black for an invalid code).
    static std::uint32_t colorRef(int code);
    static QColor color(int code);
};

} // namespace trazoplot
