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
#include <algorithm>
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
    // Rows [row, rowEnd] of column x: `start` on the first, `end` on the last (when it is
    // another row) and `middle` on those between.
    void coverColumn(int x, int row, int rowEnd, int start, int middle, int end);
    // The rows [row, rowEnd] of a stroke steeper than 45 degrees, its position across starting
    // at `n` (16.16 fixed point) and moving by `inc` a row; the end rows are covered by
    // alphaStart and alphaEnd sixty-fourths.
    void steepStroke(int n, int inc, int row, int rowEnd, int alphaStart, int alphaEnd);
    // The coverage of column x (within the clip), rows [first, last] of it (from the clip's
    // top) about to be written; columns that fall out of the window are blended first.
    std::uint8_t* column(int x, int first, int last) {
        if (x < m_low || x >= m_low + kWindow)
            moveWindow(x);
        const auto slot = std::size_t((x - m_clip.left()) & (kWindow - 1));
        m_first[slot] = std::min(m_first[slot], first);
        m_last[slot] = std::max(m_last[slot], last);
        return m_coverage.data() + slot * std::size_t(m_clip.height());
    }
    // Makes column x one of those held.
    void moveWindow(int x);
    void flushColumns(int from, int to);
    void flushColumn(int x);

    // Columns held at once: a polyline running rightwards never comes back to a column
    // it left this far behind, and a small window stays in the processor's cache.
    static constexpr int kWindow = 64;

    QRect m_clip;
    const Target* m_target = nullptr;
    std::uint32_t m_color = 0; // premultiplied
    int m_low = 0;             // the leftmost column held
    // Coverage of the columns held, column x in slot x mod kWindow, rows from the clip's top;
    // all zero between polylines.
    std::vector<std::uint8_t> m_coverage;
    // Rows touched in each slot since it was last blended (first > last when none).
    std::vector<int> m_first;
    std::vector<int> m_last;
};

} // namespace trazoplot
