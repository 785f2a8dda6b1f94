#include "GaugeKitServer.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterDispatch.h"

#include <MeterPages.h>
#include <PageCatalog.h>
#include <com/ClassRegistration.h>
#include <com/ModuleExports.h>

namespace gaugekit {

namespace {

com::Guid guid(const char* text) {
    return com::Guid::fromString(QString::fromLatin1(text));
}

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

void addPageClass(com::ServerModule& m, const pages::PageIdentity& page) {
    const com::Clsid clsid = guid(page.clsid);
    const char* typeName = page.typeName;
    const PageKind kind = page.kind;
    m.addClass(
        clsid, [&m, kind]() { return pages::MeterPages::create(kind, &m); },
        [clsid, typeName](com::RegistryTree& tree, const QString& path, bool install) {
            if (install)
                com::registration::registerPropertyPageClass(tree, clsid, QLatin1String(typeName),
                                                             path);
            else
                com::registration::unregisterClass(tree, clsid);
        });
}

} // namespace

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
        for (const pages::PageIdentity& page : pages::PageCatalog::all())
            addPageClass(*m, page);
        return m;
    }();
    return *server;
}

} // namespace gaugekit

BRISORA_COM_SERVER_EXPORTS(gaugekit::GaugeKitServer::module())
