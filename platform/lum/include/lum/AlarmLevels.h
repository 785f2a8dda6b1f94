// Alarm levels and channel alarm state of a process variable; no widgets involved.
#pragma once

#include "lum/LumTypes.h"

#include <QList>
#include <QString>

#include <optional>
#include <span>

namespace lum {

/// The high and low alarm limits. A value is in high alarm when >= the high limit, else in
/// low alarm when <= the low limit, else OK; an undefined limit never triggers and NaN is OK.
class AlarmLevels {
public:
    /// Defines level `code` (kAlarmOk, kAlarmHigh, kAlarmLow); false for another code.
    bool set(int code, double limit, const QString& text);
    int classify(double value) const;
    std::optional<double> highLimit() const { return m_high; }
    std::optional<double> lowLimit() const { return m_low; }
    QString text(int code) const;

private:
    std::optional<double> m_high;
    std::optional<double> m_low;
    QString m_texts[3];
};

/// One change of a channel's alarm state, as reported to the alarm callback.
struct AlarmChange {
    int channel = 0;
    int code = kAlarmOk;
    double value = 0.0;
    bool alarm = false;
    friend bool operator==(const AlarmChange&, const AlarmChange&) = default;
};

/// The channel values of a process variable with their alarm states.
class ChannelStates {
public:
    /// `channels` is clamped to 1..kMaxChannels; values start at 0.0, states OK.
    explicit ChannelStates(int channels);

    int channelCount() const { return m_count; }
    AlarmLevels& levels() { return m_levels; }
    const AlarmLevels& levels() const { return m_levels; }
    double value(int channel) const;
    int state(int channel) const;

    /// Takes at most channelCount() values and returns the changes of state in channel
    /// order (new code with alarm true entering an alarm, code 0 with false leaving it).
    QList<AlarmChange> update(std::span<const double> values);

private:
    int m_count = 1;
    double m_values[kMaxChannels] = {};
    int m_states[kMaxChannels] = {};
    AlarmLevels m_levels;
};

} // namespace lum
