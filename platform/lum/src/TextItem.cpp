#include "TextItem.h"

#include <QFontMetricsF>
#include <QPainter>

namespace lum {

QRectF TextItem::boundsIn(QSizeF plotSize) const {
    const QFontMetricsF metrics(font.toFont());
    const QSizeF size(metrics.horizontalAdvance(text), metrics.height());
    const QPointF anchor(position.x() * plotSize.width(), position.y() * plotSize.height());
    double left = anchor.x();
    switch (positionCode & kTextCenter) {
    case kTextRight:
        left -= size.width();
        break;
    case kTextCenter:
    case 4: // centre bit alone: treated as centred
        left -= size.width() / 2;
        break;
    default:
        break;
    }
    double top = anchor.y();
    switch (positionCode & kTextBaseline) {
    case kTextBottom:
        top -= size.height();
        break;
    case kTextMiddle:
        top -= size.height() / 2;
        break;
    case kTextBaseline:
        top -= metrics.ascent();
        break;
    default:
        break;
    }
    return {QPointF(left, top), size};
}

void TextItem::draw(QPainter& p, QSizeF plotSize) const {
    p.setFont(font.toFont());
    p.setPen(font.qcolor());
    p.drawText(boundsIn(plotSize), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

} // namespace lum
