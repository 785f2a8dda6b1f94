#include "MeterModel.h"

#include "GaugeKitModule.h"
#include "MeterPageSite.h"

#include <lum/LumBase.h>
#include <lum/LumRun.h>

namespace gaugekit {

namespace {

lum::Colorref ref(std::int32_t color) {
    return static_cast<lum::Colorref>(color);
}

std::array<std::int32_t, MeterArrays::kChannels> paletteChannelColors() {
    constexpr std::array<int, MeterArrays::kChannels> indices = {1, 2, 4, 14, 3};
    std::array<std::int32_t, MeterArrays::kChannels> colors{};
    for (std::size_t i = 0; i < colors.size(); ++i)
        colors[i] = static_cast<std::int32_t>(lum::LbPaletteColor(indices[i]));
    return colors;
}

// Title positions: just inside the top and bottom edges of the plot, clear of its frame.
constexpr double kTitleMargin = 0.01;
constexpr double kTitleShiftPerFramePixel = 0.005;
constexpr int kPositionTopCentre = 6;
constexpr int kPositionBottomCentre = 14;

} // namespace

MeterModel::MeterModel(MeterPageSite* site)
    : arrays(paletteChannelColors())
    , m_site(site) {}

MeterModel::~MeterModel() {
    destroyProcessVar();
}

void MeterModel::recreateProcessVar() {
    destroyProcessVar();
    m_processVar = lum::LrCreateProcessVar(QStringLiteral("METER"), settings.usableChannels(),
                                           settings.meterUnitsString, 0, 0);
}

void MeterModel::destroyProcessVar() {
    if (m_processVar)
        lum::LrDestroyProcessVar(m_processVar);
    m_processVar = {};
}

std::span<const double> MeterModel::usedValues() const {
    return std::span<const double>(values).first(
        static_cast<std::size_t>(settings.usableChannels()));
}

void MeterModel::setAllValues(double value) {
    for (int ch = 0; ch < settings.usableChannels(); ++ch)
        values[static_cast<std::size_t>(ch)] = value;
}

void MeterModel::buildMeter(lum::PlotHandle plot, lum::DcHandle dc) {
    m_plot = plot;
    m_dc = dc;
    const MeterSettings& s = settings;
    if (s.windowBorderStyle >= lum::kBevelFlat && s.windowBorderStyle <= lum::kBevelDeep)
        lum::LbSetPlotBevel(plot, s.windowBorderStyle);
    lum::LbSetFont(ref(s.meterTickLabelsColor), s.meterTickLabelsFont, s.meterTickLabelsSize,
                   s.meterTickLabelsFontStyle);
    lum::LbSetLineAttributes(plot, dc, 0, s.meterLineThickness, ref(s.meterLineColor));

    lum::LrSetAlarm(m_processVar, lum::kAlarmHigh, s.meterHighAlarmStart,
                    QStringLiteral("High Alarm"));
    lum::LrSetAlarm(m_processVar, lum::kAlarmLow, s.meterLowAlarmStop, QStringLiteral("Low Alarm"));
    lum::LrSetAlarm(m_processVar, lum::kAlarmOk, 0.0, QStringLiteral("OK"));

    // The units are shown exactly when there is a units text.
    settings.meterUnitsStringEnable = !s.meterUnitsString.isEmpty();
    const std::array<lum::Colorref, 3> alarmColors = {
        ref(s.meterNormalAlarmColor), ref(s.meterHighAlarmColor), ref(s.meterLowAlarmColor)};

    if (const lum::MeterHandle meter = createMeter(alarmColors, s.meterUnitsStringEnable)) {
        lum::LrSetAlarmArcRange(plot, meter, s.meterLowAlarmStart, s.meterHighAlarmStop);
        if (s.meterBorderStyle != 0)
            addBorder(meter);
    }
    const double shift = kTitleShiftPerFramePixel * s.windowBorderThickness;
    addTitle(0, kTitleMargin + shift, kPositionTopCentre);
    addTitle(2, 1.0 - kTitleMargin - shift, kPositionBottomCentre);
    GaugeKitModule::instance().registerAlarmCallback();
}

lum::MeterHandle MeterModel::createMeter(const std::array<lum::Colorref, 3>& alarmColors,
                                         bool unitsFlag) const {
    const MeterSettings& s = settings;
    std::array<lum::Colorref, MeterArrays::kChannels> channelColors{};
    for (std::size_t i = 0; i < channelColors.size(); ++i)
        channelColors[i] = ref(arrays.channelColor.value(qsizetype(i)));
    switch (s.meterType) {
    case 0:
        return lum::LrCreateNeedleMeter(
            m_plot, m_processVar, lum::kAllChannels, s.meterScaleMin, s.meterScaleMax,
            s.meterCenterX, s.meterCenterY, s.meterDiameter, s.meterStartArc, s.meterStopArc,
            s.meterNeedleStyle, channelColors, s.meterTickRelLength, s.meterTickStep,
            s.meterMinorTicks, s.meterTickPosition, s.meterTickLabelsPosition,
            s.meterTickLabelsPrecision, s.meterDynTextEnable, s.meterDynTextPrecision,
            s.meterArcEnable, unitsFlag, s.meterAlarmArcsEnable, s.meterAlarmArcThickness,
            alarmColors);
    case 1:
        return lum::LrCreateArcMeter(
            m_plot, m_processVar, 0, s.meterScaleMin, s.meterScaleMax, s.meterScaleCenter,
            s.meterCenterX, s.meterCenterY, s.meterDiameter, s.meterStartArc, s.meterStopArc,
            channelColors[0], channelColors[1], s.meterValueArcThickness, s.meterTickRelLength,
            s.meterTickStep, s.meterMinorTicks, s.meterTickPosition, s.meterTickLabelsPrecision,
            s.meterDynTextEnable, s.meterDynTextPrecision, s.meterArcEnable, unitsFlag,
            s.meterAlarmArcsEnable, s.meterAlarmArcThickness, alarmColors);
    case 2:
        return lum::LrCreatePieMeter(
            m_plot, m_processVar, 0, s.meterScaleMin, s.meterScaleMax, s.meterScaleCenter,
            s.meterCenterX, s.meterCenterY, s.meterDiameter, s.meterStartArc, s.meterStopArc,
            channelColors[0], channelColors[1], s.meterTickRelLength, s.meterTickStep,
            s.meterMinorTicks, s.meterTickPosition, s.meterTickLabelsPrecision, s.meterArcEnable,
            s.meterAlarmArcsEnable, s.meterAlarmArcThickness, alarmColors);
    default:
        return {};
    }
}

void MeterModel::addBorder(lum::MeterHandle meter) const {
    const MeterSettings& s = settings;
    lum::LrAddMeterBorder(m_plot, meter, 0.5, 0.5, s.meterBorderWidth, s.meterBorderHeight,
                          ref(s.plotBackgroundColor), s.meterBorderStyle, ref(s.meterBorderColor),
                          s.meterBorderThickness);
}

void MeterModel::addTitle(int index, double y, int positionCode) const {
    const QString text = arrays.titleString.value(index);
    if (text.isEmpty())
        return;
    lum::LbSetFont(ref(arrays.titleColor.value(index)), arrays.titleFont.value(index),
                   arrays.titleFontSize.value(index), arrays.titleFontStyle.value(index));
    lum::LbAddText(m_plot, m_dc, text, 0.5, y, positionCode, 0);
}

} // namespace gaugekit
