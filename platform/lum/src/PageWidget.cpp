#include "PageWidget.h"

#include "InputForwarder.h"
#include "Library.h"
#include "PlotWidget.h"
#include "lum/LumBase.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace lum {

PageWidget::PageWidget(QWidget* parent, Colorref background, void* owner)
    : QWidget(parent)
    , m_background(background)
    , m_owner(owner)
    , m_forwarder(new InputForwarder(parent, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    m_forwarder->watch(this);
}

PageWidget::~PageWidget() {
    Library::instance().pages.remove(m_handle);
}

QColor PageWidget::background() const {
    return drawingColor(m_background);
}

bool PageWidget::isPainting() const {
    if (m_painting)
        return true;
    const auto plots = findChildren<PlotWidget*>(Qt::FindDirectChildrenOnly);
    return std::any_of(plots.begin(), plots.end(),
                       [](const PlotWidget* p) { return p->isPainting(); });
}

void PageWidget::runFirstPaint() {
    if (m_firstPaintDone)
        return;
    m_firstPaintDone = true;
    Library& lib = Library::instance();
    if (lib.pendingError != 0 || !lib.pageCallback)
        return;
    lib.pageCallback(m_owner, m_handle);
}

void PageWidget::paintEvent(QPaintEvent* event) {
    QPointer<PageWidget> alive(this);
    m_painting = true;
    runFirstPaint();
    if (!alive)
        return;
    QPainter p(this);
    p.fillRect(event->rect(), drawingColor(m_background));
    m_painting = false;
}

void PageWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (auto* plot : findChildren<PlotWidget*>(Qt::FindDirectChildrenOnly))
        plot->relayout(size());
}

} // namespace lum
