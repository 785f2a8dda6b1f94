#pragma once

#include <QtGlobal>

#include <limits>

namespace archive {

// Sum and extremes of one quantity, each extreme with the time it was first reached.
struct QuantityStats {
    double sum = 0.0;
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    qint64 minMs = 0;
    qint64 maxMs = 0;

    void add(qint64 timeMs, double value);
    // Takes in another span's figures; ties keep the earlier time.
    void merge(const QuantityStats& other);
};

// Count, sums and extremes of the readings of a span of time.
struct ReadingStats {
    qint64 count = 0;
    QuantityStats humidity;
    QuantityStats pressure;

    void add(qint64 timeMs, double humidityPct, double pressureKpa);
    void merge(const ReadingStats& other);
    bool isEmpty() const { return count == 0; }
    double humidityMean() const { return count > 0 ? humidity.sum / count : 0.0; }
    double pressureMean() const { return count > 0 ? pressure.sum / count : 0.0; }
};

} // namespace archive
