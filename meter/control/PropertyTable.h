// The table of the meter's scalar properties, made from MeterPropertyList.h: name, dispatch
// identifier, type, default, member of MeterSettings, the page that shows it, the values it
// accepts, and whether and where it is persisted.
#pragma once

#include "MeterSettings.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace gaugekit {

enum class PropertyKind { Long, Bool, Double, String };

// The five pages a meter remembers, in the order the frame shows them.
enum class PageKind { General, Look, Scale, Alarm, Timer };

// A value of one scalar property, typed as the property is.
using PropertyValue = std::variant<std::int32_t, bool, double, QString>;

using SettingsMember = std::variant<std::int32_t MeterSettings::*, bool MeterSettings::*,
                                    double MeterSettings::*, QString MeterSettings::*>;

// The values a page accepts for a number; the page refuses (or brings in) any other.
struct PropertyRange {
    double minimum;
    double maximum;

    bool contains(double v) const { return v >= minimum && v <= maximum; }
};

// What the change step does beyond storing: copy into the model, hand the value to the page
// site, or nothing (read later by the timer).
enum class PropertyChange { Model, PageSite, StoreOnly, MarkModified };

// The traits of a property the list gives by name (designated initialisers).
struct PropertyTraits {
    // Position in the stored forms, from 1; 0: not persisted.
    int stored = 0;
    // The page that shows the property, if any.
    std::optional<PageKind> page = std::nullopt;
    std::optional<PropertyRange> range = std::nullopt;
    // Of an enumerated property: bit n set when n is one of its values.
    std::uint32_t choices = 0;
    PropertyChange change = PropertyChange::Model;
    // The key in a property bag when it is not the name.
    const char* bagKey = nullptr;
    // Whether the widget offers the property to form designers.
    bool designable = true;
};

struct PropertyInfo {
    using Change = PropertyChange;

    const char* name;
    std::int32_t dispid;
    SettingsMember member;
    PropertyValue defaultValue;
    Change change;
    // Key in a property bag; also marks the property as persisted (null: not persisted).
    const char* bagKey;
    int stored;
    std::optional<PageKind> page;
    std::optional<PropertyRange> range;
    std::uint32_t choices;
    // The widget's Q_PROPERTY: its name and its type as written in the widget's header.
    const char* widgetName;
    const char* widgetType;
    bool designable;

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
