// Process variables, meters and alarms of the lum drawing library.
//
// Angles are degrees counter-clockwise from 3 o'clock: 0 points right, 90 up, 180 left,
// 270 (or -90) down. A meter's scale covers the arc between its start and stop angles; the
// scale minimum sits at the larger angle and values increase clockwise to the smaller one.
// So start 0 / stop 180 is the classic half-circle gauge from left to right over the top,
// 135 / 45 the top quarter from upper left to upper right, and -45 / 225 a 270-degree dial
// open at the bottom. The arc is limited to one full turn.
// Centre, diameter and thicknesses are fractions: centre of the plot area, diameter of the
// plot area's smaller side, thicknesses and tick length of the meter's radius.
#pragma once

#include "lum/LumTypes.h"

#include <QString>

#include <span>

namespace lum {

/// Creates a process variable with `channels` channels (clamped to 1..5), all 0.0 and in
/// the OK state, and its units text. `reserved1` and `reserved2` are 0.
ProcessVarHandle LrCreateProcessVar(const QString& name, int channels, const QString& units,
                                    int reserved1, int reserved2);
/// Frees the process variable; meters bound to it keep their last values and stop moving.
Result LrDestroyProcessVar(ProcessVarHandle pv);

/// Defines alarm level `alarmCode` (kAlarmHigh, kAlarmLow; kAlarmOk only names the normal
/// state) with its limit and text. A channel is in high alarm when its value >= the high
/// limit, else in low alarm when its value <= the low limit, else OK (an undefined level
/// never triggers; NaN is OK). Levels apply from the next update.
Result LrSetAlarm(ProcessVarHandle pv, int alarmCode, double limit, const QString& text);
/// Registers the alarm callback (replacing any earlier one; an empty function removes it).
Result LrSetAlarmCallback(AlarmCallback callback);

/// Takes new channel values (at most the channel count; extra values are ignored, missing
/// ones keep their value), recomputes each channel's alarm state and, for each channel in
/// order whose state changed, calls the alarm callback: (pv, channel, new code, value, true)
/// when entering high or low alarm, (pv, channel, 0, value, false) when returning to OK.
/// Then repaints the needles and readouts of every meter bound to `pv`; `plot` may be the
/// null handle (the meters move all the same) or a plot to repaint as well.
Result LrUpdateProcessVar(ProcessVarHandle pv, std::span<const double> values, PlotHandle plot);
/// Current value of a channel (0.0 for an invalid handle or channel).
double LrGetProcessVarValue(ProcessVarHandle pv, int channel);
/// Current alarm code of a channel (kAlarmOk for an invalid handle or channel).
int LrGetProcessVarAlarm(ProcessVarHandle pv, int channel);

/// Creates a needle meter on `plot` showing channel `channel` of `pv` (kAllChannels: one
/// needle per channel, each in its channel colour). `channelColors` holds up to five colours
/// (missing ones: palette 1, 2, 4, 14, 3); `alarmColors` normal, high, low. Ticks: a major
/// tick every `tickStep` from the scale minimum, `minorTicks` minor ticks between, each
/// `tickRelLength` of the radius long at `tickPosition` (0 inside, 4 outside, 3 middle) in the
/// plot's line attributes; labels at `tickLabelsPosition` (0 inside, 4 outside) with
/// `tickLabelsPrecision` decimals in the current font. The readout (`dynTextEnable`) shows
/// each needle's value with `dynTextPrecision` decimals and the units when `unitsFlag`, in
/// the colour of the channel's alarm state. Returns the null handle on failure.
MeterHandle LrCreateNeedleMeter(PlotHandle plot, ProcessVarHandle pv, int channel, double scaleMin,
                                double scaleMax, double centerX, double centerY, double diameter,
                                int startArc, int stopArc, int needleStyle,
                                std::span<const Colorref> channelColors, double tickRelLength,
                                double tickStep, int minorTicks, int tickPosition,
                                int tickLabelsPosition, int tickLabelsPrecision, bool dynTextEnable,
                                int dynTextPrecision, bool arcEnable, bool unitsFlag,
                                bool alarmArcsEnable, double alarmArcThickness,
                                std::span<const Colorref> alarmColors);

/// Creates an arc meter: a band `valueArcThickness` of the radius thick runs from
/// `scaleCenter` (clamped into the scale) to the channel's value, in `color0` when the
/// value is at or above the scale centre, in `color1` below it. Tick labels sit outside.
MeterHandle LrCreateArcMeter(PlotHandle plot, ProcessVarHandle pv, int channel, double scaleMin,
                             double scaleMax, double scaleCenter, double centerX, double centerY,
                             double diameter, int startArc, int stopArc, Colorref color0,
                             Colorref color1, double valueArcThickness, double tickRelLength,
                             double tickStep, int minorTicks, int tickPosition,
                             int tickLabelsPrecision, bool dynTextEnable, int dynTextPrecision,
                             bool arcEnable, bool unitsFlag, bool alarmArcsEnable,
                             double alarmArcThickness, std::span<const Colorref> alarmColors);

/// Creates a pie meter: a filled sector from `scaleCenter` to the channel's value, in
/// `color0` at or above the scale centre, `color1` below it. Tick labels sit outside.
MeterHandle LrCreatePieMeter(PlotHandle plot, ProcessVarHandle pv, int channel, double scaleMin,
                             double scaleMax, double scaleCenter, double centerX, double centerY,
                             double diameter, int startArc, int stopArc, Colorref color0,
                             Colorref color1, double tickRelLength, double tickStep, int minorTicks,
                             int tickPosition, int tickLabelsPrecision, bool arcEnable,
                             bool alarmArcsEnable, double alarmArcThickness,
                             std::span<const Colorref> alarmColors);

/// Sets the outer ends of the alarm arcs: the low arc runs from `lowStart` to the low alarm
/// limit, the high arc from the high alarm limit to `highStop` (both limits are read from the
/// process variable when the face is drawn). Without this call they end at the scale ends.
Result LrSetAlarmArcRange(PlotHandle plot, MeterHandle meter, double lowStart, double highStop);

/// Draws a border shape behind the meter: centred at x, y (fractions of the plot), `width`
/// by `height` fractions of the plot, filled with `fillColor`, outlined in `borderColor`
/// `thickness` pixels wide. `style`: 1 rectangle, 2 circle (inscribed in width x height),
/// 3 rounded rectangle.
Result LrAddMeterBorder(PlotHandle plot, MeterHandle meter, double x, double y, double width,
                        double height, Colorref fillColor, int style, Colorref borderColor,
                        int thickness);

/// Releases everything built on the plot (meters, texts, border shapes) and the plot area
/// itself: its widget goes and the plot handle (and its DC) become stale. A rebuild then
/// creates a fresh plot area on the page.
Result LrReleasePlotObjects(PlotHandle plot);
/// True while the meter is alive.
bool LrIsValidMeter(MeterHandle meter);

} // namespace lum
