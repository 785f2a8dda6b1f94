#include "StripChart.h"

#include <algorithm>

namespace trazoplot {

StripChart::StripChart(std::int64_t capacity)
    : m_stores{SampleStore(capacity), SampleStore(capacity)} {}

com::HRESULT StripChart::append(std::int32_t channel, double value) {
    if (!ChartSettings::isChannel(channel))
        return com::DISP_E_BADINDEX;
    m_stores[static_cast<std::size_t>(channel)].append(value);
    return com::S_OK;
}

void StripChart::clear() {
    for (SampleStore& s : m_stores)
        s.clear();
}

std::int64_t StripChart::count() const {
    return std::max(m_stores[0].count(), m_stores[1].count());
}

TimeWindow StripChart::window(double plotWidthPx) const {
    return TimeWindow::compute(m_settings.timeAxis(), count(), plotWidthPx, 1);
}

TimeWindow StripChart::channelWindow(const TimeWindow& base, double plotWidthPx,
                                     int channel) const {
    TimeWindow w = base;
    w.bucket = TimeWindow::bucketSize(base.span, plotWidthPx, m_settings.densityOf(channel));
    return w;
}

} // namespace trazoplot
