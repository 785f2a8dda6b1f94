#include "lum/LumDiagnostics.h"

#include "Library.h"
#include "PageWidget.h"
#include "PlotWidget.h"

#include <QPixmap>
#include <QPointer>

namespace lum::diag {

int staticLayerBuilds(PlotHandle plot) {
    const PlotWidget* widget = Library::instance().plots.get(plot);
    return widget ? widget->staticBuilds() : -1;
}

Result renderPlot(PlotHandle plot, QPainter& painter) {
    PlotWidget* widget = Library::instance().plots.get(plot);
    if (!widget)
        return kErrInvalidHandle;
    widget->render(painter);
    return kOk;
}

namespace {

// Runs the first paint of the page and of every plot on it until nothing new appears (a
// first paint may create plots, whose first paint builds meters). False if the page went.
bool runPendingFirstPaints(PageHandle page) {
    for (int round = 0; round < 8; ++round) {
        PageWidget* widget = Library::instance().pages.get(page);
        if (!widget)
            return false;
        bool ran = !widget->firstPaintDone();
        widget->runFirstPaint();
        widget = Library::instance().pages.get(page);
        if (!widget)
            return false;
        QList<QPointer<PlotWidget>> plots;
        for (auto* plot : widget->findChildren<PlotWidget*>(Qt::FindDirectChildrenOnly))
            plots.append(plot);
        for (const auto& plot : plots) {
            if (plot && !plot->firstPaintDone() && !plot->isHidden()) {
                ran = true;
                plot->runFirstPaint();
            }
        }
        if (!ran)
            return true;
    }
    return Library::instance().pages.get(page) != nullptr;
}

} // namespace

QImage grabPage(PageHandle page) {
    if (!runPendingFirstPaints(page))
        return {};
    PageWidget* widget = Library::instance().pages.get(page);
    return widget->grab().toImage();
}

int meterCount(PlotHandle plot) {
    const PlotWidget* widget = Library::instance().plots.get(plot);
    return widget ? widget->meterCount() : -1;
}

} // namespace lum::diag
