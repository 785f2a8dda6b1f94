#include "TrazoPlotServer.h"

#include "TrazoPlotCtrl.h"
#include "TrazoPlotIds.h"

#include <com/ClassRegistration.h>

namespace trazoplot {

namespace {

com::Guid guid(const char* text) {
    return com::Guid::fromString(QString::fromLatin1(text));
}

com::ControlClassInfo controlClassInfo() {
    return {guid(kClsidControl),
            QLatin1String(kTypeName),
            QLatin1String(kProgId),
            guid(kLibId),
            QStringLiteral("%1.%2").arg(kTypeLibMajor).arg(kTypeLibMinor),
            kMiscStatus,
            1};
}

} // namespace

com::TypeLibraryDescription TrazoPlotServer::typeLibrary() {
    com::TypeLibraryDescription lib;
    lib.libId = guid(kLibId);
    lib.name = QStringLiteral("TRAZOPLOTLib");
    lib.majorVersion = kTypeLibMajor;
    lib.minorVersion = kTypeLibMinor;
    lib.helpString = QLatin1String(kTypeName);
    lib.interfaces = {TrazoPlotCtrl::dispatchInterface(), TrazoPlotCtrl::eventInterface()};
    lib.coclasses = {{guid(kClsidControl), QStringLiteral("TrazoPlot"), QLatin1String(kTypeName),
                      guid(kIidDispatch), guid(kIidEvents)}};
    return lib;
}

com::ServerModule& TrazoPlotServer::module() {
    static com::ServerModule* server = [] {
        auto* m = new com::ServerModule;
        m->setTypeLibrary(typeLibrary());
        m->addClass(
            guid(kClsidControl),
            [m]() -> com::IUnknown* { return (new TrazoPlotCtrl(m))->unknown(); },
            com::registration::controlClassRegistrar(controlClassInfo()));
        return m;
    }();
    return *server;
}

} // namespace trazoplot
