#include "UpDownControl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace gaugekit::pages {

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this)) {
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDownControl::setBuddy(QLineEdit* buddy) {
    if (m_buddy)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
    showPosition();
}

void UpDownControl::setRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    setPosition(m_position);
}

void UpDownControl::setPosition(int position) {
    const int clamped = qBound(qMin(m_lower, m_upper), position, qMax(m_lower, m_upper));
    if (clamped == m_position)
        return;
    m_position = clamped;
    showPosition();
}

void UpDownControl::step(int delta) {
    emit stepping(delta);
    setPosition(m_position + delta);
}

void UpDownControl::showPosition() {
    if (m_buddy)
        m_buddy->setText(QString::number(m_position));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

} // namespace gaugekit::pages
