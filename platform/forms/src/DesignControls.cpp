#include "forms/DesignControls.h"

#include "forms/FaceSubstitutes.h"
#include "forms/Twips.h"

#include <QColor>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace forms {

namespace {

// Lets the combo box take a focus change first (it passes it to its line edit, which selects
// the whole text with the caret at the end), then brings the start of the text into view.
class TextStartOnFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
            return false;
        // A box being destroyed is no longer a combo box when its focus goes.
        auto* box = qobject_cast<QComboBox*>(watched);
        if (!box)
            return false;
        box->event(event);
        QLineEdit* edit = box->lineEdit();
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!edit || reason == Qt::PopupFocusReason)
            return true;
        const qsizetype length = edit->text().size();
        if (event->type() == QEvent::FocusOut)
            edit->setCursorPosition(0);
        else if (reason != Qt::MouseFocusReason && length && edit->selectedText().size() == length)
            edit->setSelection(int(length), -int(length)); // all selected, caret at the start
        return true;
    }
};

} // namespace

void showTextStartOnFocus(QComboBox* box) {
    box->installEventFilter(new TextStartOnFocus(box));
}

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
