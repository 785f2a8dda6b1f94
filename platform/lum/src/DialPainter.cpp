#include "DialPainter.h"

#include "lum/LumBase.h"
#include "lum/ScaleTicks.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lum {

namespace {

constexpr double kLabelGap = 3.0;

QRectF circleRect(const Dial& dial, double radius) {
    return {dial.center.x() - radius, dial.center.y() - radius, 2 * radius, 2 * radius};
}

QPen linePen(const MeterStyle& style, double width) {
    QPen pen(drawingColor(style.line.color), width);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

QPainterPath DialPainter::ringSector(const Dial& dial, double outerRadius, double innerRadius,
                                     double a0, double a1) {
    QPainterPath path;
    const double sweep = a1 - a0;
    const double inner = std::max(0.0, innerRadius);
    path.arcMoveTo(circleRect(dial, outerRadius), a0);
    path.arcTo(circleRect(dial, outerRadius), a0, sweep);
    path.lineTo(ScaleMap::pointAt(dial.center, inner, a1));
    path.arcTo(circleRect(dial, inner), a1, -sweep);
    path.closeSubpath();
    return path;
}

QPainterPath DialPainter::pieSector(const Dial& dial, double radius, double a0, double a1) {
    QPainterPath path(dial.center);
    path.arcTo(circleRect(dial, radius), a0, a1 - a0);
    path.closeSubpath();
    return path;
}

void DialPainter::drawBorder(QPainter& p, QSizeF plotSize, const MeterBorder& border) {
    const double w = std::abs(border.width) * plotSize.width();
    const double h = std::abs(border.height) * plotSize.height();
    const QPointF c(border.x * plotSize.width(), border.y * plotSize.height());
    QRectF rect(c.x() - w / 2, c.y() - h / 2, w, h);
    const int thickness = std::clamp(border.thickness, 0, 50);
    if (thickness > 0)
        p.setPen(QPen(drawingColor(border.color), thickness, Qt::SolidLine, Qt::SquareCap,
                      Qt::MiterJoin));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(drawingColor(border.fill));
    switch (border.style) {
    case kBorderCircle: {
        const double d = std::min(w, h);
        p.drawEllipse(QRectF(c.x() - d / 2, c.y() - d / 2, d, d));
        break;
    }
    case kBorderRoundedRectangle: {
        const double radius = 0.12 * std::min(w, h);
        p.drawRoundedRect(rect, radius, radius);
        break;
    }
    default:
        // Crisp edges: put odd-width outlines on the pixel centres.
        if (thickness % 2 == 1)
            rect = rect.toRect().toRectF().adjusted(0.5, 0.5, -0.5, -0.5);
        p.drawRect(rect);
        break;
    }
}

void DialPainter::drawAlarmArcs(QPainter& p, const Dial& dial, const MeterStyle& style,
                                const AlarmLevels& levels) {
    const double band = style.alarmBand(dial);
    if (band <= 0.0)
        return;
    p.setPen(Qt::NoPen);
    const ScaleMap& s = style.scale;
    if (auto low = levels.lowLimit()) {
        p.setBrush(drawingColor(style.alarmColors[2]));
        p.drawPath(ringSector(dial, dial.radius, dial.radius - band, s.angleOf(style.lowStart),
                              s.angleOf(*low)));
    }
    if (auto high = levels.highLimit()) {
        p.setBrush(drawingColor(style.alarmColors[1]));
        p.drawPath(ringSector(dial, dial.radius, dial.radius - band, s.angleOf(*high),
                              s.angleOf(style.highStop)));
    }
}

void DialPainter::drawScaleArc(QPainter& p, const Dial& dial, const MeterStyle& style) {
    if (!style.arcEnable)
        return;
    p.setPen(linePen(style, style.line.thickness));
    p.setBrush(Qt::NoBrush);
    const ScaleMap& s = style.scale;
    if (std::abs(s.sweep()) >= 360.0) {
        p.drawEllipse(circleRect(dial, dial.radius));
        return;
    }
    p.drawArc(circleRect(dial, dial.radius), static_cast<int>(std::lround(s.startAngle() * 16)),
              static_cast<int>(std::lround(s.sweep() * 16)));
}

std::pair<double, double> DialPainter::tickExtent(const Dial& dial, const MeterStyle& style) {
    const double length = std::clamp(style.tickRelLength, 0.0, 1.0) * dial.radius;
    switch (style.tickPosition) {
    case kTicksOutside:
        return {0.0, length};
    case kTicksMiddle:
        return {length / 2, length / 2};
    default:
        return {length, 0.0};
    }
}

void DialPainter::drawTicks(QPainter& p, const Dial& dial, const MeterStyle& style) {
    const auto [in, out] = tickExtent(dial, style);
    if (in + out <= 0.0)
        return;
    const double major = std::max(1.0, static_cast<double>(style.line.thickness));
    const QPen majorPen = linePen(style, major);
    const QPen minorPen = linePen(style, std::max(1.0, major * 0.6));
    const ScaleMap& s = style.scale;
    for (const ScaleTick& tick :
         ScaleTicks::compute(s.min(), s.max(), style.tickStep, style.minorTicks)) {
        const double scale = tick.major ? 1.0 : 0.5;
        const double angle = s.angleOf(tick.value);
        p.setPen(tick.major ? majorPen : minorPen);
        p.drawLine(ScaleMap::pointAt(dial.center, dial.radius - in * scale, angle),
                   ScaleMap::pointAt(dial.center, dial.radius + out * scale, angle));
    }
}

void DialPainter::drawTickLabels(QPainter& p, const Dial& dial, const MeterStyle& style,
                                 int labelPosition) {
    const auto [in, out] = tickExtent(dial, style);
    const bool outside = labelPosition == kTicksOutside;
    const double edge = outside ? dial.radius + out + style.line.thickness / 2.0 + kLabelGap
                                : dial.radius - std::max(in, style.alarmBand(dial)) - kLabelGap;
    const QFont font = style.font.toFont();
    const QFontMetricsF metrics(font);
    p.setFont(font);
    p.setPen(style.font.qcolor());
    const ScaleMap& s = style.scale;
    const auto ticks = ScaleTicks::compute(s.min(), s.max(), style.tickStep, style.minorTicks);
    const bool fullCircle = std::abs(s.sweep()) >= 360.0;
    QStringList texts;
    QList<QRectF> boxes;
    for (qsizetype i = 0; i < ticks.size(); ++i) {
        const ScaleTick& tick = ticks[i];
        // On a full circle the maximum falls on the minimum: label it once.
        if (!tick.major || (fullCircle && i > 0 && i == ticks.size() - 1 &&
                            std::abs(s.fractionOf(tick.value) - 1.0) < 1e-9))
            continue;
        const QString text = ScaleTicks::label(tick.value, style.labelPrecision);
        const double angle = s.angleOf(tick.value);
        // Labels are numbers: their ink is about the cap height tall, above the baseline.
        const QSizeF size(metrics.horizontalAdvance(text), metrics.capHeight());
        const double rad = angle * std::numbers::pi / 180.0;
        const double half = std::abs(std::cos(rad)) * size.width() / 2 +
                            std::abs(std::sin(rad)) * size.height() / 2;
        const QPointF c =
            ScaleMap::pointAt(dial.center, outside ? edge + half : edge - half, angle);
        texts.append(text);
        boxes.append(QRectF(c.x() - size.width() / 2, c.y() - size.height() / 2, size.width(),
                            size.height()));
    }
    // Crowded labels are thinned out evenly rather than drawn over each other.
    const qsizetype stride = ScaleTicks::labelStride(boxes, fullCircle);
    for (qsizetype i = 0; i < boxes.size(); i += stride)
        p.drawText(boxes[i].bottomLeft(), texts[i]);
}

QFont DialPainter::readoutFont(const Dial& dial, const MeterStyle& style, int lines) {
    FontSpec spec = style.font;
    spec.styleBits |= kFontBold;
    const double size = dial.radius * (lines > 1 ? 0.11 : 0.17);
    return spec.toFont(std::clamp(size, 9.0, lines > 1 ? 24.0 : 40.0));
}

double DialPainter::fillRadius(const Dial& dial, const MeterStyle& style) {
    const double inward = std::max(tickExtent(dial, style).first, style.alarmBand(dial));
    return std::max(0.0, dial.radius - inward - 1.0);
}

double DialPainter::midAngle(const MeterStyle& style) {
    return style.scale.startAngle() + style.scale.sweep() / 2.0;
}

} // namespace lum
