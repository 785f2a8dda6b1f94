#pragma once

#include <QWidget>

namespace com {

class ControlBase;

// The control's own window: paints through the control and hands its input and size changes
// to it. Created by ControlBase::Activate inside the container's widget, deleted by the control.
class ControlWindow : public QWidget {
    Q_OBJECT
public:
    ControlWindow(ControlBase* control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    ControlBase* m_control;
};

} // namespace com
