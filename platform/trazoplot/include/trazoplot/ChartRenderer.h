// Paints a strip chart: a static layer (background, grid, axes, labels, titles, legend) kept
// as an image until the settings, the size or the scroll position change, and the two curves
// on top, built per pixel column.
#pragma once

#include "ChartLayout.h"
#include "CurveRasterizer.h"
#include "ScaleMath.h"
#include "StripChart.h"

#include <QImage>
#include <QPainter>
#include <optional>

namespace trazoplot {

class ChartRenderer {
public:
    ChartRenderer();

    // Paints `chart` into `bounds`; only what meets `invalid` (everything when empty) is
    // painted. `cached` keeps the static layer between paints (screen); without it everything
    // is drawn straight onto the device (printing).
    void paint(QPainter& p, const QRect& bounds, const StripChart& chart, const QRect& invalid = {},
               bool cached = true);

    // What must be repainted after a sample was appended: empty when nothing visible
    // changed, the newest columns while the window stands still, everything once it scrolls.
    // `countBefore` is the chart's count() before the append.
    QRect dirtyAfterAppend(const QRect& bounds, const StripChart& chart,
                           std::int64_t countBefore) const;

    const ChartFonts& fonts() const { return m_fonts; }

private:
    void paintStatic(QPainter& p, const ChartLayout& layout, const StripChart& chart,
                     const TimeWindow& window) const;
    void paintGrid(QPainter& p, const ChartLayout& layout, const StripChart& chart,
                   const TimeWindow& window) const;
    void paintTimeAxis(QPainter& p, const ChartLayout& layout, const AxisSettings& axis,
                       const TimeWindow& window) const;
    void paintValueAxis(QPainter& p, const ChartLayout& layout, const AxisSettings& axis) const;
    void paintLegend(QPainter& p, const ChartLayout& layout, const ChartSettings& s) const;
    void paintCurves(QPainter& p, const ChartLayout& layout, const StripChart& chart,
                     const TimeWindow& window, const QRect& invalid) const;
    static void paintNewestDot(QPainter& p, const SampleStore& store, const LinearScale& x,
                               const LinearScale& y, const QColor& color);
    const QImage& staticLayer(const ChartLayout& layout, const StripChart& chart,
                              const TimeWindow& window);
    // The layout measures text, so it is kept until the bounds or the settings change.
    const ChartLayout& layoutFor(const QRect& bounds, const StripChart& chart) const;

    ChartFonts m_fonts;
    // Keeps its coverage buffer between paints.
    mutable CurveRasterizer m_raster;
    QImage m_layer;
    struct Key {
        QSize size;
        std::uint64_t revision = ~std::uint64_t(0);
        std::int64_t firstSample = -1;
        bool operator==(const Key&) const = default;
    } m_key;
    struct LayoutKey {
        QRect bounds;
        const ChartSettings* settings = nullptr;
        std::uint64_t revision = 0;
        bool operator==(const LayoutKey&) const = default;
    };
    mutable LayoutKey m_layoutKey;
    mutable std::optional<ChartLayout> m_layout;
};

} // namespace trazoplot
