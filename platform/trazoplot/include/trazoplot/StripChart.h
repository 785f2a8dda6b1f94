// The strip chart without its window: settings, the samples of both channels and what the time
// axis currently shows.
#pragma once

#include "ChartSettings.h"
#include "SampleStore.h"
#include "TimeWindow.h"

#include <array>

namespace trazoplot {

class StripChart {
public:
    explicit StripChart(std::int64_t capacity = SampleStore::kDefaultCapacity);

    ChartSettings& settings() { return m_settings; }
    const ChartSettings& settings() const { return m_settings; }
    const SampleStore& store(int channel) const {
        return m_stores[static_cast<std::size_t>(channel)];
    }

    // DISP_E_BADINDEX for a channel other than 0 or 1.
    [[nodiscard]] com::HRESULT append(std::int32_t channel, double value);
    void clear();
    // Samples of the channel that has most.
    std::int64_t count() const;

    // The window across `plotWidthPx` pixels (scrolling in steps of about one column), and
    // the same window with the bucket of `channel`'s density.
    TimeWindow window(double plotWidthPx) const;
    TimeWindow channelWindow(const TimeWindow& base, double plotWidthPx, int channel) const;

private:
    ChartSettings m_settings;
    std::array<SampleStore, kChannelCount> m_stores;
};

} // namespace trazoplot
