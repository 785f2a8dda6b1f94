#include "MeterSettings.h"

#include <algorithm>

namespace gaugekit {

int MeterSettings::usableChannels() const {
    return std::clamp<int>(meterNumChannels, 1, 5);
}

void MeterSettings::boundStrings() {
    meterTickLabelsFont = bounded(meterTickLabelsFont);
    meterUnitsString = bounded(meterUnitsString);
}

} // namespace gaugekit
