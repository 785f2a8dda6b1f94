// One needle of a needle meter: a line or a triangle from the pivot, drawn at an angle.
// The outline a wide pen gives the shape is kept for the dial's radius: on a raster painter
// filling it gives the same pixels as stroking the shape again at every value update, for
// less; vector painters get the stroke itself. A filled
// triangle's one-pixel edge goes through the painter's own thin-line path, which is cheap and
// which a filled outline would not match, so it is stroked each time.
#pragma once

#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPolygonF>

class QPainter;

namespace lum {

class NeedleShape {
public:
    /// `style`: one of the kNeedle* styles; anything else is the thin line.
    explicit NeedleShape(int style);

    int style() const { return m_style; }
    bool filled() const;
    /// Draws the needle pivoting on `center`, `angle` degrees anticlockwise from +x.
    void draw(QPainter& p, QPointF center, double radius, double angle, const QColor& color);

private:
    QPen pen(double radius, const QColor& color) const;
    void build(double radius);

    int m_style;
    double m_radius = -1.0;
    double m_length = 0.0;
    QPolygonF m_body;       // the triangle, in the needle's frame (pivot at 0, along +x)
    QPainterPath m_outline; // what the pen covers, for the needles not filled
};

} // namespace lum
