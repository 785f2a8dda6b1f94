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
    , m_samples(static_cast<std::size_t>(m_capacity))
    , m_blocks(static_cast<std::size_t>(m_capacity / kBlock))
    , m_superBlocks(static_cast<std::size_t>(m_capacity / kSuperBlock)) {}

void SampleStore::append(double value) {
    const std::int64_t i = m_count++;
    m_samples[static_cast<std::size_t>(i % m_capacity)] = value;
    // The slot of a new block (or level-2 block) still holds the summary of the one it
    // replaces, so it starts afresh with its first sample.
    MinMax& block = m_blocks[static_cast<std::size_t>((i / kBlock) % std::ssize(m_blocks))];
    if (i % kBlock == 0)
        block = MinMax{};
    block.add(value);
    MinMax& super =
        m_superBlocks[static_cast<std::size_t>((i / kSuperBlock) % std::ssize(m_superBlocks))];
    if (i % kSuperBlock == 0)
        super = MinMax{};
    super.add(value);
}

void SampleStore::clear() {
    m_count = 0;
}

double SampleStore::at(std::int64_t i) const {
    if (i < firstKept() || i >= m_count)
        return std::nan("");
    return m_samples[static_cast<std::size_t>(i % m_capacity)];
}

void SampleStore::addSamples(MinMax& mm, std::int64_t from, std::int64_t to) const {
    for (std::int64_t i = from; i < to; ++i)
        mm.add(m_samples[static_cast<std::size_t>(i % m_capacity)]);
}

// [from, to) aligned to kBlock.
void SampleStore::addBlocks(MinMax& mm, std::int64_t from, std::int64_t to) const {
    const auto blockAt = [this](std::int64_t first) -> const MinMax& {
        return m_blocks[static_cast<std::size_t>((first / kBlock) % std::ssize(m_blocks))];
    };
    while (from < to && from % kSuperBlock != 0) {
        mm.add(blockAt(from));
        from += kBlock;
    }
    while (to > from && to % kSuperBlock != 0) {
        to -= kBlock;
        mm.add(blockAt(to));
    }
    for (; from < to; from += kSuperBlock)
        mm.add(m_superBlocks[static_cast<std::size_t>((from / kSuperBlock) %
                                                      std::ssize(m_superBlocks))]);
}

MinMax SampleStore::range(std::int64_t from, std::int64_t to) const {
    MinMax mm;
    from = std::max(from, firstKept());
    to = std::min(to, m_count);
    if (from >= to)
        return mm;
    const std::int64_t alignedFrom = roundUp(from, kBlock);
    const std::int64_t alignedTo = to / kBlock * kBlock;
    if (alignedFrom >= alignedTo) {
        addSamples(mm, from, to);
        return mm;
    }
    addSamples(mm, from, alignedFrom);
    addBlocks(mm, alignedFrom, alignedTo);
    addSamples(mm, alignedTo, to);
    return mm;
}

} // namespace trazoplot
