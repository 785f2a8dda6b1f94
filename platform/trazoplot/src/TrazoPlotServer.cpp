#include "TrazoPlotServer.h"

#include "TrazoPlotCtrl.h"
#include "TrazoPlotIds.h"

#include <com/ControlModule.h>

namespace trazoplot {

com::TypeLibraryDescription TrazoPlotServer::typeLibrary() {
    return com::controlTypeLibrary(
        kIds, QStringLiteral("TRAZOPLOTLib"), TrazoPlotCtrl::dispatchInterface(),
        TrazoPlotCtrl::eventInterface(), QStringLiteral("TrazoPlot"), QLatin1String(kIds.typeName));
}

com::ServerModule& TrazoPlotServer::module() {
    static com::ServerModule* server = [] {
        auto* m = new com::ServerModule;
        m->setTypeLibrary(typeLibrary());
        com::addControlClass(*m, kIds,
                             [m]() -> com::IUnknown* { return (new TrazoPlotCtrl(m))->unknown(); });
        return m;
    }();
    return *server;
}

} // namespace trazoplot
