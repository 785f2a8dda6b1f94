// A meter's value readout: a box of one or more lines of text. What does not change from one
// value to the next (the font, its metrics, the box over the face while its width stays) is
// kept, so that a value update only lays out and draws the new text.
#pragma once

#include "DialPainter.h"
#include "FaceSnapshot.h"

#include <QFont>
#include <QFontMetricsF>
#include <QSizeF>

#include <optional>

namespace lum {

class Readout {
public:
    /// Chooses the font for a dial and a number of lines (DialPainter::readoutFont).
    void prepare(const Dial& dial, const MeterStyle& style, int lines);
    /// Height of the box of the prepared number of lines.
    double height() const { return m_height; }
    /// Draws the box centred on `center`. `bareFace`: the plot's face when `p` shows nothing
    /// else yet (see FaceSnapshot), so that the box can be copied rather than drawn.
    void draw(QPainter& p, QPointF center, const QList<ReadoutLine>& lines,
              const QPixmap* bareFace = nullptr);

private:
    double m_radius = -1.0;
    int m_lines = 0;
    FontSpec m_spec;
    QFont m_font;
    std::optional<QFontMetricsF> m_metrics;
    double m_height = 0.0;
    FaceSnapshot m_boxPicture;
};

} // namespace lum
