// Copies a page's values to or from the meter, one property at a time: a store writes the
// property's storage and its mirror (the drawing model's copy, or the page site's resize
// mode); a load takes the mirror's value (the storage's where there is no mirror), writes it
// back into the storage and into the page value. Arrays are copied whole.
#pragma once

#include "MeterArrays.h"
#include "MeterSettings.h"
#include "PageValues.h"
#include "PropertyTable.h"

namespace gaugekit {

class MeterPageSite;

class PageValueExchange {
public:
    PageValueExchange(MeterSettings& store, MeterPageSite& site, ExchangeDirection direction);

    // Every scalar value of the page.
    void values(PageValues& page);
    void array(QStringList& pageValue, ArrayId which);
    void array(QList<std::int32_t>& pageValue, ArrayId which);

    bool storing() const { return m_direction == ExchangeDirection::Store; }

private:
    // A check state (0 or 1 on the page) of a boolean property, or a 32-bit integer one.
    void value(std::int32_t& pageValue, const PropertyInfo& p);
    void value(double& pageValue, const PropertyInfo& p);
    void value(QString& pageValue, const PropertyInfo& p);
    PropertyValue exchange(const PropertyInfo& p, const PropertyValue& pageValue);
    PropertyValue mirror(const PropertyInfo& p) const;
    void setMirror(const PropertyInfo& p, const PropertyValue& v);
    template <class List>
    void copyArray(List& pageValue, ArrayId which);

    MeterSettings& m_store;
    MeterPageSite& m_site;
    ExchangeDirection m_direction;
};

} // namespace gaugekit
