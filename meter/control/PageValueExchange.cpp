#include "PageValueExchange.h"

#include "MeterPageSite.h"

#include <QtGlobal>

namespace gaugekit {

PageValueExchange::PageValueExchange(MeterSettings& store, MeterPageSite& site,
                                     ExchangeDirection direction)
    : m_store(store)
    , m_site(site)
    , m_direction(direction) {}

PropertyValue PageValueExchange::mirror(const PropertyInfo& p) const {
    switch (p.change) {
    case PropertyInfo::Change::Model:
        return PropertyTable::get(m_site.model().settings, p);
    case PropertyInfo::Change::PageSite:
        return std::int32_t(m_site.resizeMode());
    case PropertyInfo::Change::StoreOnly:
    case PropertyInfo::Change::MarkModified:
        break;
    }
    return PropertyTable::get(m_store, p);
}

void PageValueExchange::setMirror(const PropertyInfo& p, const PropertyValue& v) {
    switch (p.change) {
    case PropertyInfo::Change::Model:
        PropertyTable::set(m_site.model().settings, p, v);
        return;
    case PropertyInfo::Change::PageSite:
        m_site.setResizeMode(std::get<std::int32_t>(v));
        return;
    case PropertyInfo::Change::StoreOnly:
    case PropertyInfo::Change::MarkModified:
        return;
    }
}

// Stores `pageValue` (store) or returns the meter's value after writing it back (load).
PropertyValue PageValueExchange::exchange(const PropertyInfo& p, const PropertyValue& pageValue) {
    const PropertyValue v = storing() ? pageValue : mirror(p);
    PropertyTable::set(m_store, p, v);
    if (storing())
        setMirror(p, v);
    return v;
}

void PageValueExchange::values(PageValues& page) {
    for (auto& [dispid, pageValue] : page.entries()) {
        const PropertyInfo* p = PropertyTable::byDispid(dispid);
        std::visit([&](auto& v) { value(v, *p); }, pageValue);
    }
}

void PageValueExchange::value(std::int32_t& pageValue, const PropertyInfo& p) {
    Q_ASSERT(p.kind() == PropertyKind::Long || p.kind() == PropertyKind::Bool);
    if (p.kind() == PropertyKind::Bool) {
        const PropertyValue v = exchange(p, PropertyValue(pageValue != 0));
        pageValue = std::get<bool>(v) ? 1 : 0;
        return;
    }
    pageValue = std::get<std::int32_t>(exchange(p, PropertyValue(pageValue)));
}

void PageValueExchange::value(double& pageValue, const PropertyInfo& p) {
    Q_ASSERT(p.kind() == PropertyKind::Double);
    pageValue = std::get<double>(exchange(p, PropertyValue(pageValue)));
}

void PageValueExchange::value(QString& pageValue, const PropertyInfo& p) {
    Q_ASSERT(p.kind() == PropertyKind::String);
    pageValue = std::get<QString>(exchange(p, PropertyValue(pageValue)));
}

template <class List>
void PageValueExchange::copyArray(List& pageValue, ArrayId which) {
    MeterArrays::visit(m_site.model().arrays, which, [&](auto& meterValue) {
        if constexpr (std::is_same_v<std::decay_t<decltype(meterValue)>, List>) {
            // A page's arrays come from the meter; one of another size is never stored, so
            // that the meter's arrays keep their sizes.
            if (!storing())
                pageValue = meterValue;
            else if (pageValue.size() == meterValue.size())
                meterValue = pageValue;
        }
    });
}

void PageValueExchange::array(QStringList& pageValue, ArrayId which) {
    copyArray(pageValue, which);
}

void PageValueExchange::array(QList<std::int32_t>& pageValue, ArrayId which) {
    copyArray(pageValue, which);
}

} // namespace gaugekit
