// A needle meter: one needle per shown channel, a hub and a readout.
#pragma once

#include "Meter.h"
#include "Sprite.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

namespace lum {

class NeedleMeter : public Meter {
public:
    NeedleMeter(const MeterStyle& style, ProcessVarHandle pv, QList<int> channels, int needleStyle,
                const std::array<Colorref, kMaxChannels>& colors);

    void drawDynamic(QPainter& p, QSizeF plotSize) const override;

protected:
    int labelPosition() const override { return style().labelPosition; }

private:
    // The needle in its own frame (from the pivot along +x): the body a filled triangle is
    // filled with and the outline of its stroke. Stroking the same shape again at every value
    // update was most of the cost of a repaint, so it is kept until the dial changes size.
    struct Shape {
        double radius = -1.0;
        QPolygonF body;
        QPainterPath outline;
    };
    const Shape& shape(const Dial& dial) const;
    QPen needlePen(const Dial& dial, const QColor& color) const;
    bool filled() const;

    void drawNeedle(QPainter& p, const Dial& dial, double angle, const QColor& color) const;
    void drawHub(QPainter& p, const Dial& dial) const;
    void paintHub(QPainter& p, const Dial& dial) const;
    double hubRadius(const Dial& dial) const;

    int m_needleStyle;
    std::array<Colorref, kMaxChannels> m_colors;
    mutable Shape m_shape;
    mutable Sprite m_hub;
};

} // namespace lum
