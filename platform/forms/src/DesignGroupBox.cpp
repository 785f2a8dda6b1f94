#include "forms/DesignGroupBox.h"

#include "forms/DesignControls.h"

#include <QPainter>
#include <QStyle>

namespace forms {

namespace {

constexpr int kCaptionGap = 2; // pixels of cleared frame line each side of the caption

} // namespace

DesignGroupBox::DesignGroupBox(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent) {}

QRect DesignGroupBox::frameLineRect() const {
    const int top = fontMetrics().height() / 2;
    return QRect(0, top, width(), qMax(0, height() - top));
}

QRect DesignGroupBox::captionRect() const {
    if (title().isEmpty())
        return {};
    const QFontMetrics fm = fontMetrics();
    const QRect text =
        fm.boundingRect(QRect(0, 0, width(), fm.height()),
                        Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, title());
    const int left = fm.averageCharWidth() + kCaptionGap;
    return QRect(left, 0, qMin(text.width(), width() - 2 * left), fm.height());
}

void DesignGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect line = frameLineRect();
    // Etched: a shadow line with a light line one pixel right of and below it.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(QRect(line.left(), line.top(), line.width() - 2, line.height() - 2));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(QRect(line.left() + 1, line.top() + 1, line.width() - 2, line.height() - 2));
    const QRect caption = captionRect();
    if (caption.isEmpty())
        return;
    painter.fillRect(caption.adjusted(-kCaptionGap, 0, kCaptionGap, 0), palette().window());
    // A caption longer than the frame is drawn smaller rather than cut.
    painter.setFont(fittedFont(this, title(), caption.width()));
    style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                          palette(), isEnabled(), title(), QPalette::WindowText);
}

} // namespace forms
