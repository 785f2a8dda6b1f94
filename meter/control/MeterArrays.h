// The eight arrays of the meter: three titles and five channels, each persisted as one blob.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace gaugekit {

// The eight arrays, in the order they are stored.
enum class ArrayId {
    TitleString,
    TitleFont,
    TitleColor,
    TitleFontStyle,
    TitleFontSize,
    TitlePos,
    MeterChannelColor,
    MeterChannelTagName,
};

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

    // Calls `fn` with the array `which` names (a QStringList or a QList<std::int32_t>).
    template <class Self, class Fn>
    static decltype(auto) visit(Self& self, ArrayId which, Fn&& fn) {
        switch (which) {
        case ArrayId::TitleString:
            return fn(self.titleString);
        case ArrayId::TitleFont:
            return fn(self.titleFont);
        case ArrayId::TitleColor:
            return fn(self.titleColor);
        case ArrayId::TitleFontStyle:
            return fn(self.titleFontStyle);
        case ArrayId::TitleFontSize:
            return fn(self.titleFontSize);
        case ArrayId::TitlePos:
            return fn(self.titlePos);
        case ArrayId::MeterChannelColor:
            return fn(self.channelColor);
        case ArrayId::MeterChannelTagName:
            break;
        }
        return fn(self.channelTagName);
    }
};

} // namespace gaugekit
