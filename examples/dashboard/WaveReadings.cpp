#include "WaveReadings.h"

#include <cmath>

QList<double> WaveReadings::at(int n) {
    const double t = n * 0.1;
    return {55.0 + 30.0 * std::sin(t * 0.7), 101.3 + 3.0 * std::sin(t * 0.3 + 1.0),
            6.0 + 5.0 * std::sin(t * 1.3), 6.0 + 4.0 * std::sin(t * 1.1 + 2.0),
            6.0 + 3.0 * std::sin(t * 0.9 + 4.0)};
}
