// The up-down control of a dialog: two arrow buttons over a range, with a buddy edit box that
// shows the position as a number and whose arrow keys step it. Before each step it tells its
// owner the step (+1 or -1) about to be taken; the position stays within the range.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace gaugekit::pages {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return m_buddy; }
    void setRange(int lower, int upper);
    int lower() const { return m_lower; }
    int upper() const { return m_upper; }
    int position() const { return m_position; }
    void setPosition(int position);

    // One arrow step, as a click on an arrow or an arrow key in the buddy gives it.
    void step(int delta);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // Sent before the position moves by `delta`.
    void stepping(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPosition();

    QToolButton* m_up;
    QToolButton* m_down;
    QLineEdit* m_buddy = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};

} // namespace gaugekit::pages
