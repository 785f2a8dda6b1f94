#include "ChartRenderer.h"

#include "ClassicPalette.h"
#include "CurveBuilder.h"
#include "CurveRasterizer.h"
#include "ScaleMath.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

namespace trazoplot {

namespace {

const QColor kBackground(0xFF, 0xFF, 0xFF);
const QColor kPlotBackground(0xFC, 0xFC, 0xFD);
const QColor kGrid(0xE3, 0xE5, 0xE8);
const QColor kFrame(0xB4, 0xB8, 0xBE);
// The newest reading of each channel is marked with a dot, so that a run shows from its first
// seconds even on a chart that spans many hours.
constexpr double kNewestDotRadius = 2.5;
// Buckets at most this far apart (pixels) make a dense curve.
constexpr double kDenseBucketPx = 2.0;

LinearScale timeScale(const ChartLayout& l, const TimeWindow& w) {
    return LinearScale(w.leftMinutes, w.rightMinutes(), l.plot().left(), l.plot().right());
}

LinearScale sampleScale(const ChartLayout& l, const TimeWindow& w) {
    return LinearScale(double(w.firstSample), double(w.lastSample()), l.plot().left(),
                       l.plot().right());
}

LinearScale valueScale(const ChartLayout& l, const AxisSettings& a) {
    return LinearScale(a.minimum, a.maximum, l.plot().bottom(), l.plot().top());
}

// A crisp one-pixel line lies on pixel centres.
double crisp(double v) {
    return std::floor(v) + 0.5;
}

} // namespace

ChartRenderer::ChartRenderer()
    : m_fonts(ChartFonts::standard()) {}

void ChartRenderer::paint(QPainter& p, const QRect& bounds, const StripChart& chart,
                          const QRect& invalid, bool cached) {
    const ChartLayout& layout = layoutFor(bounds, chart);
    const TimeWindow window = chart.window(layout.plot().width());
    const QRect area = invalid.isEmpty() ? bounds : invalid.intersected(bounds);
    p.save();
    p.setClipRect(area);
    if (cached)
        p.drawImage(area.topLeft(), staticLayer(layout, chart, window),
                    area.translated(-bounds.topLeft()));
    else
        paintStatic(p, layout, chart, window);
    paintCurves(p, layout, chart, window, area);
    p.restore();
}

const ChartLayout& ChartRenderer::layoutFor(const QRect& bounds, const StripChart& chart) const {
    const LayoutKey key{bounds, &chart.settings(), chart.settings().revision()};
    if (!m_layout || !(key == m_layoutKey)) {
        m_layout.emplace(bounds, chart.settings(), m_fonts);
        m_layoutKey = key;
    }
    return *m_layout;
}

const QImage& ChartRenderer::staticLayer(const ChartLayout& layout, const StripChart& chart,
                                         const TimeWindow& window) {
    const Key key{layout.bounds().size(), chart.settings().revision(), window.firstSample};
    if (key == m_key && !m_layer.isNull())
        return m_layer;
    m_key = key;
    // Opaque (the background fills it), so that putting it on screen is a plain copy.
    m_layer = QImage(layout.bounds().size(), QImage::Format_RGB32);
    QPainter p(&m_layer);
    p.translate(-layout.bounds().topLeft());
    paintStatic(p, layout, chart, window);
    return m_layer;
}

void ChartRenderer::paintStatic(QPainter& p, const ChartLayout& layout, const StripChart& chart,
                                const TimeWindow& window) const {
    const ChartSettings& s = chart.settings();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(layout.bounds(), kBackground);
    p.fillRect(layout.plot(), kPlotBackground);
    paintGrid(p, layout, chart, window);
    p.setPen(QPen(kFrame, 1.0));
    p.setBrush(Qt::NoBrush);
    const QRectF plot = layout.plot();
    p.drawRect(QRectF(crisp(plot.left()), crisp(plot.top()), plot.width() - 1, plot.height() - 1));
    if (s.timeAxis().visible)
        paintTimeAxis(p, layout, s.timeAxis(), window);
    for (const AxisSettings* a : {&s.leftAxis(), &s.rightAxis()})
        if (a->visible)
            paintValueAxis(p, layout, *a);
    paintLegend(p, layout, s);
    p.restore();
}

void ChartRenderer::paintGrid(QPainter& p, const ChartLayout& layout, const StripChart& chart,
                              const TimeWindow& window) const {
    const ChartSettings& s = chart.settings();
    const QRectF plot = layout.plot();
    p.setPen(QPen(kGrid, 1.0));
    const LinearScale tx = timeScale(layout, window);
    for (double t : layout.timeTicks(s.timeAxis(), window.leftMinutes, window.rightMinutes()))
        p.drawLine(QPointF(crisp(tx.toPixel(t)), plot.top()),
                   QPointF(crisp(tx.toPixel(t)), plot.bottom()));
    const AxisSettings& a =
        s.leftAxis().visible || !s.rightAxis().visible ? s.leftAxis() : s.rightAxis();
    const LinearScale vy = valueScale(layout, a);
    for (double v : layout.valueTicks(a))
        p.drawLine(QPointF(plot.left(), crisp(vy.toPixel(v))),
                   QPointF(plot.right(), crisp(vy.toPixel(v))));
}

void ChartRenderer::paintTimeAxis(QPainter& p, const ChartLayout& layout, const AxisSettings& axis,
                                  const TimeWindow& window) const {
    const QRectF plot = layout.plot();
    const QColor colour = ClassicPalette::color(axis.colorCode);
    const double y = crisp(plot.bottom());
    p.setPen(QPen(colour, 1.0));
    p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    p.setFont(m_fonts.label);
    const QFontMetricsF fm(m_fonts.label);
    const LinearScale tx = timeScale(layout, window);
    for (double t : layout.timeTicks(axis, window.leftMinutes, window.rightMinutes())) {
        const double x = crisp(tx.toPixel(t));
        p.drawLine(QPointF(x, y), QPointF(x, y + ChartLayout::kTick));
        const QString text = ScaleMath::hoursMinutes(t);
        const double w = fm.horizontalAdvance(text);
        const double left =
            std::clamp(x - w / 2, double(layout.bounds().left()), layout.bounds().right() - w);
        p.drawText(QPointF(left, y + ChartLayout::kTick + ChartLayout::kGap + fm.ascent()), text);
    }
    p.setFont(m_fonts.title);
    const QFontMetricsF tm(m_fonts.title);
    const double top = y + ChartLayout::kTick + 3 * ChartLayout::kGap + fm.height();
    p.drawText(QRectF(plot.left(), top, plot.width(), tm.height()), Qt::AlignCenter, axis.title);
}

void ChartRenderer::paintValueAxis(QPainter& p, const ChartLayout& layout,
                                   const AxisSettings& axis) const {
    const QRectF plot = layout.plot();
    const QColor colour = ClassicPalette::color(axis.colorCode);
    const double x = crisp(layout.axisX(axis));
    const bool left = layout.labelsLeft(axis);
    const double dir = left ? -1.0 : 1.0;
    p.setPen(QPen(colour, 1.0));
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.setFont(m_fonts.label);
    const QFontMetricsF fm(m_fonts.label);
    const LinearScale vy = valueScale(layout, axis);
    double widest = 0.0;
    for (double v : layout.valueTicks(axis)) {
        const double y = crisp(vy.toPixel(v));
        p.drawLine(QPointF(x, y), QPointF(x + dir * ChartLayout::kTick, y));
        const QString text = ScaleMath::valueLabel(v);
        const double w = fm.horizontalAdvance(text);
        widest = std::max(widest, w);
        const double tx = x + dir * (ChartLayout::kTick + ChartLayout::kGap) - (left ? w : 0.0);
        p.drawText(QPointF(tx, y + fm.ascent() / 2 - 1), text);
    }
    // The title runs along the axis, reading upwards, outside the labels.
    const QFontMetricsF tm(m_fonts.title);
    const double offset = ChartLayout::kTick + 3 * ChartLayout::kGap + widest;
    const double cx = x + dir * (offset + tm.height() / 2);
    p.save();
    p.setFont(m_fonts.title);
    p.translate(cx, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -tm.height() / 2, plot.height(), tm.height()),
               Qt::AlignCenter, axis.title);
    p.restore();
}

