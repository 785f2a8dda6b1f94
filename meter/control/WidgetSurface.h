// How the meter's properties look to a Qt program: the Q_PROPERTY name of each control
// property, and colours as QColor instead of the stored 0x00BBGGRR references.
#pragma once

#include "PropertyTable.h"

#include <QColor>
#include <QString>
#include <cstdint>

namespace gaugekit {

class WidgetSurface {
public:
    // The control's name with a leading "Meter" dropped and the first letter lower-cased:
    // "MeterScaleMin" -> "scaleMin", "EnableInternalTimer" -> "enableInternalTimer".
    static QString propertyName(const QString& controlName);
    // Colour properties are the long properties named "...Color".
    static bool isColor(const PropertyInfo& p);

    // 0x00BBGGRR -> an opaque QColor; the top byte is not part of the colour and is ignored.
    static QColor toColor(std::int32_t colorRef);
    // An opaque QColor -> 0x00BBGGRR (alpha is dropped); an invalid colour gives black.
    static std::int32_t toColorRef(const QColor& color);
};

} // namespace gaugekit
