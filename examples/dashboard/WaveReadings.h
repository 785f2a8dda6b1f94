// Made-up readings for the dashboard when no file is given: humidity and pressure drifting
// slowly around plausible values, and wind on three channels.
#pragma once

#include <QList>

class WaveReadings {
public:
    // The readings of tick `n`: humidity %, pressure kPa, then three wind speeds in m/s.
    static QList<double> at(int n);
};