void ChartRenderer::paintLegend(QPainter& p, const ChartLayout& layout,
                                const ChartSettings& s) const {
    const QFontMetricsF fm(m_fonts.label);
    p.setFont(m_fonts.label);
    double right = layout.plot().right();
    const double y = layout.plot().top() - fm.height() / 2 - ChartLayout::kGap;
    if (y < layout.bounds().top() + fm.height() / 2)
        return;
    for (int channel = kChannelCount - 1; channel >= 0; --channel) {
        const AxisSettings& a = s.channelAxis(channel);
        if (!a.visible || a.title.isEmpty())
            continue;
        const double w = fm.horizontalAdvance(a.title);
        const double textLeft = right - w;
        p.setPen(QPen(ClassicPalette::color(a.colorCode), 2.0));
        p.drawLine(QPointF(textLeft - 24, y), QPointF(textLeft - 6, y));
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawText(QPointF(textLeft, y + fm.ascent() / 2 - 1), a.title);
        right = textLeft - 40;
    }
}

void ChartRenderer::paintCurves(QPainter& p, const ChartLayout& layout, const StripChart& chart,
                                const TimeWindow& window, const QRect& invalid) const {
    const QRectF plot = layout.plot().adjusted(1, 1, -1, -1);
    p.save();
    p.setClipRect(plot.intersected(QRectF(invalid)), Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    const LinearScale x = sampleScale(layout, window);
    const std::optional<CurveRasterizer::Target> raster = CurveRasterizer::target(p);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const AxisSettings& axis = chart.settings().channelAxis(channel);
        const TimeWindow w = chart.channelWindow(window, plot.width(), channel);
        const Curve curve =
            CurveBuilder::build(chart.store(channel), w, x, valueScale(layout, axis),
                                invalid.left(), invalid.right() + 1);
        const QColor colour = ClassicPalette::color(axis.colorCode);
        // A one-pixel pen keeps the painter on its fast antialiased line path: a wider one
        // strokes the whole zigzag of extremes as one outline, many times slower.
        p.setPen(QPen(colour, 1.0));
        // Where buckets lie about a column apart, the zigzag's strokes overlap column by
        // column and are cheaper laid straight into the pixels; sparse curves keep the
        // painter's lines, as does any output that is not a raster image.
        const bool dense = x.toPixel(double(w.bucket)) - x.toPixel(0.0) <= kDenseBucketPx;
        int begin = 0;
        for (int end : curve.runEnds) {
            const QPointF* run = curve.points.data() + begin;
            if (end - begin == 1)
                p.drawPoint(*run);
            else if (end - begin > 1 && raster && dense)
                m_raster.drawPolyline(*raster, run, end - begin, colour);
            else if (end - begin > 1)
                p.drawPolyline(run, end - begin);
            begin = end;
        }
    }
    p.restore();
    // The dots may stand out of the plot by their radius, over the axes.
    const double dot = kNewestDotRadius + 1.0;
    p.save();
    p.setClipRect(layout.plot().adjusted(-dot, -dot, dot, dot).intersected(QRectF(invalid)),
                  Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const AxisSettings& axis = chart.settings().channelAxis(channel);
        paintNewestDot(p, chart.store(channel), x, valueScale(layout, axis),
                       ClassicPalette::color(axis.colorCode));
    }
    p.restore();
}

