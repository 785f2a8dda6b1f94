#include "MeterRenderer.h"

#include "GaugeKitIds.h"

#include <com/ControlSite.h>

#include <QCoreApplication>

namespace {

// The control creates its drawing page at its first paint, the page its plot area at the
// page's first paint, and the plot builds the meter at its own: three paints, and one spare.
constexpr int kPaintsUntilBuilt = 4;

} // namespace

void MeterRenderer::settle(com::ControlSite& site) {
    for (int i = 0; i < kPaintsUntilBuilt; ++i) {
        site.grab();
        QCoreApplication::processEvents();
    }
}

bool MeterRenderer::draw(com::ControlSite& site, const QSize& size, const QList<double>& values) {
    site.resize(size);
    if (com::failed(site.activate()))
        return false;
    site.show();
    settle(site);
    if (!values.isEmpty()) {
        QList<double> copy = values;
        // A meter that refused the values would be drawn without them: no picture then.
        if (com::failed(site.callMethod(gaugekit::dispid::UpdateDynData,
                                        {com::Variant::r8Ref(copy.data(), copy.size())})))
            return false;
        settle(site);
    }
    return true;
}
