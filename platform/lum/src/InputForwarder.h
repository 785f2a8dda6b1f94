// Re-sends the mouse and key events of a page and its plot areas to a target widget (the
// control window that owns the page), so the owner sees ordinary mouse and key events.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace lum {

class InputForwarder : public QObject {
    Q_OBJECT
public:
    explicit InputForwarder(QWidget* target, QObject* parent = nullptr);

    void setTarget(QWidget* target) { m_target = target; }
    QWidget* target() const { return m_target; }
    /// Starts forwarding the events of `source`.
    void watch(QWidget* source);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool forwardMouse(QWidget* source, QEvent* event);
    bool forwardKey(QEvent* event);

    QPointer<QWidget> m_target;
};

} // namespace lum
