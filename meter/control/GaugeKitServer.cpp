#include "GaugeKitServer.h"

#include "CGAUGEKITCtrl.h"
#include "GaugeKitIds.h"
#include "MeterDispatch.h"

#include <MeterPages.h>
#include <PageCatalog.h>
#include <com/ClassRegistration.h>
#include <com/ControlModule.h>
#include <com/ModuleExports.h>

namespace gaugekit {

namespace {

void addPageClass(com::ServerModule& m, const pages::PageIdentity& page) {
    const com::Clsid clsid = com::guidFromLatin1(page.clsid);
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
    com::TypeLibraryDescription lib =
        com::controlTypeLibrary(kIds, QStringLiteral("GAUGEKITLib"),
                                MeterDispatch::dispatchInterface(), MeterDispatch::eventInterface(),
                                QStringLiteral("GAUGEKIT"), QStringLiteral("GAUGEKIT Control"));
    lib.helpFile = QStringLiteral("GAUGEKIT.hlp");
    return lib;
}

com::ServerModule& GaugeKitServer::module() {
    static com::ServerModule* server = [] {
        auto* m = new com::ServerModule;
        m->setTypeLibrary(typeLibrary());
        com::addControlClass(*m, kIds,
                             [m]() -> com::IUnknown* { return (new CGAUGEKITCtrl(m))->unknown(); });
        for (const pages::PageIdentity& page : pages::PageCatalog::all())
            addPageClass(*m, page);
        return m;
    }();
    return *server;
}

} // namespace gaugekit

BRISORA_COM_SERVER_EXPORTS(gaugekit::GaugeKitServer::module())
