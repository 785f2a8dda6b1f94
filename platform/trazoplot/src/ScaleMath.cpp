#include "ScaleMath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace trazoplot {

LinearScale::LinearScale(double from, double to, double p0, double p1)
    : m_from(from)
    , m_to(to)
    , m_p0(p0) {
    // Both ends are halved before subtracting: the width of a range near the largest doubles
    // does not fit in one.
    const double halfWidth = to / 2 - from / 2;
    if (!(std::abs(halfWidth) > 0.0) || !std::isfinite((p1 - p0) / halfWidth)) {
        // One unit around the value, or more where one unit does not change it.
        const double half = std::max(0.5, std::abs(from) * 1e-9);
        m_from = from - half;
        m_to = from + half;
    }
    m_halfFactor = (p1 - p0) / (m_to / 2 - m_from / 2);
}

namespace {

// A step of mantissa times 10^exponent. Ticks are computed as whole multiples scaled once by
// the power of ten, so that 6 steps of 0.0002 read 0.0012 and not 0.0012000000000000001.
struct Step {
    double mantissa = 1.0;
    int exponent = 0;

    double scale() const { return std::pow(10.0, std::abs(exponent)); }
    double size() const { return exponent >= 0 ? mantissa * scale() : mantissa / scale(); }
    double tick(double k) const {
        return exponent >= 0 ? k * mantissa * scale() : k * mantissa / scale();
    }
};

// First and last multiple of the step inside [lo, hi], with a little tolerance at both ends.
std::pair<double, double> multipleRange(double lo, double hi, const Step& step) {
    const double s = step.size();
    return {std::ceil(lo / s - 1e-9), std::floor(hi / s + 1e-9)};
}

double tickCount(double lo, double hi, const Step& step) {
    const auto [k0, k1] = multipleRange(lo, hi, step);
    return std::isfinite(k1 - k0) ? k1 - k0 + 1.0 : HUGE_VAL;
}

std::vector<double> multiples(double lo, double hi, const Step& step) {
    std::vector<double> out;
    const auto [k0, k1] = multipleRange(lo, hi, step);
    for (double k = k0; k <= k1; k += 1.0) {
        // Past 2^53 adding one no longer moves k, and far from zero neighbouring multiples
        // may round to one value: each value is taken once, and the walk ends where it stalls.
        const double v = step.tick(k);
        if (out.empty() || v > out.back())
            out.push_back(v);
        if (k + 1.0 == k || std::ssize(out) >= ScaleMath::kMaxTicks)
            break;
    }
    return out;
}

// How many labels fit on the axis, between 2 and `cap`.
int labelsThatFit(double lengthPx, double minGapPx, int cap) {
    const double fit = std::floor(std::max(lengthPx, 1.0) / std::max(minGapPx, 1.0)) + 1.0;
    return int(std::clamp(fit, 2.0, double(cap)));
}

// The caller's step when it gives a readable axis, else the first candidate (finest first)
// whose ticks fit.
template <class Candidates>
std::vector<double> chooseTicks(double from, double to, double step, double lengthPx,
                                double minGapPx, int cap, Candidates&& candidates) {
    const double lo = std::min(from, to);
    const double hi = std::max(from, to);
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo))
        return {};
    const int most = labelsThatFit(lengthPx, minGapPx, cap);
    if (step > 0.0 && std::isfinite(step)) {
        const double count = tickCount(lo, hi, Step{step, 0});
        if (count >= ScaleMath::kMinLabels && count <= most)
            return multiples(lo, hi, Step{step, 0});
    }
    for (const Step& s : candidates(lo, hi, most))
        if (std::isfinite(s.size()) && s.size() > 0.0 && tickCount(lo, hi, s) <= most)
            return multiples(lo, hi, s);
    return {};
}

std::vector<Step> valueSteps(double lo, double hi, int most) {
    // Halved, so that a span as wide as the largest doubles does not overflow.
    const double halfSpan = hi / 2 - lo / 2;
    const int first = int(std::floor(std::log10(halfSpan) + std::log10(2.0 / most))) - 1;
    std::vector<Step> steps;
    for (int e = std::max(first, -320); e <= first + 4 && e <= 308; ++e)
        for (double m : {1.0, 2.0, 2.5, 5.0})
            steps.push_back(Step{m, e});
    return steps;
}

std::vector<Step> timeSteps(double, double, int) {
    std::vector<Step> steps;
    for (double minutes : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 180.0, 360.0, 720.0,
                           1440.0, 2880.0, 4320.0})
        steps.push_back(Step{minutes, 0});
    for (double weeks = 1.0; weeks < 1e15; weeks *= 2.0)
        steps.push_back(Step{weeks * 10080.0, 0});
    return steps;
}

} // namespace

std::vector<double> ScaleMath::valueTicks(double from, double to, double step, double lengthPx,
                                          double minGapPx) {
    return chooseTicks(from, to, step, lengthPx, minGapPx, kMaxValueLabels, valueSteps);
}

std::vector<double> ScaleMath::timeTicks(double fromMinutes, double toMinutes, double step,
                                         double lengthPx, double minGapPx) {
    return chooseTicks(fromMinutes, toMinutes, step, lengthPx, minGapPx, kMaxTimeLabels, timeSteps);
}

QString ScaleMath::hoursMinutes(double minutes) {
    if (!std::isfinite(minutes))
        return QString();
    const double rounded = std::round(std::clamp(minutes, -1e15, 1e15));
    const long long total = static_cast<long long>(std::abs(rounded));
    const QString sign = rounded < 0 ? QStringLiteral("-") : QString();
    return sign + QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

QString ScaleMath::valueLabel(double value) {
    if (std::abs(value) < 1e-12)
        value = 0.0;
    return QString::number(value, 'g', 10);
}

} // namespace trazoplot
