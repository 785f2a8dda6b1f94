// The scalar settings of a meter: one member per scalar property of the dispatch interface, as
// MeterPropertyList.h lists them.
//
// The control keeps one instance as its property store and the MeterModel keeps another as the
// mirror the drawing reads. PropertyTable describes every member (name, dispatch identifier,
// default, persistence, page) so that dispatch, persistence, reset and the pages are driven by
// one table.
#pragma once

#include "MeterPropertyList.h"

#include <QString>
#include <cstdint>

namespace gaugekit {

// The stored type of each kind of property the list names.
namespace prop {
using Long = std::int32_t;
using Choice = std::int32_t;
using Bool = bool;
using Double = double;
using String = QString;
} // namespace prop

struct MeterSettings {
    // The longest text a string property holds (longer ones are cut): the longest string the
    // persisted form writes with a 16-bit length prefix. Characters are stored as one byte.
    static constexpr qsizetype kMaxStringLength = 0xFFFD;
    // The largest blob the control writes: five strings of the longest length, each with its
    // 3-byte prefix, after a 16-bit element count (the arrays of numbers are much smaller).
    static constexpr qsizetype kMaxBlobBytes = 2 + 5 * (3 + kMaxStringLength);
    // A load refuses any string or blob length prefix above this at once.
    static constexpr qsizetype kMaxPersistedLength = kMaxBlobBytes;

    static QString bounded(const QString& text) { return text.left(kMaxStringLength); }
    // Cuts every string member to kMaxStringLength.
    void boundStrings();

#define GAUGEKIT_SETTINGS_MEMBER(Name, id, Kind, member, ...) prop::Kind member{};
    GAUGEKIT_METER_PROPERTIES(GAUGEKIT_SETTINGS_MEMBER)
#undef GAUGEKIT_SETTINGS_MEMBER

    // The channel count the drawing may use: MeterNumChannels limited to 1..5.
    int usableChannels() const;

    bool operator==(const MeterSettings&) const = default;
};

} // namespace gaugekit
