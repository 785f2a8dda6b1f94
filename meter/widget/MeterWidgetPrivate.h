// What lies behind GaugeKit::MeterWidget: the control site hosting the meter and the
// conversions between Qt values and the control's automation values.
#pragma once

#include <GaugeKit/MeterWidget.h>

#include <com/ControlSite.h>
#include <com/Variant.h>

#include <QVariant>

namespace GaugeKit {

class MeterWidgetPrivate {
public:
    explicit MeterWidgetPrivate(MeterWidget* widget);

    // The site and its control (the dispatch interface every call goes through).
    com::ControlSite& site() { return *m_site; }
    static com::ControlSite& site(MeterWidget& widget) { return widget.d->site(); }

    // Scalar properties by dispatch identifier: int, bool, double, QString or QColor.
    QVariant get(std::int32_t dispid) const;
    void set(std::int32_t dispid, const QVariant& value);

    // Indexed properties as lists of int, QString or QColor (`count` entries).
    QVariantList getList(std::int32_t dispid, int count) const;
    void setList(std::int32_t dispid, int count, const QVariantList& values);

    // Calls a method; false when the call failed or it answered FALSE.
    bool call(std::int32_t dispid, const com::VariantList& args = {});
    // Calls a method that answers nothing.
    void run(std::int32_t dispid, const com::VariantList& args = {});
    // The property frame with the meter's five pages; false when it cannot be shown.
    bool showPropertyPages();

private:
    void relayEvent(int dispid, const com::VariantList& args);

    MeterWidget* m_widget;
    com::ControlSite* m_site;
};

} // namespace GaugeKit
