// A control module for the loader tests: one control class and one (uncreatable) page class.
#include "TestControl.h"

#include "com/ClassRegistration.h"
#include "com/ModuleExports.h"

using namespace com;

namespace {

const Clsid kPageClsid = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B23}");
const Guid kLibId = Guid::fromString(u"{5B0A3C1E-7D2F-4A61-9E3B-2C4D6F8A1B24}");

void setUp(ServerModule& m) {
    TypeLibraryDescription lib;
    lib.libId = kLibId;
    lib.name = QStringLiteral("TestLib");
    lib.helpString = QStringLiteral("Test Control 1.0");
    lib.helpFile = QStringLiteral("test.hlp");
    lib.interfaces = {TestControl::makeIdentity(nullptr).eventInterface,
                      {TestControl::dispatchIid, QStringLiteral("_DTest"), {}, false, {}}};
    m.setTypeLibrary(lib);
    m.addClass(
        TestControl::clsid, [&m]() -> IUnknown* { return (new TestControl(&m))->unknown(); },
        [](RegistryTree& tree, const QString& path, bool install) {
            if (!install)
                return registration::unregisterClass(tree, TestControl::clsid,
                                                     QStringLiteral("Test.TestCtrl.1"));
            registration::registerControlClass(tree,
                                               {TestControl::clsid, QStringLiteral("Test Control"),
                                                QStringLiteral("Test.TestCtrl.1"), kLibId,
                                                QStringLiteral("1.1"), 0x20191, 1},
                                               path);
        });
    m.addClass(kPageClsid, {}, [](RegistryTree& tree, const QString& path, bool install) {
        if (install)
            registration::registerPropertyPageClass(tree, kPageClsid,
                                                    QStringLiteral("Test Property Page"), path);
        else
            registration::unregisterClass(tree, kPageClsid);
    });
}

ServerModule& testModule() {
    static ServerModule module;
    static const bool ready = (setUp(module), true);
    Q_UNUSED(ready);
    return module;
}

} // namespace

BRISORA_COM_SERVER_EXPORTS(testModule())
