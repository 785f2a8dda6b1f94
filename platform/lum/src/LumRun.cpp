// Process variables, meters and alarms.
#include "lum/LumRun.h"

#include "ArcMeter.h"
#include "Library.h"
#include "NeedleMeter.h"
#include "PieMeter.h"
#include "PlotWidget.h"
#include "WidgetDisposal.h"
#include "lum/LumBase.h"

#include <algorithm>
#include <cmath>

namespace lum {

namespace {

Library& lib() {
    return Library::instance();
}

double finiteOr(double v, double fallback) {
    return std::isfinite(v) ? v : fallback;
}

// A position as a fraction of the plot: finite and within a few plot sizes, so that painting
// never meets coordinates the rasteriser cannot hold.
double position(double v, double fallback) {
    return std::clamp(finiteOr(v, fallback), -kMaxPositionFraction, kMaxPositionFraction);
}

// The colour at `index` of a caller's list, or `fallback` when the list is too short.
Colorref colorAt(std::span<const Colorref> colors, std::size_t index, Colorref fallback) {
    return index < colors.size() ? colors[index] : fallback;
}

std::array<Colorref, 3> alarmColorsFrom(std::span<const Colorref> colors) {
    return {colorAt(colors, 0, 0x008000), colorAt(colors, 1, 0x000080),
            colorAt(colors, 2, 0x800000)};
}

// The arguments every meter type shares.
struct ScaleArgs {
    double scaleMin, scaleMax, centerX, centerY, diameter;
    int startArc, stopArc;
    double tickRelLength, tickStep;
    int minorTicks, tickPosition, labelPrecision;
    bool arcEnable, alarmArcsEnable;
    double alarmArcThickness;
    std::span<const Colorref> alarmColors;
};

MeterStyle styleFrom(const ScaleArgs& a, const PlotWidget& plot) {
    MeterStyle s;
    s.scale = ScaleMap(a.scaleMin, a.scaleMax, a.startArc, a.stopArc);
    s.centerX = position(a.centerX, 0.5);
    s.centerY = position(a.centerY, 0.5);
    s.diameter = std::clamp(finiteOr(a.diameter, 0.5), 0.0, 4.0);
    s.tickRelLength = std::clamp(finiteOr(a.tickRelLength, 0.1), 0.0, 1.0);
    s.tickStep = a.tickStep;
    s.minorTicks = a.minorTicks;
    s.tickPosition = a.tickPosition == kTicksOutside || a.tickPosition == kTicksMiddle
                         ? a.tickPosition
                         : kTicksInside;
    s.labelPrecision = a.labelPrecision;
    s.arcEnable = a.arcEnable;
    s.alarmArcsEnable = a.alarmArcsEnable;
    s.alarmArcThickness = std::clamp(finiteOr(a.alarmArcThickness, 0.1), 0.0, 1.0);
    s.alarmColors = alarmColorsFrom(a.alarmColors);
    s.font = lib().font;
    s.line = plot.line();
    s.lowStart = a.scaleMin;
    s.highStop = a.scaleMax;
    return s;
}

struct MeterTarget {
    PlotWidget* plot = nullptr;
    ProcessVar* pv = nullptr;
};

// Checks the plot, the process variable, the channel and the scale of a new meter.
MeterTarget checkMeterTarget(PlotHandle plot, ProcessVarHandle pv, int channel, bool allowAll,
                             double scaleMin, double scaleMax) {
    MeterTarget t{lib().plots.get(plot), lib().processVars.get(pv)};
    if (!t.plot || !t.pv) {
        lib().setResult(kErrInvalidHandle);
        return {};
    }
    const bool channelOk = (allowAll && channel == kAllChannels) ||
                           (channel >= 0 && channel < t.pv->states.channelCount());
    if (!channelOk || !std::isfinite(scaleMin) || !std::isfinite(scaleMax)) {
        lib().setResult(kErrInvalidArg);
        return {};
    }
    return t;
}

MeterHandle addMeter(const MeterTarget& t, std::unique_ptr<Meter> meter) {
    meter->takeValues(*t.pv);
    const MeterHandle handle = t.plot->addMeter(std::move(meter));
    lib().setResult(handle.isNull() ? kErrFail : kOk);
    return handle;
}

// The meter if it lives on `plot`.
Meter* meterOn(PlotHandle plot, MeterHandle meter, PlotWidget** plotWidget) {
    PlotWidget* widget = lib().plots.get(plot);
    Meter* m = widget ? widget->meter(meter) : nullptr;
    if (plotWidget)
        *plotWidget = widget;
    return m;
}

} // namespace

ProcessVarHandle LrCreateProcessVar(const QString& name, int channels, const QString& units, int,
                                    int) {
    const ProcessVarHandle handle =
        lib().processVars.insert(std::make_unique<ProcessVar>(name, channels, units));
    lib().setResult(handle.isNull() ? kErrFail : kOk);
    return handle;
}

Result LrDestroyProcessVar(ProcessVarHandle pv) {
    if (!lib().processVars.remove(pv))
        return lib().setResult(kErrInvalidHandle);
    return lib().setResult(kOk);
}

Result LrSetAlarm(ProcessVarHandle pv, int alarmCode, double limit, const QString& text) {
    ProcessVar* object = lib().processVars.get(pv);
    if (!object)
        return lib().setResult(kErrInvalidHandle);
    if (std::isnan(limit) || !object->states.levels().set(alarmCode, limit, text))
        return lib().setResult(kErrInvalidArg);
    return lib().setResult(kOk);
}

Result LrSetAlarmCallback(AlarmCallback callback) {
    lib().alarmCallback = std::move(callback);
    return lib().setResult(kOk);
}

Result LrUpdateProcessVar(ProcessVarHandle pv, std::span<const double> values, PlotHandle plot) {
    ProcessVar* object = lib().processVars.get(pv);
    PlotWidget* plotWidget = lib().plots.get(plot);
    if (!object || (!plot.isNull() && !plotWidget))
        return lib().setResult(kErrInvalidHandle);
    const QList<AlarmChange> changes = object->states.update(values);
    lib().plots.forEach([&](PlotHandle, PlotWidget* w) { w->processVarUpdated(pv, *object); });
    if (plotWidget)
        plotWidget->update();
    // A copy: the callback may register another one or destroy what it is told about.
    const AlarmCallback callback = lib().alarmCallback;
    if (callback) {
        for (const AlarmChange& c : changes)
            callback(pv, c.channel, c.code, c.value, c.alarm);
    }
    return lib().setResult(kOk);
}

double LrGetProcessVarValue(ProcessVarHandle pv, int channel) {
    const ProcessVar* object = lib().processVars.get(pv);
    return object ? object->states.value(channel) : 0.0;
}

int LrGetProcessVarAlarm(ProcessVarHandle pv, int channel) {
    const ProcessVar* object = lib().processVars.get(pv);
    return object ? object->states.state(channel) : kAlarmOk;
}

MeterHandle LrCreateNeedleMeter(PlotHandle plot, ProcessVarHandle pv, int channel, double scaleMin,
                                double scaleMax, double centerX, double centerY, double diameter,
                                int startArc, int stopArc, int needleStyle,
                                std::span<const Colorref> channelColors, double tickRelLength,
                                double tickStep, int minorTicks, int tickPosition,
                                int tickLabelsPosition, int tickLabelsPrecision, bool dynTextEnable,
                                int dynTextPrecision, bool arcEnable, bool unitsFlag,
                                bool alarmArcsEnable, double alarmArcThickness,
                                std::span<const Colorref> alarmColors) {
    const MeterTarget t = checkMeterTarget(plot, pv, channel, true, scaleMin, scaleMax);
    if (!t.plot)
        return {};
    MeterStyle s =
        styleFrom({scaleMin, scaleMax, centerX, centerY, diameter, startArc, stopArc, tickRelLength,
                   tickStep, minorTicks, tickPosition, tickLabelsPrecision, arcEnable,
                   alarmArcsEnable, alarmArcThickness, alarmColors},
                  *t.plot);
    s.labelPosition = tickLabelsPosition == kTicksOutside ? kTicksOutside : kTicksInside;
    s.dynText = dynTextEnable;
    s.dynPrecision = dynTextPrecision;
    s.unitsFlag = unitsFlag;
    static constexpr int kDefaultColorIndex[kMaxChannels] = {1, 2, 4, 14, 3};
    std::array<Colorref, kMaxChannels> colors{};
    for (std::size_t i = 0; i < colors.size(); ++i)
        colors[i] = colorAt(channelColors, i, LbPaletteColor(kDefaultColorIndex[i]));
    QList<int> shown;
    if (channel == kAllChannels) {
        for (int ch = 0; ch < t.pv->states.channelCount(); ++ch)
            shown.append(ch);
    } else {
        shown.append(channel);
    }
    return addMeter(t, std::make_unique<NeedleMeter>(s, pv, shown, needleStyle, colors));
}

MeterHandle LrCreateArcMeter(PlotHandle plot, ProcessVarHandle pv, int channel, double scaleMin,
                             double scaleMax, double scaleCenter, double centerX, double centerY,
                             double diameter, int startArc, int stopArc, Colorref color0,
                             Colorref color1, double valueArcThickness, double tickRelLength,
                             double tickStep, int minorTicks, int tickPosition,
                             int tickLabelsPrecision, bool dynTextEnable, int dynTextPrecision,
                             bool arcEnable, bool unitsFlag, bool alarmArcsEnable,
                             double alarmArcThickness, std::span<const Colorref> alarmColors) {
    const MeterTarget t = checkMeterTarget(plot, pv, channel, false, scaleMin, scaleMax);
    if (!t.plot)
        return {};
    MeterStyle s =
        styleFrom({scaleMin, scaleMax, centerX, centerY, diameter, startArc, stopArc, tickRelLength,
                   tickStep, minorTicks, tickPosition, tickLabelsPrecision, arcEnable,
                   alarmArcsEnable, alarmArcThickness, alarmColors},
                  *t.plot);
    s.dynText = dynTextEnable;
    s.dynPrecision = dynTextPrecision;
    s.unitsFlag = unitsFlag;
    return addMeter(t,
                    std::make_unique<ArcMeter>(s, pv, channel, finiteOr(scaleCenter, scaleMin),
                                               color0, color1, finiteOr(valueArcThickness, 0.1)));
}

MeterHandle LrCreatePieMeter(PlotHandle plot, ProcessVarHandle pv, int channel, double scaleMin,
                             double scaleMax, double scaleCenter, double centerX, double centerY,
                             double diameter, int startArc, int stopArc, Colorref color0,
                             Colorref color1, double tickRelLength, double tickStep, int minorTicks,
                             int tickPosition, int tickLabelsPrecision, bool arcEnable,
                             bool alarmArcsEnable, double alarmArcThickness,
                             std::span<const Colorref> alarmColors) {
    const MeterTarget t = checkMeterTarget(plot, pv, channel, false, scaleMin, scaleMax);
    if (!t.plot)
        return {};
    MeterStyle s =
        styleFrom({scaleMin, scaleMax, centerX, centerY, diameter, startArc, stopArc, tickRelLength,
                   tickStep, minorTicks, tickPosition, tickLabelsPrecision, arcEnable,
                   alarmArcsEnable, alarmArcThickness, alarmColors},
                  *t.plot);
    s.dynText = false;
    return addMeter(t, std::make_unique<PieMeter>(s, pv, channel, finiteOr(scaleCenter, scaleMin),
                                                  color0, color1));
}

Result LrSetAlarmArcRange(PlotHandle plot, MeterHandle meter, double lowStart, double highStop) {
    PlotWidget* widget = nullptr;
    Meter* m = meterOn(plot, meter, &widget);
    if (!m)
        return lib().setResult(kErrInvalidHandle);
    m->style().lowStart = finiteOr(lowStart, m->style().scale.min());
    m->style().highStop = finiteOr(highStop, m->style().scale.max());
    widget->invalidateFace();
    return lib().setResult(kOk);
}

Result LrAddMeterBorder(PlotHandle plot, MeterHandle meter, double x, double y, double width,
                        double height, Colorref fillColor, int style, Colorref borderColor,
                        int thickness) {
    PlotWidget* widget = nullptr;
    Meter* m = meterOn(plot, meter, &widget);
    if (!m)
        return lib().setResult(kErrInvalidHandle);
    if (style < kBorderRectangle || style > kBorderRoundedRectangle)
        return lib().setResult(kErrInvalidArg);
    m->setBorder({position(x, 0.5), position(y, 0.5), std::clamp(finiteOr(width, 0.8), 0.0, 1.0),
                  std::clamp(finiteOr(height, 0.8), 0.0, 1.0), fillColor, style, borderColor,
                  thickness});
    widget->invalidateFace();
    return lib().setResult(kOk);
}

Result LrReleasePlotObjects(PlotHandle plot) {
    PlotWidget* widget = lib().plots.get(plot);
    if (!widget)
        return lib().setResult(kErrInvalidHandle);
    widget->detach();
    destroyWidget(widget);
    return lib().setResult(kOk);
}

bool LrIsValidMeter(MeterHandle meter) {
    return lib().meters.get(meter) != nullptr;
}

} // namespace lum
