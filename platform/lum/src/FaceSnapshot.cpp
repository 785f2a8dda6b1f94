#include "FaceSnapshot.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace lum {

bool FaceSnapshot::fits(const QPainter& p, const QPixmap* face) {
    const QTransform& t = p.transform();
    return face && !face->isNull() && face->devicePixelRatio() == 1.0 && p.paintEngine() &&
           p.paintEngine()->type() == QPaintEngine::Raster && p.device() &&
           p.device()->devicePixelRatioF() == 1.0 && t.type() <= QTransform::TxTranslate &&
           t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy()) &&
           p.compositionMode() == QPainter::CompositionMode_SourceOver && p.opacity() == 1.0 &&
           !p.hasClipping();
}

void FaceSnapshot::draw(QPainter& p, const QPixmap* face, const QRectF& area, const Paint& paint) {
    // A pixel of room on every side for the antialiased edge.
    const QPoint from(int(std::floor(area.left())) - 1, int(std::floor(area.top())) - 1);
    const QPoint to(int(std::ceil(area.right())) + 1, int(std::ceil(area.bottom())) + 1);
    const QRect region(from, to - QPoint(1, 1));
    if (!fits(p, face) || !face->rect().contains(region)) {
        paint(p);
        return;
    }
    if (m_image.isNull() || area != m_area || face->cacheKey() != m_faceKey) {
        // The face is opaque, so the shape drawn over a copy of it blends exactly as it would
        // on the painter's device.
        m_image = QImage(region.size(), QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::transparent);
        QPainter picture(&m_image);
        picture.drawPixmap(QPoint(0, 0), *face, region);
        picture.setRenderHints(p.renderHints());
        picture.setFont(p.font());
        picture.translate(-from);
        paint(picture);
        picture.end();
        // Opaque throughout, so kept without alpha: it is then copied, not blended.
        m_image.convertTo(QImage::Format_RGB32);
        m_at = from;
        m_area = area;
        m_faceKey = face->cacheKey();
    }
    p.drawImage(m_at, m_image);
}

} // namespace lum
