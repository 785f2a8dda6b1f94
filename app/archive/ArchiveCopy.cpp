#include "ArchiveCopy.h"

#include "ArchiveReader.h"

#include <limits>
#include <map>
#include <tuple>

namespace archive {

namespace {

constexpr qint64 kWindowMs = 24LL * 60 * 60 * 1000;

using Key = std::tuple<qint64, int, double, double, int, int>;

Key keyOf(const Entry& e) {
    return {e.timeMs,     static_cast<int>(e.kind), e.humidityPct, e.pressureKpa, e.rawHumidity,
            e.rawPressure};
}

} // namespace

HRESULT ArchiveCopy::run(Counts& counts) {
    counts = {};
    const ArchiveReader source(m_from);
    qint64 next = std::numeric_limits<qint64>::min();
    for (;;) {
        std::optional<qint64> start;
        m_failedOnSource = true;
        HRESULT hr = source.nextTime(next, start);
        if (com::failed(hr) || !start) {
            return hr;
        }
        // Windows start at the next entry, so years without any cost nothing.
        const qint64 end = *start > std::numeric_limits<qint64>::max() - kWindowMs
                               ? std::numeric_limits<qint64>::max()
                               : *start + kWindowMs;
        hr = copyWindow(*start, end, counts);
        if (com::failed(hr) || end == std::numeric_limits<qint64>::max()) {
            return hr;
        }
        next = end;
    }
}

HRESULT ArchiveCopy::copyWindow(qint64 fromMs, qint64 toMs, Counts& counts) {
    std::vector<Entry> wanted;
    std::vector<Entry> there;
    m_failedOnSource = true;
    HRESULT hr = ArchiveReader(m_from).entries(fromMs, toMs, wanted);
    if (com::succeeded(hr)) {
        m_failedOnSource = false;
        hr = ArchiveReader(m_to).entries(fromMs, toMs, there);
    }
    if (com::failed(hr)) {
        return hr;
    }
    // Each entry of the destination stands for one equal entry of the source.
    std::map<Key, qint64> held;
    for (const Entry& e : there) {
        ++held[keyOf(e)];
    }
    std::vector<Entry> missing;
    for (const Entry& e : wanted) {
        auto it = held.find(keyOf(e));
        if (it != held.end() && it->second > 0) {
            --it->second;
            ++counts.present;
        } else {
            missing.push_back(e);
        }
    }
    hr = m_to.append(missing);
    if (com::succeeded(hr)) {
        counts.copied += static_cast<qint64>(missing.size());
    }
    return hr;
}

} // namespace archive
