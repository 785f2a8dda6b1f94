#include "Readout.h"

#include <QPainter>
#include <QPen>

namespace lum {

namespace {

const QColor kFrame(128, 128, 128);
const QColor kFace(255, 255, 255, 235);
constexpr double kCorner = 3.0;
constexpr double kPadding = 5.0;

} // namespace

void Readout::prepare(const Dial& dial, const MeterStyle& style, int lines) {
    if (m_metrics && m_radius == dial.radius && m_lines == lines && m_spec == style.font)
        return;
    m_radius = dial.radius;
    m_lines = lines;
    m_spec = style.font;
    m_font = DialPainter::readoutFont(dial, style, lines);
    m_metrics.emplace(m_font);
    m_height = m_metrics->height() * lines + 4.0;
}

void Readout::draw(QPainter& p, QPointF center, const QList<ReadoutLine>& lines,
                   const QPixmap* bareFace) {
    if (lines.isEmpty() || !m_metrics)
        return;
    const double lineHeight = m_metrics->height();
    const bool swatches = lines.first().swatch.isValid();
    const double swatchSize = swatches ? lineHeight * 0.55 : 0.0;
    const double swatchGap = swatches ? 4.0 : 0.0;
    double textWidth = 0.0;
    for (const ReadoutLine& line : lines)
        textWidth = std::max(textWidth, m_metrics->horizontalAdvance(line.text));
    const double w = textWidth + swatchSize + swatchGap + 2 * kPadding;
    const QRectF rect(center.x() - w / 2, center.y() - m_height / 2, w, m_height);
    const auto rowAt = [&](qsizetype i) {
        return QRectF(rect.left() + kPadding, rect.top() + 2.0 + lineHeight * i, w - 2 * kPadding,
                      lineHeight);
    };
    // The box and the channels' colour squares (a meter's channel colours are fixed for its
    // life) stay as they are while the width does.
    const auto paintBox = [&](QPainter& q) {
        q.setPen(QPen(kFrame, 1.0));
        q.setBrush(kFace);
        q.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), kCorner, kCorner);
        for (qsizetype i = 0; swatches && i < lines.size(); ++i) {
            const QRectF row = rowAt(i);
            q.setPen(Qt::NoPen);
            q.setBrush(lines[i].swatch);
            q.drawRect(
                QRectF(row.left(), row.center().y() - swatchSize / 2, swatchSize, swatchSize));
        }
    };
    m_boxPicture.draw(p, bareFace, rect, paintBox);
    p.setFont(m_font);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        p.setPen(lines[i].color);
        p.drawText(rowAt(i).adjusted(swatchSize + swatchGap, 0, 0, 0),
                   Qt::AlignRight | Qt::AlignVCenter, lines[i].text);
    }
}

} // namespace lum
