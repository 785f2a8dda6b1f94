#include <GaugeKit/MeterWidget.h>

#include "GaugeKitIds.h"
#include "MeterArrays.h"
#include "MeterPictureTypes.h"
#include "MeterWidgetPrivate.h"

#include <lum/LumTypes.h>

#include <algorithm>
#include <optional>
#include <type_traits>

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

// Each scalar property reads and writes the control property of the same meaning; the
// accessors are made from the property list.
template <class T>
using Param = std::conditional_t<std::is_class_v<T>, const T&, T>;

#define GAUGEKIT_SCALAR(Type, getter, setter, member)                                              \
    Type MeterWidget::getter() const {                                                             \
        return d->get(id::member).value<Type>();                                                   \
    }                                                                                              \
    void MeterWidget::setter(Param<Type> value) {                                                  \
        d->set(id::member, QVariant::fromValue(value));                                            \
    }
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
#define GAUGEKIT_ACCESSORS_Long GAUGEKIT_SCALAR
#define GAUGEKIT_ACCESSORS_Bool GAUGEKIT_SCALAR
#define GAUGEKIT_ACCESSORS_Double GAUGEKIT_SCALAR
#define GAUGEKIT_ACCESSORS_String GAUGEKIT_SCALAR
#define GAUGEKIT_ACCESSORS_Choice GAUGEKIT_ENUM
#define GAUGEKIT_ACCESSORS(Name, id, Kind, member, def, QtType, getter, setter, ...)               \
    GAUGEKIT_ACCESSORS_##Kind(QtType, getter, setter, Name)

GAUGEKIT_METER_PROPERTIES(GAUGEKIT_ACCESSORS)

#undef GAUGEKIT_ACCESSORS
#undef GAUGEKIT_ACCESSORS_Choice
#undef GAUGEKIT_ACCESSORS_String
#undef GAUGEKIT_ACCESSORS_Double
#undef GAUGEKIT_ACCESSORS_Bool
#undef GAUGEKIT_ACCESSORS_Long

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
