// The scalar settings of a meter: one member per scalar property of the dispatch interface.
//
// The control keeps one instance as its property store and the MeterModel keeps another as the
// mirror the drawing reads. PropertyTable describes every member (name, dispatch identifier,
// default, persistence) so that dispatch, persistence and reset are driven by one table.
#pragma once

#include <QString>
#include <cstdint>

namespace gaugekit {

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

    std::int32_t windowBackgroundColor = 0;
    std::int32_t windowBorderColor = 0;
    std::int32_t plotBackgroundColor = 0;
    std::int32_t windowBorderStyle = 0;
    std::int32_t windowResizeMode = 0;
    std::int32_t windowBorderThickness = 0;
    std::int32_t meterType = 0;
    std::int32_t meterNeedleStyle = 0;
    bool meterDynTextEnable = false;
    bool meterArcEnable = false;
    double meterCenterX = 0;
    double meterCenterY = 0;
    std::int32_t meterDynTextPrecision = 0;
    double meterDiameter = 0;
    std::int32_t meterNumChannels = 0;
    std::int32_t meterStartArc = 0;
    std::int32_t meterStopArc = 0;
    std::int32_t meterLowAlarmColor = 0;
    std::int32_t meterHighAlarmColor = 0;
    bool meterAlarmArcsEnable = false;
    double meterAlarmArcThickness = 0;
    double meterHighAlarmStart = 0;
    double meterHighAlarmStop = 0;
    double meterLowAlarmStart = 0;
    double meterLowAlarmStop = 0;
    std::int32_t meterTickPosition = 0;
    std::int32_t meterTickLabelsPosition = 0;
    std::int32_t meterTickLabelsColor = 0;
    std::int32_t meterTickLabelsSize = 0;
    std::int32_t meterTickLabelsFontStyle = 0;
    QString meterTickLabelsFont;
    std::int32_t meterLineColor = 0;
    QString meterUnitsString;
    bool meterUnitsStringEnable = false;
    std::int32_t meterLineThickness = 0;
    std::int32_t meterMinorTicks = 0;
    double meterScaleMin = 0;
    double meterScaleMax = 0;
    std::int32_t meterTickLabelsPrecision = 0;
    double meterTickRelLength = 0;
    double meterTickStep = 0;
    std::int32_t meterNormalAlarmColor = 0;
    double meterValueArcThickness = 0;
    double meterScaleCenter = 0;
    std::int32_t meterBorderColor = 0;
    std::int32_t meterBorderThickness = 0;
    std::int32_t meterBorderStyle = 0;
    double meterInitialValue = 0;
    bool enableInternalTimer = false;
    double timerFrequency = 0;
    double meterBorderHeight = 0;
    double meterBorderWidth = 0;
    bool sDataSimulationMode = false;

    // The channel count the drawing may use: MeterNumChannels limited to 1..5.
    int usableChannels() const;

    bool operator==(const MeterSettings&) const = default;
};

} // namespace gaugekit
