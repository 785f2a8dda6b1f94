#include "PropertyTable.h"

#include "GaugeKitIds.h"

#include <array>

namespace gaugekit {

namespace {

using S = MeterSettings;

PropertyInfo entry(const char* name, std::int32_t dispid, SettingsMember member,
                   PropertyValue defaultValue, const char* widgetName, const char* widgetType,
                   const PropertyTraits& t) {
    return {
        .name = name,
        .dispid = dispid,
        .member = member,
        .defaultValue = std::move(defaultValue),
        .change = t.change,
        .bagKey = t.bagKey ? t.bagKey : (t.stored > 0 ? name : nullptr),
        .stored = t.stored,
        .page = t.page,
        .range = t.range,
        .choices = t.choices,
        .widgetName = widgetName,
        .widgetType = widgetType,
        .designable = t.designable,
    };
}

const std::array<PropertyInfo, 53> kProperties = [] {
    using enum PageKind;
    using enum PropertyChange;
    using Range = PropertyRange;
#define GAUGEKIT_TABLE_ENTRY(Name, id, Kind, member, def, QtType, getter, setter, ...)             \
    entry(#Name, dispid::Name, &S::member, PropertyValue(prop::Kind(def)), #getter, #QtType,       \
          PropertyTraits{__VA_ARGS__}),
    return std::array<PropertyInfo, 53>{GAUGEKIT_METER_PROPERTIES(GAUGEKIT_TABLE_ENTRY)};
#undef GAUGEKIT_TABLE_ENTRY
}();

// The order of the stored forms; containers' saved designs depend on it.
const std::array<const PropertyInfo*, 52> kPersisted = [] {
    std::array<const PropertyInfo*, 52> order{};
    for (const PropertyInfo& p : kProperties) {
        if (p.stored > 0 && p.stored <= int(order.size()))
            order[std::size_t(p.stored - 1)] = &p;
    }
    return order;
}();

const PropertyInfo* at(std::int32_t dispid) {
    return &kProperties[static_cast<std::size_t>(dispid - 1)];
}

} // namespace

std::span<const PropertyInfo> PropertyTable::all() {
    return kProperties;
}

std::span<const PropertyInfo* const> PropertyTable::persisted() {
    return kPersisted;
}

const PropertyInfo* PropertyTable::byDispid(std::int32_t dispid) {
    if (dispid < 1 || dispid > static_cast<std::int32_t>(kProperties.size()))
        return nullptr;
    return at(dispid);
}

const PropertyInfo* PropertyTable::byName(const QString& name) {
    for (const PropertyInfo& p : kProperties) {
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return &p;
    }
    return nullptr;
}

bool PropertyTable::isChoice(const PropertyInfo& p, std::int32_t value) {
    if (p.choices == 0)
        return true;
    return value >= 0 && value < 32 && (p.choices >> value & 1u) != 0;
}

MeterSettings PropertyTable::defaults() {
    MeterSettings s;
    for (const PropertyInfo& p : kProperties)
        set(s, p, p.defaultValue);
    return s;
}

PropertyValue PropertyTable::get(const MeterSettings& s, const PropertyInfo& p) {
    return std::visit([&](auto member) { return PropertyValue(s.*member); }, p.member);
}

void PropertyTable::set(MeterSettings& s, const PropertyInfo& p, const PropertyValue& v) {
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(s.*member)>;
            if (const T* value = std::get_if<T>(&v))
                s.*member = *value;
        },
        p.member);
}

void PropertyTable::copy(MeterSettings& to, const MeterSettings& from, const PropertyInfo& p) {
    std::visit([&](auto member) { to.*member = from.*member; }, p.member);
}

} // namespace gaugekit
