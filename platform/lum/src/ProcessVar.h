// A process variable: named channel values with units and alarm states.
#pragma once

#include "lum/AlarmLevels.h"

#include <QString>

namespace lum {

struct ProcessVar {
    ProcessVar(const QString& n, int channels, const QString& u)
        : name(n)
        , units(u)
        , states(channels) {}
    QString name;
    QString units;
    ChannelStates states;
};

} // namespace lum
