// The samples of one chart channel: a ring buffer that keeps the newest `capacity` samples,
// with min/max summaries of aligned blocks so that the extremes of any range are found by
// reading a few summaries instead of every sample.
#pragma once

#include <cstdint>
#include <vector>

namespace trazoplot {

// Extremes of a range of samples. Empty when the range held no finite sample.
struct MinMax {
    double min = 0.0;
    double max = 0.0;
    bool empty = true;

    void add(double v);
    void add(const MinMax& other);
};

class SampleStore {
public:
    // Samples summarised by one block at each level; the capacity is rounded up to a whole
    // number of the largest blocks.
    static constexpr std::int64_t kLevelSizes[] = {16, 256, 4096};
    static constexpr std::int64_t kSuperBlock = 4096;
    // One sample a second for 31 hours.
    static constexpr std::int64_t kDefaultCapacity = 31 * 3600;

    explicit SampleStore(std::int64_t capacity = kDefaultCapacity);

    // Appends one sample in constant time, dropping the oldest once full. A non-finite value
    // is kept as a gap: it counts as a sample but has no extremes.
    void append(double value);
    void clear();

    // Samples appended since creation or clear(); sample i is the i-th appended (from 0).
    std::int64_t count() const { return m_count; }
    std::int64_t capacity() const { return m_capacity; }
    // The oldest sample still held.
    std::int64_t firstKept() const { return m_count > m_capacity ? m_count - m_capacity : 0; }
    // Sample i (firstKept() <= i < count()).
    double at(std::int64_t i) const;

    // Extremes of samples [from, to), clipped to what is held. Reads at most 30 samples and
    // 30 summaries of each level below the largest, plus one summary per largest block.
    MinMax range(std::int64_t from, std::int64_t to) const;
    // Extremes of samples [k * size, (k + 1) * size), as range() gives them. A bucket that is
    // complete and held is kept once read (for the last size asked), so that a chart redrawn
    // with the same columns reads one summary per column, whatever the samples per column.
    MinMax bucket(std::int64_t k, std::int64_t size) const;

private:
    struct Level {
        std::int64_t size;
        std::vector<MinMax> blocks;
    };
    // Adds the units of `level` (-1: single samples) covering [from, to), both aligned to it.
    void addUnits(MinMax& mm, int level, std::int64_t from, std::int64_t to) const;
    // [from, to) aligned to the units of `level`: whole blocks of the next level where they fit.
    void addSpan(MinMax& mm, int level, std::int64_t from, std::int64_t to) const;

    std::int64_t m_capacity;
    std::int64_t m_count = 0;
    std::vector<double> m_samples;
    std::vector<Level> m_levels;
    // Buckets already read, by index modulo the slots; not shared between threads.
    struct KeptBucket {
        std::int64_t index = -1;
        MinMax extremes;
    };
    mutable std::int64_t m_keptSize = 0;
    mutable std::vector<KeptBucket> m_kept;
};

} // namespace trazoplot
