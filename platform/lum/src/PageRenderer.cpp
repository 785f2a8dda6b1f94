#include "PageRenderer.h"

#include "Library.h"
#include "PageWidget.h"
#include "PlotWidget.h"
#include "lum/LumBase.h"

#include <QPainter>
#include <QPointer>

namespace lum {

namespace {

// A first paint may create plots that themselves have a first paint to run; a page settles
// within a few rounds.
constexpr int kMaxFirstPaintRounds = 8;

QList<QPointer<PlotWidget>> plotsOf(PageWidget& page) {
    QList<QPointer<PlotWidget>> plots;
    for (auto* plot : page.findChildren<PlotWidget*>(Qt::FindDirectChildrenOnly))
        plots.append(plot);
    return plots;
}

} // namespace

PageWidget* PageRenderer::prepare(PageHandle page) {
    Library& lib = Library::instance();
    for (int round = 0; round < kMaxFirstPaintRounds; ++round) {
        PageWidget* widget = lib.pages.get(page);
        if (!widget)
            return nullptr;
        bool ran = !widget->firstPaintDone();
        widget->runFirstPaint();
        widget = lib.pages.get(page);
        if (!widget)
            return nullptr;
        for (const auto& plot : plotsOf(*widget)) {
            if (plot && !plot->firstPaintDone() && !plot->isHidden()) {
                ran = true;
                plot->runFirstPaint();
            }
        }
        if (!ran)
            break;
    }
    return lib.pages.get(page);
}

void PageRenderer::paint(PageWidget& page, QPainter& painter, Detail detail) {
    painter.fillRect(QRect(QPoint(0, 0), page.size()), page.background());
    for (const auto& plot : plotsOf(page)) {
        if (!plot || plot->isHidden())
            continue;
        painter.save();
        painter.translate(plot->pos());
        painter.setClipRect(QRect(QPoint(0, 0), plot->size()), Qt::IntersectClip);
        if (detail == Detail::Vector)
            plot->renderVector(painter);
        else
            plot->render(painter);
        painter.restore();
    }
}

QImage PageRenderer::image(PageWidget& page) {
    QImage picture(page.size(), QImage::Format_RGB32);
    QPainter painter(&picture);
    paint(page, painter, Detail::Screen);
    return picture;
}

} // namespace lum
