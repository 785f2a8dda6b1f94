#include "ControlWindow.h"

#include "com/ControlBase.h"

#include <QPaintEvent>
#include <QPainter>

namespace com {

ControlWindow::ControlWindow(ControlBase* control, QWidget* parent)
    : QWidget(parent)
    , m_control(control) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

void ControlWindow::paintEvent(QPaintEvent* event) {
    QPainter dc(this);
    m_control->windowPaint(dc, event->rect());
}

void ControlWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_control->windowResized(size());
}

bool ControlWindow::event(QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && (focusPolicy() & Qt::ClickFocus))
        setFocus(Qt::MouseFocusReason); // key events follow a click, as the stock events expect
    if (m_control->handleInput(event))
        return true;
    return QWidget::event(event);
}

} // namespace com
