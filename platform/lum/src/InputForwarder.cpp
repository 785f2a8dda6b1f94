#include "InputForwarder.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace lum {

InputForwarder::InputForwarder(QWidget* target, QObject* parent)
    : QObject(parent)
    , m_target(target) {}

void InputForwarder::watch(QWidget* source) {
    source->setMouseTracking(true);
    source->installEventFilter(this);
}

bool InputForwarder::eventFilter(QObject* watched, QEvent* event) {
    auto* source = qobject_cast<QWidget*>(watched);
    // Never forward into the watched widget itself or one of its children (no loops).
    if (!source || !m_target || m_target == source || source->isAncestorOf(m_target))
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return forwardMouse(source, event);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return forwardKey(event);
    default:
        return QObject::eventFilter(watched, event);
    }
}

bool InputForwarder::forwardMouse(QWidget* source, QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF local = m_target->isAncestorOf(source)
                              ? source->mapTo(m_target, mouse->position())
                              : m_target->mapFromGlobal(source->mapToGlobal(mouse->position()));
    QMouseEvent copy(mouse->type(), local, m_target->mapToGlobal(local), mouse->button(),
                     mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
    QCoreApplication::sendEvent(m_target, &copy);
    return true;
}

bool InputForwarder::forwardKey(QEvent* event) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                   static_cast<quint16>(key->count()));
    QCoreApplication::sendEvent(m_target, &copy);
    return true;
}

} // namespace lum