void ChartRenderer::paintNewestDot(QPainter& p, const SampleStore& store, const LinearScale& x,
                                   const LinearScale& y, const QColor& color) {
    if (store.count() == 0)
        return;
    const std::int64_t newest = store.count() - 1;
    const double value = store.at(newest);
    if (!std::isfinite(value))
        return;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(x.toPixel(double(newest)), y.toPixel(value)), kNewestDotRadius,
                  kNewestDotRadius);
    p.restore();
}

QRect ChartRenderer::dirtyAfterAppend(const QRect& bounds, const StripChart& chart,
                                      std::int64_t countBefore) const {
    const ChartLayout& layout = layoutFor(bounds, chart);
    const double width = layout.plot().width();
    const TimeWindow now = chart.window(width);
    const TimeWindow before =
        TimeWindow::compute(chart.settings().timeAxis(), countBefore, width, 1);
    if (now.firstSample != before.firstSample)
        return bounds;
    if (chart.count() == 0)
        return {};
    const LinearScale x = sampleScale(layout, now);
    double x0 = layout.plot().right();
    double x1 = layout.plot().left();
    // The sample went to one of the channels, which may hold fewer samples than the other:
    // each channel's own newest columns are repainted.
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const std::int64_t newest = chart.store(channel).count() - 1;
        if (newest < 0)
            continue;
        const auto [a, b] =
            CurveBuilder::bucketColumns(chart.channelWindow(now, width, channel), x, newest);
        x0 = std::min(x0, a);
        x1 = std::max(x1, b);
    }
    const QRectF plot = layout.plot();
    // The dot of the newest reading moves with it: its old and new places are repainted too.
    const double dot = kNewestDotRadius + 2.0;
    const QRectF around = plot.adjusted(-dot, -dot, dot, dot);
    return QRectF(QPointF(x0 - dot, around.top()), QPointF(x1 + dot, around.bottom()))
        .toAlignedRect()
        .intersected(around.toAlignedRect());
}

} // namespace trazoplot
