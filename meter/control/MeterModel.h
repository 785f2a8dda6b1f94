// The meter's drawing model: the mirror of the settings that the drawing reads, the title
// and channel arrays, the current channel values and the drawing library's handles.
#pragma once

#include "MeterArrays.h"
#include "MeterSettings.h"

#include <lum/LumTypes.h>

#include <array>
#include <span>

namespace gaugekit {

class MeterPageSite;

class MeterModel {
public:
    explicit MeterModel(MeterPageSite* site);
    ~MeterModel();
    MeterModel(const MeterModel&) = delete;
    MeterModel& operator=(const MeterModel&) = delete;

    // The first paint of the plot area: builds the meter, its alarm levels and titles.
    void buildMeter(lum::PlotHandle plot, lum::DcHandle dc);

    // Replaces the process variable with a new one sized for the usable channels.
    void recreateProcessVar();
    void destroyProcessVar();

    // The values of the usable channels (at most five).
    std::span<const double> usedValues() const;
    void setAllValues(double value);

    MeterPageSite* site() const { return m_site; }
    lum::PageHandle page() const { return m_page; }
    void setPage(lum::PageHandle page) { m_page = page; }
    lum::PlotHandle plot() const { return m_plot; }
    void setPlot(lum::PlotHandle plot) { m_plot = plot; }
    lum::DcHandle dc() const { return m_dc; }
    lum::ProcessVarHandle processVar() const { return m_processVar; }

    MeterSettings settings;
    MeterArrays arrays;
    std::array<double, MeterArrays::kChannels> values{};

private:
    lum::MeterHandle createMeter(const std::array<lum::Colorref, 3>& alarmColors,
                                 bool unitsFlag) const;
    void addBorder(lum::MeterHandle meter) const;
    void addTitle(int index, double y, int positionCode) const;

    MeterPageSite* m_site;
    lum::PageHandle m_page;
    lum::PlotHandle m_plot;
    lum::DcHandle m_dc;
    lum::ProcessVarHandle m_processVar;
};

} // namespace gaugekit
