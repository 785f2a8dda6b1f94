// A small region of a plot as it looks once something that does not move with the value (a
// readout box) is drawn over the bare face, kept so that a repaint copies those pixels instead
// of drawing the shape again. The copy is exact only where the painter still shows the bare
// face and the face lies on whole pixels: the caller hands over the face only when nothing has
// been drawn over it yet, and printers, PDF, SVG and scaled painters get the shape drawn anew.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>

#include <functional>

class QPainter;
class QPixmap;

namespace lum {

class FaceSnapshot {
public:
    using Paint = std::function<void(QPainter&)>;

    /// Draws what `paint` draws within `area` (painter coordinates) on `p`: from the kept
    /// pixels while `area` and the face stay the same, else directly or into new ones. What
    /// `paint` draws must depend on nothing else. `face`: the plot's face, drawn at the
    /// painter's origin, that `p` still shows under `area`; null when something else may
    /// already be drawn there.
    void draw(QPainter& p, const QPixmap* face, const QRectF& area, const Paint& paint);

private:
    /// True when a copy drawn on `p` over `face` gives the same pixels as drawing the shape.
    static bool fits(const QPainter& p, const QPixmap* face);

    QRectF m_area;
    qint64 m_faceKey = 0;
    QPoint m_at;
    QImage m_image;
};

} // namespace lum
