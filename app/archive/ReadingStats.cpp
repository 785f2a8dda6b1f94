#include "ReadingStats.h"

namespace archive {

void QuantityStats::add(qint64 timeMs, double value) {
    QuantityStats one;
    one.sum = value;
    one.min = one.max = value;
    one.minMs = one.maxMs = timeMs;
    merge(one);
}

void QuantityStats::merge(const QuantityStats& other) {
    sum += other.sum;
    if (other.min < min || (other.min == min && other.minMs < minMs)) {
        min = other.min;
        minMs = other.minMs;
    }
    if (other.max > max || (other.max == max && other.maxMs < maxMs)) {
        max = other.max;
        maxMs = other.maxMs;
    }
}

void ReadingStats::add(qint64 timeMs, double humidityPct, double pressureKpa) {
    ++count;
    humidity.add(timeMs, humidityPct);
    pressure.add(timeMs, pressureKpa);
}

void ReadingStats::merge(const ReadingStats& other) {
    if (other.count == 0) {
        return;
    }
    count += other.count;
    humidity.merge(other.humidity);
    pressure.merge(other.pressure);
}

} // namespace archive
