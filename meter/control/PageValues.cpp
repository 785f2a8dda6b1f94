#include "PageValues.h"

#include <QtGlobal>

namespace gaugekit {

namespace {

PageValues::Value pageValueOf(PropertyKind kind) {
    switch (kind) {
    case PropertyKind::Long:
    case PropertyKind::Bool:
        return std::int32_t(0);
    case PropertyKind::Double:
        return 0.0;
    case PropertyKind::String:
        break;
    }
    return QString();
}

} // namespace

PageValues::PageValues(PageKind kind)
    : m_kind(kind) {
    for (const PropertyInfo& p : PropertyTable::all()) {
        if (p.page == kind)
            m_values.emplace(p.dispid, pageValueOf(p.kind()));
    }
}

template <class T>
T& PageValues::value(std::int32_t dispid) {
    const auto found = m_values.find(dispid);
    if (found != m_values.end() && std::holds_alternative<T>(found->second))
        return std::get<T>(found->second);
    Q_ASSERT_X(false, "PageValues", "a property of another page, or of another type");
    Value& stray = m_strays[dispid];
    stray = T();
    return std::get<T>(stray);
}

template std::int32_t& PageValues::value<std::int32_t>(std::int32_t);
template double& PageValues::value<double>(std::int32_t);
template QString& PageValues::value<QString>(std::int32_t);

} // namespace gaugekit
