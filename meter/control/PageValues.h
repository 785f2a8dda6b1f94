// The value sets the meter's property pages edit, one per page, and the direction of an
// exchange between a page and the meter. Check states are 0 or 1, colours 0x00BBGGRR, and each
// array takes the meter's size (3 titles, 5 channels).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace gaugekit {

// Store: page to meter. Load: meter to page.
enum class ExchangeDirection { Store, Load };

struct GeneralPageValues {
    std::int32_t windowBorderColor = 0;
    std::int32_t windowBackgroundColor = 0;
    std::int32_t plotBackgroundColor = 0;
    std::int32_t windowBorderStyle = 0;
    std::int32_t windowBorderThickness = 0;
    std::int32_t windowResizeMode = 0;
    std::int32_t meterBorderColor = 0;
    std::int32_t meterBorderStyle = 0;
    std::int32_t meterBorderThickness = 0;
    double meterBorderWidth = 0;
    double meterBorderHeight = 0;
    QStringList titleString;
    QStringList titleFont;
    QList<std::int32_t> titleColor;
    QList<std::int32_t> titleFontStyle;
    QList<std::int32_t> titleFontSize;
};

struct LookPageValues {
    std::int32_t meterType = 0;
    std::int32_t meterNeedleStyle = 0;
    std::int32_t meterDynTextEnable = 0;
    std::int32_t meterArcEnable = 0;
    double meterCenterX = 0;
    double meterCenterY = 0;
    double meterDiameter = 0;
    std::int32_t meterDynTextPrecision = 0;
    std::int32_t meterNumChannels = 0;
    std::int32_t meterStartArc = 0;
    std::int32_t meterStopArc = 0;
    QList<std::int32_t> channelColor;
    QStringList channelTagName;
};

struct ScalePageValues {
    std::int32_t meterTickPosition = 0;
    std::int32_t meterTickLabelsPosition = 0;
    std::int32_t meterTickLabelsColor = 0;
    std::int32_t meterTickLabelsSize = 0;
    std::int32_t meterTickLabelsFontStyle = 0;
    QString meterTickLabelsFont;
    std::int32_t meterLineColor = 0;
    QString meterUnitsString;
    std::int32_t meterLineThickness = 0;
    std::int32_t meterMinorTicks = 0;
    double meterScaleMax = 0;
    double meterScaleMin = 0;
    double meterInitialValue = 0;
    std::int32_t meterTickLabelsPrecision = 0;
    double meterTickStep = 0;
    double meterTickRelLength = 0;
    double meterValueArcThickness = 0;
};

struct AlarmPageValues {
    std::int32_t meterLowAlarmColor = 0;
    std::int32_t meterHighAlarmColor = 0;
    std::int32_t meterNormalAlarmColor = 0;
    std::int32_t meterAlarmArcsEnable = 0;
    double meterAlarmArcThickness = 0;
    double meterHighAlarmStart = 0;
    double meterHighAlarmStop = 0;
    double meterLowAlarmStart = 0;
    double meterLowAlarmStop = 0;
};

struct TimerPageValues {
    static constexpr double kMinimumFrequency = 0.01;
    static constexpr double kMaximumFrequency = 20.0;

    double timerFrequency = 0;
    std::int32_t enableInternalTimer = 0;
    std::int32_t sDataSimulationMode = 0;
};

// The five pages a meter remembers, in the order the frame shows them.
enum class PageKind { General, Look, Scale, Alarm, Timer };

// A page the meter remembers as the last of its kind to exchange with it, so that it can
// bring the page up to date after the meter has loaded a settings file.
class RememberedPage {
public:
    // Whether the page's dialog exists (only such pages are refreshed).
    virtual bool dialogOpen() const = 0;
    // A load exchange with the meter, after which the fields show the new values.
    virtual void refreshFromMeter() = 0;

protected:
    ~RememberedPage() = default;
};

} // namespace gaugekit
