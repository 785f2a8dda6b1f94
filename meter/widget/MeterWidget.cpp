#include <GaugeKit/MeterWidget.h>

#include "GaugeKitIds.h"
#include "MeterArrays.h"
#include "MeterPictureTypes.h"
#include "MeterWidgetPrivate.h"

#include <lum/LumTypes.h>

#include <algorithm>
#include <optional>

namespace GaugeKit {

namespace id = gaugekit::dispid;

// The enumerations are the numbers the control stores and the drawing library reads.
static_assert(int(MeterWidget::ThinLine) == lum::kNeedleThinLine &&
              int(MeterWidget::LongHollowTriangle) == lum::kNeedleLongHollowTriangle);
static_assert(MeterWidget::TicksInside == lum::kTicksInside &&
              MeterWidget::TicksMiddle == lum::kTicksMiddle &&
              MeterWidget::TicksOutside == lum::kTicksOutside);
static_assert(MeterWidget::LabelsInside == lum::kTicksInside &&
              MeterWidget::LabelsOutside == lum::kTicksOutside);
static_assert(MeterWidget::FlatBorder == lum::kBevelFlat &&
              MeterWidget::HighBorder == lum::kBevelHigh &&
              MeterWidget::DeepBorder == lum::kBevelDeep);
static_assert(MeterWidget::RectangleBorder == lum::kBorderRectangle &&
              MeterWidget::CircleBorder == lum::kBorderCircle &&
              MeterWidget::RoundedRectangleBorder == lum::kBorderRoundedRectangle);
static_assert(MeterWidget::SvgPicture == gaugekit::picture::kSvg &&
              MeterWidget::PdfPicture == gaugekit::picture::kPdf &&
              MeterWidget::PngPicture == gaugekit::picture::kPng);
static_assert(MeterWidget::AlarmOk == lum::kAlarmOk && MeterWidget::AlarmHigh == lum::kAlarmHigh &&
              MeterWidget::AlarmLow == lum::kAlarmLow);

namespace {

template <class T>
QList<T> listOf(const QVariantList& values) {
    QList<T> list;
    list.reserve(values.size());
    for (const QVariant& v : values)
        list.append(v.value<T>());
    return list;
}

template <class T>
QVariantList variants(const QList<T>& list) {
    QVariantList values;
    values.reserve(list.size());
    for (const T& v : list)
        values.append(QVariant::fromValue(v));
    return values;
}

// Each entry of `list` as text.
template <class T, class Format>
QStringList textsOf(const QList<T>& list, Format format) {
    QStringList texts;
    texts.reserve(list.size());
    for (const T& v : list)
        texts.append(format(v));
    return texts;
}

// The entries `texts` names, read over `current`: as long as the shorter of the two, an entry
// that does not read keeping its current value.
template <class T, class Parse>
QList<T> readOver(const QStringList& texts, const QList<T>& current, Parse parse) {
    const qsizetype n = std::min(texts.size(), current.size());
    QList<T> list;
    list.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        list.append(parse(texts.at(i)).value_or(current.at(i)));
    return list;
}

QString colorName(const QColor& color) {
    return color.name(QColor::HexRgb);
}

std::optional<QColor> colorFrom(const QString& name) {
    const QColor color = QColor::fromString(name);
    return color.isValid() ? std::optional(color) : std::nullopt;
}

QString numberText(int value) {
    return QString::number(value);
}

std::optional<int> numberFrom(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

MeterWidget::MeterWidget(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<MeterWidgetPrivate>(this)) {}

MeterWidget::~MeterWidget() {
    // The control's window goes before the widgets that hold it.
    d->site().close();
}

QSize MeterWidget::sizeHint() const {
    return d->site().sizeHint();
}

// Each scalar property reads and writes the control property of the same meaning.
#define GAUGEKIT_SCALAR(Type, ArgType, getter, setter, member)                                     \
    Type MeterWidget::getter() const {                                                             \
        return d->get(id::member).value<Type>();                                                   \
    }                                                                                              \
    void MeterWidget::setter(ArgType value) {                                                      \
        d->set(id::member, QVariant::fromValue(value));                                            \
    }
#define GAUGEKIT_COLOR(getter, setter, member)                                                     \
    GAUGEKIT_SCALAR(QColor, const QColor&, getter, setter, member)
#define GAUGEKIT_INT(getter, setter, member) GAUGEKIT_SCALAR(int, int, getter, setter, member)
#define GAUGEKIT_BOOL(getter, setter, member) GAUGEKIT_SCALAR(bool, bool, getter, setter, member)
#define GAUGEKIT_DOUBLE(getter, setter, member)                                                    \
    GAUGEKIT_SCALAR(double, double, getter, setter, member)
#define GAUGEKIT_STRING(getter, setter, member)                                                    \
    GAUGEKIT_SCALAR(QString, const QString&, getter, setter, member)
// The enumerated properties go to the control as the numbers it stores; the setter taking a
// number passes any value on, as the control's own interface does.
#define GAUGEKIT_ENUM(Enum, getter, setter, member)                                                \
    MeterWidget::Enum MeterWidget::getter() const {                                                \
        return Enum(d->get(id::member).toInt());                                                   \
    }                                                                                              \
    void MeterWidget::setter(Enum value) {                                                         \
        setter(int(value));                                                                        \
    }                                                                                              \
    void MeterWidget::setter(int value) {                                                          \
        d->set(id::member, value);                                                                 \
    }

GAUGEKIT_COLOR(windowBackgroundColor, setWindowBackgroundColor, WindowBackgroundColor)
GAUGEKIT_COLOR(windowBorderColor, setWindowBorderColor, WindowBorderColor)
GAUGEKIT_COLOR(plotBackgroundColor, setPlotBackgroundColor, PlotBackgroundColor)
GAUGEKIT_ENUM(WindowBorderStyle, windowBorderStyle, setWindowBorderStyle, WindowBorderStyle)
GAUGEKIT_INT(windowResizeMode, setWindowResizeMode, WindowResizeMode)
GAUGEKIT_INT(windowBorderThickness, setWindowBorderThickness, WindowBorderThickness)
GAUGEKIT_ENUM(MeterType, type, setType, MeterType)
GAUGEKIT_ENUM(NeedleStyle, needleStyle, setNeedleStyle, MeterNeedleStyle)
GAUGEKIT_BOOL(dynTextEnable, setDynTextEnable, MeterDynTextEnable)
GAUGEKIT_BOOL(arcEnable, setArcEnable, MeterArcEnable)
GAUGEKIT_DOUBLE(centerX, setCenterX, MeterCenterX)
GAUGEKIT_DOUBLE(centerY, setCenterY, MeterCenterY)
GAUGEKIT_INT(dynTextPrecision, setDynTextPrecision, MeterDynTextPrecision)
GAUGEKIT_DOUBLE(diameter, setDiameter, MeterDiameter)
GAUGEKIT_INT(numChannels, setNumChannels, MeterNumChannels)
GAUGEKIT_INT(startArc, setStartArc, MeterStartArc)
GAUGEKIT_INT(stopArc, setStopArc, MeterStopArc)
GAUGEKIT_COLOR(lowAlarmColor, setLowAlarmColor, MeterLowAlarmColor)
GAUGEKIT_COLOR(highAlarmColor, setHighAlarmColor, MeterHighAlarmColor)
GAUGEKIT_BOOL(alarmArcsEnable, setAlarmArcsEnable, MeterAlarmArcsEnable)
GAUGEKIT_DOUBLE(alarmArcThickness, setAlarmArcThickness, MeterAlarmArcThickness)
GAUGEKIT_DOUBLE(highAlarmStart, setHighAlarmStart, MeterHighAlarmStart)
GAUGEKIT_DOUBLE(highAlarmStop, setHighAlarmStop, MeterHighAlarmStop)
GAUGEKIT_DOUBLE(lowAlarmStart, setLowAlarmStart, MeterLowAlarmStart)
GAUGEKIT_DOUBLE(lowAlarmStop, setLowAlarmStop, MeterLowAlarmStop)
GAUGEKIT_ENUM(TickPosition, tickPosition, setTickPosition, MeterTickPosition)
GAUGEKIT_ENUM(TickLabelsPosition, tickLabelsPosition, setTickLabelsPosition,
              MeterTickLabelsPosition)
GAUGEKIT_COLOR(tickLabelsColor, setTickLabelsColor, MeterTickLabelsColor)
GAUGEKIT_INT(tickLabelsSize, setTickLabelsSize, MeterTickLabelsSize)
GAUGEKIT_INT(tickLabelsFontStyle, setTickLabelsFontStyle, MeterTickLabelsFontStyle)
GAUGEKIT_STRING(tickLabelsFont, setTickLabelsFont, MeterTickLabelsFont)
GAUGEKIT_COLOR(lineColor, setLineColor, MeterLineColor)
GAUGEKIT_STRING(unitsString, setUnitsString, MeterUnitsString)
GAUGEKIT_BOOL(unitsStringEnable, setUnitsStringEnable, MeterUnitsStringEnable)
GAUGEKIT_INT(lineThickness, setLineThickness, MeterLineThickness)
GAUGEKIT_INT(minorTicks, setMinorTicks, MeterMinorTicks)
GAUGEKIT_DOUBLE(scaleMin, setScaleMin, MeterScaleMin)
GAUGEKIT_DOUBLE(scaleMax, setScaleMax, MeterScaleMax)
GAUGEKIT_INT(tickLabelsPrecision, setTickLabelsPrecision, MeterTickLabelsPrecision)
GAUGEKIT_DOUBLE(tickRelLength, setTickRelLength, MeterTickRelLength)
GAUGEKIT_DOUBLE(tickStep, setTickStep, MeterTickStep)
GAUGEKIT_COLOR(normalAlarmColor, setNormalAlarmColor, MeterNormalAlarmColor)
GAUGEKIT_DOUBLE(valueArcThickness, setValueArcThickness, MeterValueArcThickness)
GAUGEKIT_DOUBLE(scaleCenter, setScaleCenter, MeterScaleCenter)
GAUGEKIT_COLOR(borderColor, setBorderColor, MeterBorderColor)
GAUGEKIT_INT(borderThickness, setBorderThickness, MeterBorderThickness)
GAUGEKIT_ENUM(BorderStyle, borderStyle, setBorderStyle, MeterBorderStyle)
GAUGEKIT_DOUBLE(initialValue, setInitialValue, MeterInitialValue)
GAUGEKIT_BOOL(enableInternalTimer, setEnableInternalTimer, EnableInternalTimer)
GAUGEKIT_DOUBLE(timerFrequency, setTimerFrequency, TimerFrequency)
GAUGEKIT_DOUBLE(borderHeight, setBorderHeight, MeterBorderHeight)
GAUGEKIT_DOUBLE(borderWidth, setBorderWidth, MeterBorderWidth)
GAUGEKIT_BOOL(sDataSimulationMode, setSDataSimulationMode, SDataSimulationMode)

// Each indexed property as one list of all its entries.
#define GAUGEKIT_LIST(ListType, Element, getter, setter, member, count)                            \
    ListType MeterWidget::getter() const {                                                         \
        return listOf<Element>(d->getList(id::member, gaugekit::MeterArrays::count));              \
    }                                                                                              \
    void MeterWidget::setter(const ListType& list) {                                               \
        d->setList(id::member, gaugekit::MeterArrays::count, variants(list));                      \
    }

GAUGEKIT_LIST(QStringList, QString, titleString, setTitleString, TitleString, kTitles)
GAUGEKIT_LIST(QStringList, QString, titleFont, setTitleFont, TitleFont, kTitles)
GAUGEKIT_LIST(QList<QColor>, QColor, titleColor, setTitleColor, TitleColor, kTitles)
GAUGEKIT_LIST(QList<int>, int, titleFontStyle, setTitleFontStyle, TitleFontStyle, kTitles)
GAUGEKIT_LIST(QList<int>, int, titleFontSize, setTitleFontSize, TitleFontSize, kTitles)
GAUGEKIT_LIST(QList<QColor>, QColor, channelColor, setChannelColor, MeterChannelColor, kChannels)
GAUGEKIT_LIST(QStringList, QString, channelTagName, setChannelTagName, MeterChannelTagName,
              kChannels)

// The colour and number lists as texts, for the properties.
#define GAUGEKIT_TEXTS(getter, setter, list, setList, format, parse)                               \
    QStringList MeterWidget::getter() const {                                                      \
        return textsOf(list(), format);                                                            \
    }                                                                                              \
    void MeterWidget::setter(const QStringList& texts) {                                           \
        setList(readOver(texts, list(), parse));                                                   \
    }

GAUGEKIT_TEXTS(titleColorNames, setTitleColorNames, titleColor, setTitleColor, colorName, colorFrom)
GAUGEKIT_TEXTS(titleFontStyleTexts, setTitleFontStyleTexts, titleFontStyle, setTitleFontStyle,
               numberText, numberFrom)
GAUGEKIT_TEXTS(titleFontSizeTexts, setTitleFontSizeTexts, titleFontSize, setTitleFontSize,
               numberText, numberFrom)
GAUGEKIT_TEXTS(channelColorNames, setChannelColorNames, channelColor, setChannelColor, colorName,
               colorFrom)

#undef GAUGEKIT_TEXTS
#undef GAUGEKIT_LIST
#undef GAUGEKIT_ENUM
#undef GAUGEKIT_STRING
#undef GAUGEKIT_DOUBLE
#undef GAUGEKIT_BOOL
#undef GAUGEKIT_INT
#undef GAUGEKIT_COLOR
#undef GAUGEKIT_SCALAR

void MeterWidget::setValue(int channel, double value) {
    d->run(id::UpdateDataValue, {std::int32_t(channel), value, true});
}

void MeterWidget::setValues(const QList<double>& values) {
    // The control reads through a pointer to the first value; it gets its own copy.
    QList<double> copy = values;
    d->run(id::UpdateDynData, {com::Variant::r8Ref(copy.data(), copy.size())});
}

void MeterWidget::updateMeter() {
    d->run(id::UpdateMeter);
}

bool MeterWidget::copyToClipboard() {
    return d->call(id::CopyToClipboard);
}

bool MeterWidget::savePicture(PictureType type, const QString& fileName) {
    return savePicture(int(type), fileName);
}

bool MeterWidget::savePicture(int type, const QString& fileName) {
    return d->call(id::SavePageMeta, {std::int32_t(type), fileName});
}

bool MeterWidget::loadSettings(const QString& fileName) {
    return d->call(id::SerializeLoadFile, {fileName});
}

bool MeterWidget::saveSettings(const QString& fileName) {
    return d->call(id::SerializeSaveFile, {fileName});
}

bool MeterWidget::showPropertyPages() {
    return d->showPropertyPages();
}

} // namespace GaugeKit
