// A small picture of something that does not move (a needle hub, a readout box), drawn once
// into an image and then copied where it belongs. Only a raster painter at one pixel per unit
// and whole-pixel offsets can take the copy and get the same pixels; everything else (printers,
// PDF, SVG, scaled painters) gets the shape drawn anew.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>

#include <functional>

class QPainter;

namespace lum {

class Sprite {
public:
    using Paint = std::function<void(QPainter&)>;

    /// True when a copy drawn on `p` gives the same pixels as drawing the shape.
    static bool fits(const QPainter& p);
    /// Draws what `paint` draws within `area` (painter coordinates) on `p`: from the kept
    /// picture while `key` and `area` stay the same, else directly or into a new picture.
    void draw(QPainter& p, const QRectF& area, double key, const Paint& paint);

private:
    QRectF m_area;
    double m_key = 0.0;
    QPoint m_at;
    QImage m_image;
};

} // namespace lum
