#include "MeterSettings.h"

#include <algorithm>

namespace gaugekit {

int MeterSettings::usableChannels() const {
    return std::clamp<int>(meterNumChannels, 1, 5);
}

namespace {

void boundIfString(QString& text) {
    text = MeterSettings::bounded(text);
}

template <class T>
void boundIfString(T&) {}

} // namespace

void MeterSettings::boundStrings() {
#define GAUGEKIT_BOUND_MEMBER(Name, id, Kind, member, ...) boundIfString(member);
    GAUGEKIT_METER_PROPERTIES(GAUGEKIT_BOUND_MEMBER)
#undef GAUGEKIT_BOUND_MEMBER
}

} // namespace gaugekit
