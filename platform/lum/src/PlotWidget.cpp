#include "PlotWidget.h"

#include "Library.h"
#include "lum/LumBase.h"

#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace lum {

namespace {

// Draws a two-pixel 3D edge inside `rect`: raised (light top-left) or sunken.
void drawBevel(QPainter& p, QRect rect, bool raised) {
    const QColor light(255, 255, 255), soft(223, 223, 223), shade(128, 128, 128), dark(64, 64, 64);
    const QColor outerTopLeft = raised ? soft : shade, outerBottomRight = raised ? dark : light;
    const QColor innerTopLeft = raised ? light : dark, innerBottomRight = raised ? shade : soft;
    for (int i = 0; i < 2; ++i) {
        const QRect r = rect.adjusted(i, i, -i, -i);
        p.setPen(i == 0 ? outerTopLeft : innerTopLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(i == 0 ? outerBottomRight : innerBottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
}

} // namespace

PlotWidget::PlotWidget(QWidget* page, QRectF fraction, Colorref background, Colorref frameColor,
                       int frameThickness, void* owner)
    : QWidget(page)
    , m_fraction(fraction)
    , m_background(background)
    , m_frameColor(frameColor)
    , m_frameThickness(std::clamp(frameThickness, 0, 20))
    , m_owner(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    relayout(page->size());
}

PlotWidget::~PlotWidget() {
    detach();
}

void PlotWidget::detach() {
    clearObjects();
    Library& lib = Library::instance();
    lib.plots.remove(m_handle);
    lib.dcs.remove(m_dc);
}

void PlotWidget::setHandles(PlotHandle plot, DcHandle dc) {
    m_handle = plot;
    m_dc = dc;
}

void PlotWidget::relayout(QSize pageSize) {
    const int x1 = static_cast<int>(std::lround(m_fraction.left() * pageSize.width()));
    const int y1 = static_cast<int>(std::lround(m_fraction.top() * pageSize.height()));
    const int x2 = static_cast<int>(std::lround(m_fraction.right() * pageSize.width()));
    const int y2 = static_cast<int>(std::lround(m_fraction.bottom() * pageSize.height()));
    setGeometry(x1, y1, std::max(1, x2 - x1), std::max(1, y2 - y1));
}

void PlotWidget::setBevel(int style) {
    m_bevel = style;
    invalidateFace();
}

void PlotWidget::setLine(const LineAttrs& line) {
    m_line = line;
    invalidateFace();
}

MeterHandle PlotWidget::addMeter(std::unique_ptr<Meter> meter) {
    const MeterHandle handle = Library::instance().meters.insert(meter.get());
    if (handle.isNull())
        return {};
    m_meters.emplace_back(handle, std::move(meter));
    invalidateFace();
    return handle;
}

Meter* PlotWidget::meter(MeterHandle handle) const {
    for (const auto& [h, m] : m_meters) {
        if (h == handle)
            return m.get();
    }
    return nullptr;
}

quint16 PlotWidget::addText(TextItem item) {
    if (m_nextTextId == 0)
        return 0; // all 65535 ids handed out
    item.id = m_nextTextId++;
    m_texts.push_back(std::move(item));
    invalidateFace();
    return m_texts.back().id;
}

void PlotWidget::processVarUpdated(ProcessVarHandle handle, const ProcessVar& pv) {
    bool changed = false;
    for (const auto& [h, m] : m_meters) {
        if (m->processVar() == handle) {
            m->takeValues(pv);
            changed = true;
        }
    }
    if (changed)
        update();
}

void PlotWidget::releaseObjects() {
    clearObjects();
    invalidateFace();
}

void PlotWidget::clearObjects() {
    Library& lib = Library::instance();
    for (const auto& [h, m] : m_meters)
        lib.meters.remove(h);
    m_meters.clear();
    m_texts.clear();
}

void PlotWidget::invalidateFace() {
    m_faceValid = false;
    update();
}

void PlotWidget::runFirstPaint() {
    if (m_firstPaintDone)
        return;
    m_firstPaintDone = true;
    Library& lib = Library::instance();
    if (!m_owner) {
        LbReportError(kLibErrorPlotWithoutOwner, 0, 0);
        return;
    }
    if (lib.plotCallback)
        lib.plotCallback(m_owner, m_handle, m_dc);
}

void PlotWidget::paintEvent(QPaintEvent*) {
    QPointer<PlotWidget> alive(this);
    m_painting = true;
    runFirstPaint();
    if (!alive)
        return;
    QPainter p(this);
    render(p);
    m_painting = false;
}

void PlotWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    invalidateFace();
}

void PlotWidget::render(QPainter& p) {
    ensureFace(p.device() ? p.device()->devicePixelRatioF() : 1.0);
    p.drawPixmap(0, 0, m_face);
    paintDynamic(p, &m_face);
}

void PlotWidget::renderVector(QPainter& p) {
    p.save();
    paintFace(p);
    p.restore();
    paintDynamic(p, nullptr);
}

void PlotWidget::paintDynamic(QPainter& p, const QPixmap* bareFace) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Only the first meter draws on the bare face; the others may draw over its needles.
    for (const auto& [h, m] : m_meters) {
        m->drawDynamic(p, size(), bareFace);
        bareFace = nullptr;
    }
    p.restore();
}

void PlotWidget::ensureFace(qreal dpr) {
    const QSize pixels = size() * dpr;
    if (m_faceValid && m_face.size() == pixels)
        return;
    m_face = QPixmap(pixels);
    m_face.setDevicePixelRatio(dpr);
    QPainter p(&m_face);
    paintFace(p);
    m_faceValid = true;
    ++m_staticBuilds;
}

void PlotWidget::paintFace(QPainter& p) const {
    p.fillRect(rect(), drawingColor(m_background));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const auto& [h, m] : m_meters)
        m->drawBorder(p, size());
    for (const auto& [h, m] : m_meters)
        m->drawStatic(p, size());
    for (const TextItem& text : m_texts)
        text.draw(p, size());
    p.setRenderHint(QPainter::Antialiasing, false);
    paintFrame(p);
}

void PlotWidget::paintFrame(QPainter& p) const {
    QRect r = rect();
    if (m_frameThickness > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(drawingColor(m_frameColor));
        const int t = m_frameThickness;
        p.drawRect(QRect(r.left(), r.top(), r.width(), t));
        p.drawRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t));
        p.drawRect(QRect(r.left(), r.top(), t, r.height()));
        p.drawRect(QRect(r.right() - t + 1, r.top(), t, r.height()));
        r.adjust(t, t, -t, -t);
    }
    if (m_bevel == kBevelHigh || m_bevel == kBevelDeep)
        drawBevel(p, r, m_bevel == kBevelHigh);
}

} // namespace lum
