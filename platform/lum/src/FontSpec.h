// A font as the library's callers describe it: colour, face, points and style bits.
#pragma once

#include "lum/LumTypes.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace lum {

struct FontSpec {
    Colorref color = 0;
    QString face = QStringLiteral("Arial");
    int points = 8;
    int styleBits = 0;

    /// The QFont, sized in pixels at 96 dpi so that screen and offscreen images agree.
    QFont toFont() const;
    /// The same font scaled to `pixelSize` pixels (for readouts sized by the dial).
    QFont toFont(double pixelSize) const;
    QColor qcolor() const;

    bool operator==(const FontSpec&) const = default;
};

/// Line attributes of a plot: thickness in pixels and colour.
struct LineAttrs {
    int thickness = 1;
    Colorref color = 0;
};

} // namespace lum
