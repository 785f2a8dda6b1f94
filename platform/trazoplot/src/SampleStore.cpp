#include "SampleStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trazoplot {

void MinMax::add(double v) {
    if (!std::isfinite(v))
        return;
    if (empty) {
        min = max = v;
        empty = false;
        return;
    }
    min = std::min(min, v);
    max = std::max(max, v);
}

void MinMax::add(const MinMax& other) {
    if (other.empty)
        return;
    if (empty) {
        *this = other;
        return;
    }
    min = std::min(min, other.min);
    max = std::max(max, other.max);
}

namespace {

// Extremes of `n` consecutive values, skipping those that are not finite.
void addValues(MinMax& mm, const double* v, std::int64_t n) {
    double lo = mm.empty ? std::numeric_limits<double>::infinity() : mm.min;
    double hi = mm.empty ? -std::numeric_limits<double>::infinity() : mm.max;
    bool any = !mm.empty;
    for (std::int64_t i = 0; i < n; ++i) {
        const double x = v[i];
        if (!std::isfinite(x))
            continue;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        any = true;
    }
    if (any)
        mm = MinMax{lo, hi, false};
}

void addBlocks(MinMax& mm, const MinMax* b, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i)
        mm.add(b[i]);
}

// Calls f(first, n) for the one or two stretches of the ring `slots` that hold the units
// [from, to), counted from the ring's creation: one division per call, none per unit.
template <class T, class F>
void forEachStretch(const std::vector<T>& slots, std::int64_t from, std::int64_t to, F&& f) {
    const std::int64_t ring = std::ssize(slots);
    if (from >= to)
        return;
    const std::int64_t start = from % ring;
    const std::int64_t first = std::min(to - from, ring - start);
    f(slots.data() + start, first);
    if (first < to - from)
        f(slots.data(), to - from - first);
}

std::int64_t roundUp(std::int64_t value, std::int64_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

} // namespace

SampleStore::SampleStore(std::int64_t capacity)
    : m_capacity(roundUp(std::max<std::int64_t>(capacity, 1), kSuperBlock))
    , m_samples(static_cast<std::size_t>(m_capacity)) {
    for (std::int64_t size : kLevelSizes)
        m_levels.push_back(
            {size, std::vector<MinMax>(static_cast<std::size_t>(m_capacity / size))});
}

void SampleStore::append(double value) {
    const std::int64_t i = m_count++;
    m_samples[static_cast<std::size_t>(i % m_capacity)] = value;
    // The slot of a new block still holds the summary of the one it replaces, so it starts
    // afresh with its first sample.
    for (Level& level : m_levels) {
        MinMax& block =
            level.blocks[static_cast<std::size_t>((i / level.size) % std::ssize(level.blocks))];
        if (i % level.size == 0)
            block = MinMax{};
        block.add(value);
    }
}

void SampleStore::clear() {
    m_count = 0;
    // New samples take the old indices: nothing read before holds for them.
    m_keptSize = 0;
    m_kept.clear();
}

double SampleStore::at(std::int64_t i) const {
    if (i < firstKept() || i >= m_count)
        return std::nan("");
    return m_samples[static_cast<std::size_t>(i % m_capacity)];
}

void SampleStore::addUnits(MinMax& mm, int level, std::int64_t from, std::int64_t to) const {
    if (level < 0) {
        forEachStretch(m_samples, from, to,
                       [&mm](const double* v, std::int64_t n) { addValues(mm, v, n); });
        return;
    }
    const Level& l = m_levels[static_cast<std::size_t>(level)];
    forEachStretch(l.blocks, from / l.size, to / l.size,
                   [&mm](const MinMax* b, std::int64_t n) { addBlocks(mm, b, n); });
}

void SampleStore::addSpan(MinMax& mm, int level, std::int64_t from, std::int64_t to) const {
    const int next = level + 1;
    if (next >= std::ssize(m_levels)) {
        addUnits(mm, level, from, to);
        return;
    }
    const std::int64_t size = m_levels[static_cast<std::size_t>(next)].size;
    const std::int64_t alignedFrom = roundUp(from, size);
    const std::int64_t alignedTo = to / size * size;
    if (alignedFrom >= alignedTo) {
        addUnits(mm, level, from, to);
        return;
    }
    addUnits(mm, level, from, alignedFrom);
    addSpan(mm, next, alignedFrom, alignedTo);
    addUnits(mm, level, alignedTo, to);
}

MinMax SampleStore::range(std::int64_t from, std::int64_t to) const {
    MinMax mm;
    from = std::max(from, firstKept());
    to = std::min(to, m_count);
    if (from < to)
        addSpan(mm, -1, from, to);
    return mm;
}

MinMax SampleStore::bucket(std::int64_t k, std::int64_t size) const {
    const std::int64_t from = k * size;
    const std::int64_t to = from + size;
    // Buckets of a few samples are cheaper to read than to keep.
    constexpr std::int64_t kLeastKept = 8;
    if (size < kLeastKept || from < firstKept() || to > m_count)
        return range(from, to);
    if (size != m_keptSize) {
        m_keptSize = size;
        m_kept.assign(static_cast<std::size_t>(m_capacity / size + 2), KeptBucket{});
    }
    KeptBucket& kept = m_kept[static_cast<std::size_t>(k % std::ssize(m_kept))];
    if (kept.index != k) {
        kept.index = k;
        kept.extremes = range(from, to);
    }
    return kept.extremes;
}

} // namespace trazoplot
