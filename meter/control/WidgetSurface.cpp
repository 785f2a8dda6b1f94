#include "WidgetSurface.h"

namespace gaugekit {

QString WidgetSurface::propertyName(const QString& controlName) {
    const QLatin1String prefix("Meter");
    QString name = controlName;
    if (name.startsWith(prefix) && name.size() > prefix.size())
        name.remove(0, prefix.size());
    if (!name.isEmpty())
        name[0] = name[0].toLower();
    return name;
}

bool WidgetSurface::isColor(const PropertyInfo& p) {
    return p.kind() == PropertyKind::Long && QLatin1String(p.name).endsWith(QLatin1String("Color"));
}

QColor WidgetSurface::toColor(std::int32_t colorRef) {
    const auto ref = static_cast<std::uint32_t>(colorRef);
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

std::int32_t WidgetSurface::toColorRef(const QColor& color) {
    if (!color.isValid())
        return 0;
    const QColor rgb = color.toRgb();
    return std::int32_t(std::uint32_t(rgb.red()) | std::uint32_t(rgb.green()) << 8 |
                        std::uint32_t(rgb.blue()) << 16);
}

} // namespace gaugekit
