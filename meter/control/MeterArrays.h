// The eight arrays of the meter: three titles and five channels, each persisted as one blob.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace gaugekit {

struct MeterArrays {
    static constexpr int kTitles = 3;
    static constexpr int kChannels = 5;

    // The arrays a new meter starts with; the channel colours come from the drawing library's
    // palette, so the caller hands them in.
    explicit MeterArrays(const std::array<std::int32_t, kChannels>& channelColors);

    QStringList titleString;
    QStringList titleFont;
    QList<std::int32_t> titleColor;
    QList<std::int32_t> titleFontStyle;
    QList<std::int32_t> titleFontSize;
    QList<std::int32_t> titlePos; // kept and persisted, not drawn
    QList<std::int32_t> channelColor;
    QStringList channelTagName;

    bool operator==(const MeterArrays&) const = default;
};

} // namespace gaugekit
