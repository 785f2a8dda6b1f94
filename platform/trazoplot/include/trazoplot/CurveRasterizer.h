// Draws dense curves straight into the pixels of a 32-bit raster image. A curve with a
// sample bucket per pixel column is a zigzag of short strokes that overlap column by column;
// the painter blends every stroke separately, so most pixels are blended two or three times
// and every stroke pays its own set-up. Here the strokes are laid into a coverage buffer with
// the same antialiasing rule as the painter's one-pixel lines, each pixel keeping the union of
// what covers it, and the colour is blended once per pixel.
#pragma once

#include <QColor>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace trazoplot {

class CurveRasterizer {
public:
    // Where a painter's pixels can be written directly: a raster image of 32-bit colour,
    // through a whole-pixel translation, drawn source-over at full opacity, clipped to one
    // rectangle.
    struct Target {
        std::uint32_t* pixels = nullptr;
        qsizetype pixelsPerLine = 0;
        QRect device; // the whole image
        QRect clip;   // in device pixels, within `device`
        QPoint offset;
    };

    // The painter's target, or nothing when its pixels must go through the painter (vector
    // output, scaled or rotated painting, a clip that is not a rectangle...).
    static std::optional<Target> target(QPainter& p);

    // Draws an open polyline as the painter would with an antialiased one-pixel pen with
    // square caps, within the target's clip.
    void drawPolyline(const Target& target, const QPointF* points, int count, const QColor& color);

private:
    void segment(const Target& t, QPointF a, QPointF b, int caps);
    void cover(int x, int y, int coverage);
    // Adds `coverage` to rows [y0, y1] of column x.
    void coverRun(int x, int y0, int y1, int coverage);
    // The rows [row, rowEnd] of a stroke steeper than 45 degrees, its position across starting
    // at `n` (16.16 fixed point) and moving by `inc` a row; the end rows are covered by
    // alphaStart and alphaEnd sixty-fourths.
    void steepStroke(int n, int inc, int row, int rowEnd, int alphaStart, int alphaEnd);
    void flush(const Target& t, std::uint32_t color);

    QRect m_clip;
    // Coverage, column by column, of the clip rectangle; all zero between polylines.
    std::vector<std::uint8_t> m_coverage;
    // Rows touched in each column since the last flush (first > last when none).
    std::vector<int> m_first;
    std::vector<int> m_last;
};

} // namespace trazoplot
