// A static text on a plot area, anchored at a fractional position by a position code.
#pragma once

#include "FontSpec.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace lum {

struct TextItem {
    quint16 id = 0;
    QString text;
    QPointF position; // fractions of the plot area
    int positionCode = kTextCenter | kTextTop;
    FontSpec font;

    /// The rectangle the text occupies in a plot of `plotSize` pixels.
    QRectF boundsIn(QSizeF plotSize) const;
    void draw(QPainter& p, QSizeF plotSize) const;
};

} // namespace lum
