// The owner of a meter's drawing page: it creates the plot area when the page first paints
// and holds the drawing model.
#pragma once

#include "MeterModel.h"

#include <lum/LumTypes.h>

#include <memory>

namespace gaugekit {

class CGAUGEKITCtrl;

class MeterPageSite {
public:
    static constexpr int kDefaultResizeMode = 10;

    explicit MeterPageSite(CGAUGEKITCtrl* control);
    ~MeterPageSite();
    MeterPageSite(const MeterPageSite&) = delete;
    MeterPageSite& operator=(const MeterPageSite&) = delete;

    CGAUGEKITCtrl* control() const { return m_control; }
    MeterModel& model() { return *m_model; }
    const MeterModel& model() const { return *m_model; }

    lum::PageHandle page() const { return m_page; }
    void setPage(lum::PageHandle page);

    // The plot area most recently created on the page (built or still waiting for its first
    // paint).
    lum::PlotHandle plot() const { return m_plot; }

    int resizeMode() const { return m_resizeMode; }
    void setResizeMode(int mode) { m_resizeMode = mode; }
    bool bigEnough() const { return m_bigEnough; }
    void setBigEnough(bool big) { m_bigEnough = big; }

    // The first paint of the page: the plot area is built when the page is big enough.
    void onPageFirstPaint(lum::PageHandle page);
    // A fresh process variable and plot area with every channel at the initial value; the
    // meter itself follows at the plot's first paint.
    void buildPlot();

private:
    CGAUGEKITCtrl* m_control;
    std::unique_ptr<MeterModel> m_model;
    lum::PageHandle m_page;
    lum::PlotHandle m_plot;
    int m_resizeMode = kDefaultResizeMode;
    bool m_bigEnough = true;
};

} // namespace gaugekit
