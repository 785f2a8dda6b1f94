#include "PropertyTable.h"

#include "GaugeKitIds.h"

#include <array>

namespace gaugekit {

namespace {

using S = MeterSettings;
using C = PropertyInfo::Change;
using L = std::int32_t;

#define GK_PROP(name, member, def, change, key)                                                    \
    PropertyInfo {                                                                                 \
#name, dispid::name, &S::member, PropertyValue(def), change, key                           \
    }

const std::array<PropertyInfo, 53> kProperties = {
    GK_PROP(WindowBackgroundColor, windowBackgroundColor, L(0xC0C0C0), C::Model,
            "WindowBackgroundColor"),
    GK_PROP(WindowBorderColor, windowBorderColor, L(0), C::Model, "WindowBorderColor"),
    GK_PROP(PlotBackgroundColor, plotBackgroundColor, L(0xFFFFFF), C::Model, "PlotBackgroundColor"),
    GK_PROP(WindowBorderStyle, windowBorderStyle, L(0), C::Model, "WindowBorderStyle"),
    GK_PROP(WindowResizeMode, windowResizeMode, L(10), C::PageSite, nullptr),
    GK_PROP(WindowBorderThickness, windowBorderThickness, L(1), C::Model, "WindowBorderThickness"),
    GK_PROP(MeterType, meterType, L(0), C::Model, "MeterType"),
    GK_PROP(MeterNeedleStyle, meterNeedleStyle, L(5), C::Model, "MeterNeedleStyle"),
    GK_PROP(MeterDynTextEnable, meterDynTextEnable, true, C::Model, "MeterDynTextEnable"),
    GK_PROP(MeterArcEnable, meterArcEnable, true, C::Model, "MeterArcEnable"),
    GK_PROP(MeterCenterX, meterCenterX, 0.5, C::Model, "MeterCenterX"),
    GK_PROP(MeterCenterY, meterCenterY, 0.5, C::Model, "MeterCenterY"),
    GK_PROP(MeterDynTextPrecision, meterDynTextPrecision, L(1), C::Model, "MeterDynTextPrecision"),
    GK_PROP(MeterDiameter, meterDiameter, 0.5, C::Model, "MeterDiameter"),
    GK_PROP(MeterNumChannels, meterNumChannels, L(1), C::Model, "MeterNumChannels"),
    GK_PROP(MeterStartArc, meterStartArc, L(0), C::Model, "MeterStartArc"),
    GK_PROP(MeterStopArc, meterStopArc, L(180), C::Model, "MeterStopArc"),
    GK_PROP(MeterLowAlarmColor, meterLowAlarmColor, L(0x800000), C::Model, "MeterLowAlarmColor"),
    GK_PROP(MeterHighAlarmColor, meterHighAlarmColor, L(0x000080), C::Model, "MeterHighAlarmColor"),
    GK_PROP(MeterAlarmArcsEnable, meterAlarmArcsEnable, true, C::Model, "MeterAlarmArcsEnable"),
    GK_PROP(MeterAlarmArcThickness, meterAlarmArcThickness, 0.1, C::Model,
            "MeterAlarmArcThickness"),
    GK_PROP(MeterHighAlarmStart, meterHighAlarmStart, 9.0, C::Model, "MeterHighAlarmStart"),
    GK_PROP(MeterHighAlarmStop, meterHighAlarmStop, 10.0, C::Model, "MeterHighAlarmStop"),
    GK_PROP(MeterLowAlarmStart, meterLowAlarmStart, 0.0, C::Model, "MeterLowAlarmStart"),
    GK_PROP(MeterLowAlarmStop, meterLowAlarmStop, 1.0, C::Model, "MeterLowAlarmStop"),
    GK_PROP(MeterTickPosition, meterTickPosition, L(0), C::Model, "MeterTickPosition"),
    GK_PROP(MeterTickLabelsPosition, meterTickLabelsPosition, L(0), C::Model,
            "MeterTickLabelsPosition"),
    GK_PROP(MeterTickLabelsColor, meterTickLabelsColor, L(0), C::Model, "MeterTickLabelsColor"),
    GK_PROP(MeterTickLabelsSize, meterTickLabelsSize, L(8), C::Model, "MeterTickLabelsSize"),
    GK_PROP(MeterTickLabelsFontStyle, meterTickLabelsFontStyle, L(0), C::Model,
            "MeterTickLabelsFontStyle"),
    GK_PROP(MeterTickLabelsFont, meterTickLabelsFont, QStringLiteral("Arial"), C::Model,
            "MeterTickLabelsFont"),
    GK_PROP(MeterLineColor, meterLineColor, L(0), C::Model, "MeterLineColor"),
    GK_PROP(MeterUnitsString, meterUnitsString, QString(), C::Model, "MeterUnitsString"),
    GK_PROP(MeterUnitsStringEnable, meterUnitsStringEnable, false, C::Model,
            "MeterUnitsStringEnable"),
    GK_PROP(MeterLineThickness, meterLineThickness, L(1), C::Model, "MeterLineThickness"),
    GK_PROP(MeterMinorTicks, meterMinorTicks, L(3), C::Model, "MeterMinorTicks"),
    GK_PROP(MeterScaleMin, meterScaleMin, 0.0, C::Model, "MeterScaleMin"),
    GK_PROP(MeterScaleMax, meterScaleMax, 10.0, C::Model, "MeterScaleMax"),
    GK_PROP(MeterTickLabelsPrecision, meterTickLabelsPrecision, L(0), C::Model,
            "MeterTickLabelsPrecision"),
    // The key is misspelt in every stored form and stays so.
    GK_PROP(MeterTickRelLength, meterTickRelLength, 0.1, C::Model, "MeteTickRelLength"),
    GK_PROP(MeterTickStep, meterTickStep, 2.0, C::Model, "MeterTickStep"),
    GK_PROP(MeterNormalAlarmColor, meterNormalAlarmColor, L(0x008000), C::Model,
            "MeterNormalAlarmColor"),
    GK_PROP(MeterValueArcThickness, meterValueArcThickness, 0.1, C::Model,
            "MeterValueArcThickness"),
    GK_PROP(MeterScaleCenter, meterScaleCenter, 0.0, C::Model, "MeterScaleCenter"),
    GK_PROP(MeterBorderColor, meterBorderColor, L(0), C::Model, "MeterBorderColor"),
    GK_PROP(MeterBorderThickness, meterBorderThickness, L(1), C::Model, "MeterBorderThickness"),
    GK_PROP(MeterBorderStyle, meterBorderStyle, L(0), C::Model, "MeterBorderStyle"),
    GK_PROP(MeterInitialValue, meterInitialValue, 1.0, C::Model, "MeterInitialValue"),
    GK_PROP(EnableInternalTimer, enableInternalTimer, false, C::StoreOnly, "EnableInternalTimer"),
    GK_PROP(TimerFrequency, timerFrequency, 1.0, C::StoreOnly, "TimerFrequency"),
    GK_PROP(MeterBorderHeight, meterBorderHeight, 0.8, C::Model, "MeterBorderHeight"),
    GK_PROP(MeterBorderWidth, meterBorderWidth, 0.8, C::Model, "MeterBorderWidth"),
    GK_PROP(SDataSimulationMode, sDataSimulationMode, false, C::MarkModified,
            "SDataSimulationMode"),
};

#undef GK_PROP

const PropertyInfo* at(std::int32_t dispid) {
    return &kProperties[static_cast<std::size_t>(dispid - 1)];
}

// The order of the stored forms; containers' saved designs depend on it.
const std::array<const PropertyInfo*, 52> kPersisted = {
    at(dispid::PlotBackgroundColor),
    at(dispid::WindowBorderColor),
    at(dispid::WindowBackgroundColor),
    at(dispid::WindowBorderStyle),
    at(dispid::WindowBorderThickness),
    at(dispid::MeterBorderColor),
    at(dispid::MeterBorderThickness),
    at(dispid::MeterBorderStyle),
    at(dispid::MeterBorderWidth),
    at(dispid::MeterBorderHeight),
    at(dispid::MeterType),
    at(dispid::MeterNeedleStyle),
    at(dispid::MeterDynTextEnable),
    at(dispid::MeterArcEnable),
    at(dispid::MeterCenterX),
    at(dispid::MeterCenterY),
    at(dispid::MeterDynTextPrecision),
    at(dispid::MeterDiameter),
    at(dispid::MeterNumChannels),
    at(dispid::MeterStartArc),
    at(dispid::MeterStopArc),
    at(dispid::MeterLowAlarmColor),
    at(dispid::MeterHighAlarmColor),
    at(dispid::MeterNormalAlarmColor),
    at(dispid::MeterAlarmArcsEnable),
    at(dispid::MeterAlarmArcThickness),
    at(dispid::MeterHighAlarmStart),
    at(dispid::MeterHighAlarmStop),
    at(dispid::MeterLowAlarmStart),
    at(dispid::MeterLowAlarmStop),
    at(dispid::MeterTickPosition),
    at(dispid::MeterTickLabelsPosition),
    at(dispid::MeterTickLabelsColor),
    at(dispid::MeterTickLabelsSize),
    at(dispid::MeterTickLabelsFontStyle),
    at(dispid::MeterTickLabelsFont),
    at(dispid::MeterLineColor),
    at(dispid::MeterUnitsString),
    at(dispid::MeterUnitsStringEnable),
    at(dispid::MeterLineThickness),
    at(dispid::MeterValueArcThickness),
    at(dispid::MeterScaleCenter),
    at(dispid::MeterMinorTicks),
    at(dispid::MeterScaleMin),
    at(dispid::MeterScaleMax),
    at(dispid::MeterTickLabelsPrecision),
    at(dispid::MeterTickStep),
    at(dispid::MeterTickRelLength),
    at(dispid::EnableInternalTimer),
    at(dispid::SDataSimulationMode),
    at(dispid::TimerFrequency),
    at(dispid::MeterInitialValue),
};

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
    switch (p.dispid) {
    case dispid::WindowBorderStyle:
        return value >= 0 && value <= 3;
    case dispid::MeterBorderStyle:
        return value >= 0 && value <= 4; // 4: the General page's empty fifth entry
    case dispid::MeterType:
        return value >= 0 && value <= 2;
    case dispid::MeterNeedleStyle:
        return value >= 0 && value <= 5;
    case dispid::MeterTickPosition:
        return value == 0 || value == 3 || value == 4;
    case dispid::MeterTickLabelsPosition:
        return value == 0 || value == 4;
    default:
        return true;
    }
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
