// A page: the drawing window a meter control puts inside its own window. It calls its owner
// back at its first paint and hosts the plot areas.
#pragma once

#include "lum/LumTypes.h"

#include <QString>
#include <QWidget>

namespace lum {

class InputForwarder;

class PageWidget : public QWidget {
    Q_OBJECT
public:
    PageWidget(QWidget* parent, Colorref background, void* owner);
    ~PageWidget() override;

    void setHandle(PageHandle handle) { m_handle = handle; }
    PageHandle handle() const { return m_handle; }
    InputForwarder* forwarder() const { return m_forwarder; }
    bool firstPaintDone() const { return m_firstPaintDone; }
    /// The colour the page is filled with.
    QColor background() const;
    /// True while the page or one of its plot areas is inside its paint.
    bool isPainting() const;
    /// Runs the first-paint callback now if it has not run yet.
    void runFirstPaint();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PageHandle m_handle;
    Colorref m_background;
    void* m_owner;
    bool m_firstPaintDone = false;
    bool m_painting = false;
    InputForwarder* m_forwarder;
};

} // namespace lum
