// The table of the meter's scalar properties: name, dispatch identifier, type, default,
// member of MeterSettings, and whether and under which key the property is persisted.
#pragma once

#include "MeterSettings.h"

#include <QString>
#include <cstdint>
#include <span>
#include <variant>

namespace gaugekit {

enum class PropertyKind { Long, Bool, Double, String };

// A value of one scalar property, typed as the property is.
using PropertyValue = std::variant<std::int32_t, bool, double, QString>;

using SettingsMember = std::variant<std::int32_t MeterSettings::*, bool MeterSettings::*,
                                    double MeterSettings::*, QString MeterSettings::*>;

struct PropertyInfo {
    const char* name;
    std::int32_t dispid;
    SettingsMember member;
    PropertyValue defaultValue;
    // What the change step does beyond storing: copy into the model, hand the value to the
    // page site, or nothing (read later by the timer).
    enum class Change { Model, PageSite, StoreOnly, MarkModified } change;
    // Key in a property bag; also marks the property as persisted (null: not persisted).
    const char* bagKey;

    PropertyKind kind() const { return static_cast<PropertyKind>(member.index()); }
};

class PropertyTable {
public:
    // All 53 scalar properties in dispatch order (DISPID 1 to 53).
    static std::span<const PropertyInfo> all();
    // The 52 persisted properties in the order they are exchanged.
    static std::span<const PropertyInfo* const> persisted();
    // Lookup by dispatch identifier or by name (case-insensitive); null when unknown.
    static const PropertyInfo* byDispid(std::int32_t dispid);
    static const PropertyInfo* byName(const QString& name);

    // False for a value an enumerated property has no choice for (WindowBorderStyle,
    // MeterBorderStyle, MeterType, MeterNeedleStyle and the two tick positions; the values the
    // pages can store count as choices); true for every value of any other property.
    static bool isChoice(const PropertyInfo& p, std::int32_t value);

    static MeterSettings defaults();
    static PropertyValue get(const MeterSettings& s, const PropertyInfo& p);
    // The value must be of the property's kind (the dispatch layer coerces before).
    static void set(MeterSettings& s, const PropertyInfo& p, const PropertyValue& v);
    static void copy(MeterSettings& to, const MeterSettings& from, const PropertyInfo& p);
};

} // namespace gaugekit
