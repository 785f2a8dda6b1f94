#include "MeterArrays.h"

namespace gaugekit {

MeterArrays::MeterArrays(const std::array<std::int32_t, kChannels>& channelColors)
    : titleString{QStringLiteral("Meter"), QString(), QStringLiteral("Ondavia")}
    , titleFont(kTitles, QStringLiteral("Arial"))
    , titleColor(kTitles, 0)
    , titleFontStyle(kTitles, 0)
    , titleFontSize{8, 6, 4}
    , titlePos(kTitles, 4)
    , channelColor(channelColors.begin(), channelColors.end())
    , channelTagName(kChannels, QString()) {}

} // namespace gaugekit
