// The meter's scalar properties in dispatch order, one entry each. This list is the one place
// that says what a property is; made from it are the dispatch identifiers (GaugeKitIds.h), the
// members of MeterSettings, the entries of PropertyTable (and through them persistence,
// dispatch, reset and the page exchanges) and the accessors of GaugeKit::MeterWidget.
//
// P(Name, DISPID, Kind, member, default,
//   QtType, getter, setter, traits...)
//
//   Name      the property's name on the dispatch interface, and its bag key unless .bagKey
//   DISPID    its dispatch identifier; fixed for good, as every value of GaugeKitIds.h
//   Kind      Long, Choice (a long with a set of values), Bool, Double or String
//   member    its member of MeterSettings
//   default   the value a new or reset meter holds
//   QtType getter setter  the widget's Q_PROPERTY type and accessors (the type is the
//             widget's enumeration for a Choice, QColor for a colour)
//   traits    designated initialisers of PropertyTraits (PropertyTable.h): .stored (position
//             in the stored forms, from 1), .page, .range, .choices, .change, .bagKey,
//             .designable
//
// A new property takes a line pair here, its Q_PROPERTY line and accessor declarations in the
// widget's header, and a binding in the page that shows it.
#pragma once

// clang-format off
#define GAUGEKIT_METER_PROPERTIES(P)                                                              \
    P(WindowBackgroundColor, 1, Long, windowBackgroundColor, 0xC0C0C0,                            \
      QColor, windowBackgroundColor, setWindowBackgroundColor, .stored = 3, .page = General)      \
    P(WindowBorderColor, 2, Long, windowBorderColor, 0,                                           \
      QColor, windowBorderColor, setWindowBorderColor, .stored = 2, .page = General)              \
    P(PlotBackgroundColor, 3, Long, plotBackgroundColor, 0xFFFFFF,                                \
      QColor, plotBackgroundColor, setPlotBackgroundColor, .stored = 1, .page = General)          \
    P(WindowBorderStyle, 4, Choice, windowBorderStyle, 0,                                         \
      WindowBorderStyle, windowBorderStyle, setWindowBorderStyle,                                 \
      .stored = 4, .page = General, .choices = 0b1111)                                            \
    P(WindowResizeMode, 5, Long, windowResizeMode, 10,                                            \
      int, windowResizeMode, setWindowResizeMode, .page = General, .change = PageSite)            \
    P(WindowBorderThickness, 6, Long, windowBorderThickness, 1,                                   \
      int, windowBorderThickness, setWindowBorderThickness,                                       \
      .stored = 5, .page = General, .range = Range{0, 10})                                        \
    P(MeterType, 7, Choice, meterType, 0,                                                         \
      MeterType, type, setType, .stored = 11, .page = Look, .choices = 0b111)                     \
    P(MeterNeedleStyle, 8, Choice, meterNeedleStyle, 5,                                           \
      NeedleStyle, needleStyle, setNeedleStyle, .stored = 12, .page = Look, .choices = 0b111111)  \
    P(MeterDynTextEnable, 9, Bool, meterDynTextEnable, true,                                      \
      bool, dynTextEnable, setDynTextEnable, .stored = 13, .page = Look)                          \
    P(MeterArcEnable, 10, Bool, meterArcEnable, true,                                             \
      bool, arcEnable, setArcEnable, .stored = 14, .page = Look)                                  \
    P(MeterCenterX, 11, Double, meterCenterX, 0.5,                                                \
      double, centerX, setCenterX, .stored = 15, .page = Look)                                    \
    P(MeterCenterY, 12, Double, meterCenterY, 0.5,                                                \
      double, centerY, setCenterY, .stored = 16, .page = Look)                                    \
    P(MeterDynTextPrecision, 13, Long, meterDynTextPrecision, 1,                                  \
      int, dynTextPrecision, setDynTextPrecision, .stored = 17, .page = Look)                     \
    P(MeterDiameter, 14, Double, meterDiameter, 0.5,                                              \
      double, diameter, setDiameter, .stored = 18, .page = Look)                                  \
    P(MeterNumChannels, 15, Long, meterNumChannels, 1,                                            \
      int, numChannels, setNumChannels, .stored = 19, .page = Look)                               \
    P(MeterStartArc, 16, Long, meterStartArc, 0,                                                  \
      int, startArc, setStartArc, .stored = 20, .page = Look)                                     \
    P(MeterStopArc, 17, Long, meterStopArc, 180,                                                  \
      int, stopArc, setStopArc, .stored = 21, .page = Look)                                       \
    P(MeterLowAlarmColor, 18, Long, meterLowAlarmColor, 0x800000,                                 \
      QColor, lowAlarmColor, setLowAlarmColor, .stored = 22, .page = Alarm)                       \
    P(MeterHighAlarmColor, 19, Long, meterHighAlarmColor, 0x000080,                               \
      QColor, highAlarmColor, setHighAlarmColor, .stored = 23, .page = Alarm)                     \
    P(MeterAlarmArcsEnable, 20, Bool, meterAlarmArcsEnable, true,                                 \
      bool, alarmArcsEnable, setAlarmArcsEnable, .stored = 25, .page = Alarm)                     \
    P(MeterAlarmArcThickness, 21, Double, meterAlarmArcThickness, 0.1,                            \
      double, alarmArcThickness, setAlarmArcThickness, .stored = 26, .page = Alarm)               \
    P(MeterHighAlarmStart, 22, Double, meterHighAlarmStart, 9.0,                                  \
      double, highAlarmStart, setHighAlarmStart, .stored = 27, .page = Alarm)                     \
    P(MeterHighAlarmStop, 23, Double, meterHighAlarmStop, 10.0,                                   \
      double, highAlarmStop, setHighAlarmStop, .stored = 28, .page = Alarm)                       \
    P(MeterLowAlarmStart, 24, Double, meterLowAlarmStart, 0.0,                                    \
      double, lowAlarmStart, setLowAlarmStart, .stored = 29, .page = Alarm)                       \
    P(MeterLowAlarmStop, 25, Double, meterLowAlarmStop, 1.0,                                      \
      double, lowAlarmStop, setLowAlarmStop, .stored = 30, .page = Alarm)                         \
    P(MeterTickPosition, 26, Choice, meterTickPosition, 0,                                        \
      TickPosition, tickPosition, setTickPosition,                                                \
      .stored = 31, .page = Scale, .choices = 0b11001)                                            \
    P(MeterTickLabelsPosition, 27, Choice, meterTickLabelsPosition, 0,                            \
      TickLabelsPosition, tickLabelsPosition, setTickLabelsPosition,                              \
      .stored = 32, .page = Scale, .choices = 0b10001)                                            \
    P(MeterTickLabelsColor, 28, Long, meterTickLabelsColor, 0,                                    \
      QColor, tickLabelsColor, setTickLabelsColor, .stored = 33, .page = Scale)                   \
    P(MeterTickLabelsSize, 29, Long, meterTickLabelsSize, 8,                                      \
      int, tickLabelsSize, setTickLabelsSize, .stored = 34, .page = Scale)                        \
    P(MeterTickLabelsFontStyle, 30, Long, meterTickLabelsFontStyle, 0,                            \
      int, tickLabelsFontStyle, setTickLabelsFontStyle, .stored = 35, .page = Scale)              \
    P(MeterTickLabelsFont, 31, String, meterTickLabelsFont, QStringLiteral("Arial"),              \
      QString, tickLabelsFont, setTickLabelsFont, .stored = 36, .page = Scale)                    \
    P(MeterLineColor, 32, Long, meterLineColor, 0,                                                \
      QColor, lineColor, setLineColor, .stored = 37, .page = Scale)                               \
    P(MeterUnitsString, 33, String, meterUnitsString, QString(),                                  \
      QString, unitsString, setUnitsString, .stored = 38, .page = Scale)                          \
    P(MeterUnitsStringEnable, 34, Bool, meterUnitsStringEnable, false,                            \
      bool, unitsStringEnable, setUnitsStringEnable, .stored = 39)                                \
    P(MeterLineThickness, 35, Long, meterLineThickness, 1,                                        \
      int, lineThickness, setLineThickness, .stored = 40, .page = Scale)                          \
    P(MeterMinorTicks, 36, Long, meterMinorTicks, 3,                                              \
      int, minorTicks, setMinorTicks, .stored = 43, .page = Scale)                                \
    P(MeterScaleMin, 37, Double, meterScaleMin, 0.0,                                              \
      double, scaleMin, setScaleMin, .stored = 44, .page = Scale)                                 \
    P(MeterScaleMax, 38, Double, meterScaleMax, 10.0,                                             \
      double, scaleMax, setScaleMax, .stored = 45, .page = Scale)                                 \
    P(MeterTickLabelsPrecision, 39, Long, meterTickLabelsPrecision, 0,                            \
      int, tickLabelsPrecision, setTickLabelsPrecision, .stored = 46, .page = Scale)              \
    P(MeterTickRelLength, 40, Double, meterTickRelLength, 0.1,                                    \
      double, tickRelLength, setTickRelLength,                                                    \
      .stored = 48, .page = Scale, .bagKey = "MeteTickRelLength")                                 \
    P(MeterTickStep, 41, Double, meterTickStep, 2.0,                                              \
      double, tickStep, setTickStep, .stored = 47, .page = Scale)                                 \
    P(MeterNormalAlarmColor, 42, Long, meterNormalAlarmColor, 0x008000,                           \
      QColor, normalAlarmColor, setNormalAlarmColor, .stored = 24, .page = Alarm)                 \
    P(MeterValueArcThickness, 43, Double, meterValueArcThickness, 0.1,                            \
      double, valueArcThickness, setValueArcThickness, .stored = 41, .page = Scale)               \
    P(MeterScaleCenter, 44, Double, meterScaleCenter, 0.0,                                        \
      double, scaleCenter, setScaleCenter, .stored = 42)                                          \
    P(MeterBorderColor, 45, Long, meterBorderColor, 0,                                            \
      QColor, borderColor, setBorderColor, .stored = 6, .page = General)                          \
    P(MeterBorderThickness, 46, Long, meterBorderThickness, 1,                                    \
      int, borderThickness, setBorderThickness,                                                   \
      .stored = 7, .page = General, .range = Range{0, 10})                                        \
    P(MeterBorderStyle, 47, Choice, meterBorderStyle, 0,                                          \
      BorderStyle, borderStyle, setBorderStyle, .stored = 8, .page = General, .choices = 0b11111) \
    P(MeterInitialValue, 48, Double, meterInitialValue, 1.0,                                      \
      double, initialValue, setInitialValue, .stored = 52, .page = Scale)                         \
    P(EnableInternalTimer, 49, Bool, enableInternalTimer, false,                                  \
      bool, enableInternalTimer, setEnableInternalTimer,                                          \
      .stored = 49, .page = Timer, .change = StoreOnly)                                           \
    P(TimerFrequency, 50, Double, timerFrequency, 1.0,                                            \
      double, timerFrequency, setTimerFrequency,                                                  \
      .stored = 51, .page = Timer, .range = Range{0.01, 20}, .change = StoreOnly)                 \
    P(MeterBorderHeight, 51, Double, meterBorderHeight, 0.8,                                      \
      double, borderHeight, setBorderHeight,                                                      \
      .stored = 10, .page = General, .range = Range{0.1, 1})                                      \
    P(MeterBorderWidth, 52, Double, meterBorderWidth, 0.8,                                        \
      double, borderWidth, setBorderWidth, .stored = 9, .page = General, .range = Range{0.1, 1})  \
    P(SDataSimulationMode, 53, Bool, sDataSimulationMode, false,                                  \
      bool, sDataSimulationMode, setSDataSimulationMode,                                          \
      .stored = 50, .page = Timer, .change = MarkModified)
// clang-format on
