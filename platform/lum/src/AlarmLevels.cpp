#include "lum/AlarmLevels.h"

#include <algorithm>
#include <cmath>

namespace lum {

bool AlarmLevels::set(int code, double limit, const QString& text) {
    switch (code) {
    case kAlarmHigh:
        m_high = limit;
        break;
    case kAlarmLow:
        m_low = limit;
        break;
    case kAlarmOk:
        break;
    default:
        return false;
    }
    m_texts[code] = text;
    return true;
}

int AlarmLevels::classify(double value) const {
    if (std::isnan(value))
        return kAlarmOk;
    if (m_high && value >= *m_high)
        return kAlarmHigh;
    if (m_low && value <= *m_low)
        return kAlarmLow;
    return kAlarmOk;
}

QString AlarmLevels::text(int code) const {
    if (code < 0 || code > 2)
        return {};
    return m_texts[code];
}

ChannelStates::ChannelStates(int channels)
    : m_count(std::clamp(channels, 1, kMaxChannels)) {}

double ChannelStates::value(int channel) const {
    return channel >= 0 && channel < m_count ? m_values[channel] : 0.0;
}

int ChannelStates::state(int channel) const {
    return channel >= 0 && channel < m_count ? m_states[channel] : kAlarmOk;
}

QList<AlarmChange> ChannelStates::update(std::span<const double> values) {
    QList<AlarmChange> changes;
    const int n = static_cast<int>(std::min<std::size_t>(values.size(), m_count));
    for (int ch = 0; ch < n; ++ch) {
        m_values[ch] = values[ch];
        const int code = m_levels.classify(values[ch]);
        if (code == m_states[ch])
            continue;
        m_states[ch] = code;
        changes.append({ch, code, values[ch], code != kAlarmOk});
    }
    return changes;
}

} // namespace lum
