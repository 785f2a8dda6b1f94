// The picture of a page outside its window: on any painter (a printer, a PDF or SVG
// generator, a container's own painter) and as an image.
#pragma once

#include "lum/LumTypes.h"

#include <QImage>

class QPainter;

namespace lum {

class PageWidget;

class PageRenderer {
public:
    enum class Detail {
        // The cached faces as the screen shows them (pixels).
        Screen,
        // Everything drawn anew at the painter's resolution (lines and text, not pixels).
        Vector
    };

    /// Runs the first paint of the page and of every plot on it until nothing new appears (a
    /// first paint may create plots, whose first paint builds meters). The page, or null if
    /// it went meanwhile.
    static PageWidget* prepare(PageHandle page);
    /// Paints the page at the painter's origin, at its own size in the painter's units.
    static void paint(PageWidget& page, QPainter& painter, Detail detail);
    /// The page as the screen shows it, one pixel per pixel.
    static QImage image(PageWidget& page);
};

} // namespace lum
