#include "DesignControls.h"

#include "FaceSubstitutes.h"
#include "Twips.h"

#include <QColor>
#include <QFontMetrics>
#include <QPalette>
#include <QWidget>

namespace forms {

QFont designFont(double points, bool bold, const QString& face) {
    installFaceSubstitutes();
    QFont font(face);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont fittedFont(const QWidget* widget, const QString& text, int width, double minPoints) {
    QFont font = widget->font();
    const QStringList lines = QString(text).remove(u'&').split(u'\n');
    const auto textWidth = [&lines](const QFont& f) {
        const QFontMetrics metrics(f);
        int widest = 0;
        for (const QString& line : lines)
            widest = qMax(widest, metrics.horizontalAdvance(line));
        return widest;
    };
    while (textWidth(font) > width && font.pointSizeF() - 0.25 >= minPoints)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}

QWidget* addHorizontalLine(QWidget* parent, int x1, int x2, int y, int thickness,
                           const QColor& color, int offset) {
    auto* line = new QWidget(parent);
    line->setObjectName(QStringLiteral("Line1"));
    QRect r = twips::toPixels(parent, x1, y, x2 - x1, 15);
    r.translate(0, offset);
    r.setHeight(thickness);
    line->setGeometry(r);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, color);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace forms
