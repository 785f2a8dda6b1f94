#pragma once

#include <QFont>
#include <QString>

class QColor;
class QComboBox;
class QWidget;

namespace forms {

// A font as a window design names it: face, size in points, bold or not. Designed faces are
// drawn in their metric-compatible substitutes (FaceSubstitutes.h).
QFont designFont(double points, bool bold = false, const QString& face = QStringLiteral("Arial"));

// The widget's font shrunk a quarter point at a time, no further than `minPoints`, until the
// longest line of `text` (access-key ampersands left out) fits `width` pixels; where the
// designed face is missing its substitute may run wider. The widget's font is not changed.
QFont fittedFont(const QWidget* widget, const QString& text, int width, double minPoints = 6.0);

// A horizontal line control of a window design, from x1 to x2 at y (twips of `parent`),
// `thickness` pixels thick and moved down by `offset` pixels (an etched separator is a grey
// line with a white one a pixel below it). The parent owns the returned widget.
QWidget* addHorizontalLine(QWidget* parent, int x1, int x2, int y, int thickness,
                           const QColor& color, int offset = 0);

// An editable combo box of a window design shows the start of its text when the focus comes
// and when it goes, as a design's list box does; Qt leaves a text longer than the box
// scrolled to its end ("leedle" for "Thin Needle"). A click in the text keeps its caret.
void showTextStartOnFocus(QComboBox* box);

} // namespace forms
