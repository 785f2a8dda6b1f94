#include "lum/LumDiagnostics.h"

#include "Library.h"
#include "PageRenderer.h"
#include "PageWidget.h"
#include "PlotWidget.h"

#include <QPixmap>

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

QImage grabPage(PageHandle page) {
    PageWidget* widget = PageRenderer::prepare(page);
    return widget ? widget->grab().toImage() : QImage();
}

int meterCount(PlotHandle plot) {
    const PlotWidget* widget = Library::instance().plots.get(plot);
    return widget ? widget->meterCount() : -1;
}

} // namespace lum::diag
