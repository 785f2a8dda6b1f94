#pragma once

#include <QFont>
#include <QString>

class QColor;
class QWidget;

namespace forms {

// A font as a window design names it: face, size in points, bold or not. Designed faces are
// drawn in their metric-compatible substitutes (FaceSubstitutes.h).
QFont designFont(double points, bool bold = false, const QString& face = QStringLiteral("Arial"));

// A horizontal line control of a window design, from x1 to x2 at y (twips of `parent`),
// `thickness` pixels thick and moved down by `offset` pixels (an etched separator is a grey
// line with a white one a pixel below it). The parent owns the returned widget.
QWidget* addHorizontalLine(QWidget* parent, int x1, int x2, int y, int thickness,
                           const QColor& color, int offset = 0);

} // namespace forms
