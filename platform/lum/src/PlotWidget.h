// A plot area on a page: it keeps its meters, border shapes and texts, caches everything
// that does not move in a pixmap and paints the needles and readouts over it.
#pragma once

#include "FontSpec.h"
#include "Meter.h"
#include "TextItem.h"

#include <QPixmap>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <vector>

namespace lum {

class PlotWidget : public QWidget {
    Q_OBJECT
public:
    PlotWidget(QWidget* page, QRectF fraction, Colorref background, Colorref frameColor,
               int frameThickness, void* owner);
    ~PlotWidget() override;

    void setHandles(PlotHandle plot, DcHandle dc);
    PlotHandle handle() const { return m_handle; }
    DcHandle dc() const { return m_dc; }

    /// Places the plot in a page of `pageSize` pixels.
    void relayout(QSize pageSize);
    void setBevel(int style);
    void setLine(const LineAttrs& line);
    const LineAttrs& line() const { return m_line; }

    MeterHandle addMeter(std::unique_ptr<Meter> meter);
    /// The meter if it lives on this plot, else null.
    Meter* meter(MeterHandle handle) const;
    int meterCount() const { return static_cast<int>(m_meters.size()); }
    /// Adds a text; returns its id, or 0 when the ids are used up.
    quint16 addText(TextItem item);
    /// Takes the new values of `pv` into the meters bound to it and repaints them.
    void processVarUpdated(ProcessVarHandle handle, const ProcessVar& pv);
    /// Frees the meters and texts.
    void releaseObjects();
    /// Frees the meters and texts and retires the plot's handles (the widget stays).
    void detach();

    /// Marks the cached layer out of date and schedules a repaint.
    void invalidateFace();
    int staticBuilds() const { return m_staticBuilds; }
    bool firstPaintDone() const { return m_firstPaintDone; }
    bool isPainting() const { return m_painting; }
    /// Runs the first-paint callback now if it has not run yet.
    void runFirstPaint();
    /// Paints the cached layer and the moving parts.
    void render(QPainter& p);
    /// Paints everything anew on `p` without the cache, at the painter's resolution.
    void renderVector(QPainter& p);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clearObjects();
    void ensureFace(qreal dpr);
    void paintFace(QPainter& p) const;
    void paintDynamic(QPainter& p, const QPixmap* bareFace) const;
    void paintFrame(QPainter& p) const;

    PlotHandle m_handle;
    DcHandle m_dc;
    QRectF m_fraction;
    Colorref m_background;
    Colorref m_frameColor;
    int m_frameThickness;
    void* m_owner;
    int m_bevel = -1;
    LineAttrs m_line;
    std::vector<std::pair<MeterHandle, std::unique_ptr<Meter>>> m_meters;
    std::vector<TextItem> m_texts;
    quint16 m_nextTextId = 1;
    QPixmap m_face;
    bool m_faceValid = false;
    int m_staticBuilds = 0;
    bool m_firstPaintDone = false;
    bool m_painting = false;
};

} // namespace lum
