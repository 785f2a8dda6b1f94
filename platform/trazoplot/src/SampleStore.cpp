#include "SampleStore.h"

#include <algorithm>
#include <cmath>

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
    add(other.min);
    add(other.max);
}

namespace {

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
}

double SampleStore::at(std::int64_t i) const {
    if (i < firstKept() || i >= m_count)
        return std::nan("");
    return m_samples[static_cast<std::size_t>(i % m_capacity)];
}

void SampleStore::addUnits(MinMax& mm, int level, std::int64_t from, std::int64_t to) const {
    if (level < 0) {
        for (std::int64_t i = from; i < to; ++i)
            mm.add(m_samples[static_cast<std::size_t>(i % m_capacity)]);
        return;
    }
    const Level& l = m_levels[static_cast<std::size_t>(level)];
    for (std::int64_t i = from; i < to; i += l.size)
        mm.add(l.blocks[static_cast<std::size_t>((i / l.size) % std::ssize(l.blocks))]);
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

} // namespace trazoplot
