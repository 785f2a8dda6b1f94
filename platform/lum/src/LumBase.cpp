// Pages, plot areas, fonts, lines, texts and error state.
#include "lum/LumBase.h"

#include "InputForwarder.h"
#include "Library.h"
#include "PageWidget.h"
#include "PlotWidget.h"
#include "WidgetDisposal.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace lum {

namespace {

Library& lib() {
    return Library::instance();
}

double fraction(double v, double fallback) {
    return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : fallback;
}

} // namespace

Result LrSelectContext(Context* context) {
    lib().context = context;
    return lib().setResult(kOk);
}

Result LbInitialize(Context* context, PageFirstPaintCallback pageCallback,
                    PlotFirstPaintCallback plotCallback, quint32 flags) {
    Q_UNUSED(flags);
    Library& l = lib();
    l.context = context;
    l.pageCallback = std::move(pageCallback);
    l.plotCallback = std::move(plotCallback);
    l.initialized = true;
    return l.setResult(kOk);
}

void LbReportError(int code, int, int) {
    lib().pendingError = code;
    qWarning("lum: library error %d%s", code,
             code == kLibErrorPlotWithoutOwner ? " (plot window without owner)"
             : code == kLibErrorSystemTooOld   ? " (system too old)"
                                               : "");
}

void LbCleanupAfterError() {
    lib().pendingError = 0;
}

int LbPendingError() {
    return lib().pendingError;
}

Result LbGetLastError() {
    return lib().lastResult();
}

PageHandle LbCreatePage(const QString& className, QWidget* parent, const QString& caption,
                        const QString& menuName, Colorref background, int resizeMode,
                        int windowStyle, int ownerFlag, int x, int y, int width, int height,
                        void* owner) {
    Q_UNUSED(menuName);
    Q_UNUSED(resizeMode);
    Q_UNUSED(windowStyle);
    Q_UNUSED(ownerFlag);
    Library& l = lib();
    if (!l.initialized) {
        l.setResult(kErrNotInitialized);
        return {};
    }
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
        l.setResult(kErrInvalidArg);
        return {};
    }
    auto* page = new PageWidget(parent, background, owner);
    const PageHandle handle = l.pages.insert(page);
    if (handle.isNull()) {
        delete page;
        l.setResult(kErrFail);
        return {};
    }
    page->setHandle(handle);
    page->setObjectName(className);
    page->setWindowTitle(caption);
    page->setGeometry(x, y, width, height);
    if (parent)
        page->show();
    l.setResult(kOk);
    return handle;
}

QWidget* LbGetPageWindow(PageHandle page) {
    PageWidget* widget = lib().pages.get(page);
    lib().setResult(widget ? kOk : kErrInvalidHandle);
    return widget;
}

Result LbDestroyPage(PageHandle page) {
    PageWidget* widget = lib().pages.get(page);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    // Forget the handles of the page and everything on it now, even if the widget itself
    // has to wait for the event loop.
    for (auto* plot : widget->findChildren<PlotWidget*>())
        plot->detach();
    lib().pages.remove(page);
    destroyWidget(widget);
    return lib().setResult(kOk);
}

bool LbIsValidPage(PageHandle page) {
    return lib().pages.get(page) != nullptr;
}

Result LbSetEventTarget(PageHandle page, QWidget* target) {
    PageWidget* widget = lib().pages.get(page);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    widget->forwarder()->setTarget(target);
    return lib().setResult(kOk);
}

PlotHandle LbCreatePlotArea(Context*, PageHandle page, double x1, double y1, double x2, double y2,
                            Colorref background, Colorref frameColor, int frameThickness,
                            void* owner) {
    Library& l = lib();
    PageWidget* pageWidget = l.pages.get(page);
    if (!pageWidget) {
        l.setResult(kErrInvalidHandle);
        return {};
    }
    const double left = fraction(std::min(x1, x2), 0.0), right = fraction(std::max(x1, x2), 1.0);
    const double top = fraction(std::min(y1, y2), 0.0), bottom = fraction(std::max(y1, y2), 1.0);
    if (right <= left || bottom <= top) {
        l.setResult(kErrInvalidArg);
        return {};
    }
    auto* plot = new PlotWidget(pageWidget, QRectF(QPointF(left, top), QPointF(right, bottom)),
                                background, frameColor, frameThickness, owner);
    const PlotHandle handle = l.plots.insert(plot);
    const DcHandle dc = l.dcs.insert(plot);
    plot->setHandles(handle, dc);
    if (handle.isNull() || dc.isNull()) {
        delete plot;
        l.setResult(kErrFail);
        return {};
    }
    pageWidget->forwarder()->watch(plot);
    plot->show();
    l.setResult(kOk);
    return handle;
}

QWidget* LbGetPlotWindow(PlotHandle plot) {
    PlotWidget* widget = lib().plots.get(plot);
    lib().setResult(widget ? kOk : kErrInvalidHandle);
    return widget;
}

bool LbIsValidPlot(PlotHandle plot) {
    return lib().plots.get(plot) != nullptr;
}

Result LbSetPlotBevel(PlotHandle plot, int style) {
    PlotWidget* widget = lib().plots.get(plot);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    if (style < kBevelFlat || style > kBevelDeep)
        return lib().setResult(kErrInvalidArg);
    widget->setBevel(style);
    return lib().setResult(kOk);
}

Result LbRedrawPlot(PlotHandle plot, int) {
    PlotWidget* widget = lib().plots.get(plot);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    widget->update();
    return lib().setResult(kOk);
}

Result LbSetFont(Colorref color, const QString& face, int points, int styleBits) {
    FontSpec& font = lib().font;
    font.color = color;
    font.face = face.isEmpty() ? QStringLiteral("Arial") : face;
    font.points = std::clamp(points, 1, 400);
    font.styleBits = styleBits & (kFontBold | kFontItalic | kFontUnderline);
    return lib().setResult(kOk);
}

namespace {

// The plot, if `dc` is its own paint DC.
PlotWidget* plotWithDc(PlotHandle plot, DcHandle dc) {
    PlotWidget* widget = lib().plots.get(plot);
    return widget && lib().dcs.get(dc) == widget ? widget : nullptr;
}

} // namespace

Result LbSetLineAttributes(PlotHandle plot, DcHandle dc, int style, int thickness, Colorref color) {
    Q_UNUSED(style);
    PlotWidget* widget = plotWithDc(plot, dc);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    widget->setLine({std::clamp(thickness, 1, 20), color});
    return lib().setResult(kOk);
}

quint16 LbAddText(PlotHandle plot, DcHandle dc, const QString& text, double x, double y,
                  int positionCode, int flags) {
    Q_UNUSED(flags);
    PlotWidget* widget = plotWithDc(plot, dc);
    if (!widget) {
        lib().setResult(kErrInvalidHandle);
        return 0;
    }
    if (!std::isfinite(x) || !std::isfinite(y)) {
        lib().setResult(kErrInvalidArg);
        return 0;
    }
    const QPointF at(std::clamp(x, -kMaxPositionFraction, kMaxPositionFraction),
                     std::clamp(y, -kMaxPositionFraction, kMaxPositionFraction));
    const quint16 id = widget->addText({0, text, at, positionCode, lib().font});
    lib().setResult(id ? kOk : kErrFail);
    return id;
}

} // namespace lum
