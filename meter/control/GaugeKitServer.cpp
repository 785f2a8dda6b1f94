#include "GaugeKitServer.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterDispatch.h"

#include <com/ClassRegistration.h>
#include <com/ModuleExports.h>

namespace gaugekit {

namespace {

com::Guid guid(const char* text) {
    return com::Guid::fromString(QString::fromLatin1(text));
}

const char* const kPageClsids[5] = {kClsidGeneralPage, kClsidLookPage, kClsidScalePage,
                                    kClsidAlarmPage, kClsidTimerPage};

com::ControlClassInfo controlClassInfo(const com::Clsid& clsid) {
    return {clsid,
            QLatin1String(kTypeName),
            QLatin1String(kProgId),
            guid(kLibId),
            QStringLiteral("%1.%2").arg(kTypeLibMajor).arg(kTypeLibMinor),
            kMiscStatus,
            1};
}

void addControlClass(com::ServerModule& m) {
    const com::Clsid clsid = guid(kClsidControl);
    m.addClass(
        clsid, [&m]() -> com::IUnknown* { return (new CGAUGEKITCtrl(&m))->unknown(); },
        com::registration::controlClassRegistrar(controlClassInfo(clsid)));
}

// The pages themselves come with the property frame; until then their factories make nothing.
void addPageClass(com::ServerModule& m, const char* clsidText, const char* typeName) {
    const com::Clsid clsid = guid(clsidText);
    m.addClass(
        clsid, []() -> com::IUnknown* { return nullptr; },
        [clsid, typeName](com::RegistryTree& tree, const QString& path, bool install) {
            if (install)
                com::registration::registerPropertyPageClass(tree, clsid, QLatin1String(typeName),
                                                             path);
            else
                com::registration::unregisterClass(tree, clsid);
        });
}

} // namespace

const char* const GaugeKitServer::kPageTypeNames[5] = {
    "GAUGEKIT Property Page", "Meter Look Property Page", "Meter Scale Property Page",
    "Meter Alarms Property Page", "Timer Property Page"};

com::TypeLibraryDescription GaugeKitServer::typeLibrary() {
    com::TypeLibraryDescription lib;
    lib.libId = guid(kLibId);
    lib.name = QStringLiteral("GAUGEKITLib");
    lib.majorVersion = kTypeLibMajor;
    lib.minorVersion = kTypeLibMinor;
    lib.helpString = QLatin1String(kTypeName);
    lib.helpFile = QStringLiteral("GAUGEKIT.hlp");
    lib.interfaces = {MeterDispatch::dispatchInterface(), MeterDispatch::eventInterface()};
    lib.coclasses = {{guid(kClsidControl), QStringLiteral("GAUGEKIT"),
                      QStringLiteral("GAUGEKIT Control"), guid(kIidDispatch), guid(kIidEvents)}};
    return lib;
}

com::ServerModule& GaugeKitServer::module() {
    static com::ServerModule* server = [] {
        auto* m = new com::ServerModule;
        m->setTypeLibrary(typeLibrary());
        addControlClass(*m);
        for (int i = 0; i < 5; ++i)
            addPageClass(*m, kPageClsids[i], kPageTypeNames[i]);
        return m;
    }();
    return *server;
}

} // namespace gaugekit

BRISORA_COM_SERVER_EXPORTS(gaugekit::GaugeKitServer::module())
