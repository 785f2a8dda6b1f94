#include "Sprite.h"

#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace lum {

bool Sprite::fits(const QPainter& p) {
    const QTransform& t = p.transform();
    return p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster && p.device() &&
           p.device()->devicePixelRatioF() == 1.0 && t.type() <= QTransform::TxTranslate &&
           t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy()) &&
           p.compositionMode() == QPainter::CompositionMode_SourceOver && p.opacity() == 1.0 &&
           !p.hasClipping();
}

void Sprite::draw(QPainter& p, const QRectF& area, double key, const Paint& paint) {
    if (!fits(p)) {
        paint(p);
        return;
    }
    if (m_image.isNull() || area != m_area || key != m_key) {
        // A pixel of room on every side for the antialiased edge.
        const QPoint from(int(std::floor(area.left())) - 1, int(std::floor(area.top())) - 1);
        const QPoint to(int(std::ceil(area.right())) + 1, int(std::ceil(area.bottom())) + 1);
        m_image = QImage(QSize(to.x() - from.x(), to.y() - from.y()),
                         QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::transparent);
        QPainter picture(&m_image);
        picture.setRenderHints(p.renderHints());
        picture.translate(-from);
        paint(picture);
        m_at = from;
        m_area = area;
        m_key = key;
    }
    p.drawImage(m_at, m_image);
}

} // namespace lum
