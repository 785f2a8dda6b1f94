#include "MeterPageSite.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitModule.h"

#include <lum/LumBase.h>
#include <lum/LumRun.h>

namespace gaugekit {

namespace {
// The plot area covers the page but for a thin margin.
constexpr double kPlotMarginLow = 0.01;
constexpr double kPlotMarginHigh = 0.99;
} // namespace

MeterPageSite::MeterPageSite(CGAUGEKITCtrl* control)
    : m_control(control)
    , m_model(std::make_unique<MeterModel>(this)) {}

MeterPageSite::~MeterPageSite() = default;

void MeterPageSite::setPage(lum::PageHandle page) {
    m_page = page;
    m_model->setPage(page);
}

void MeterPageSite::onPageFirstPaint(lum::PageHandle page) {
    setPage(page);
    m_control->stopTimer();
    if (m_bigEnough)
        buildPlot();
    m_control->startTimer();
}

void MeterPageSite::buildPlot() {
    m_control->stopTimer();
    GaugeKitModule& module = GaugeKitModule::instance();
    lum::LrSelectContext(module.context());
    MeterModel& m = *m_model;
    m.recreateProcessVar();
    const MeterSettings& s = m.settings;
    m_plot = lum::LbCreatePlotArea(
        module.context(), m_page, kPlotMarginLow, kPlotMarginLow, kPlotMarginHigh, kPlotMarginHigh,
        static_cast<lum::Colorref>(s.windowBackgroundColor),
        static_cast<lum::Colorref>(s.windowBorderColor), s.windowBorderThickness, &m);
    m.setAllValues(s.meterInitialValue);
    lum::LrUpdateProcessVar(m.processVar(), m.usedValues(), m_plot);
}

} // namespace gaugekit
