#include "com/ServerModule.h"

#include "com/ClassRegistration.h"
#include "com/Registry.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace com {

QString modulePathOf(const void* address) {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

void ServerModule::addClass(const Clsid& clsid, ClassFactory::Creator creator,
                            Registrar registrar) {
    m_classes.append(ClassEntry{clsid, std::move(creator), std::move(registrar)});
}

void ServerModule::setTypeLibrary(const TypeLibraryDescription& lib) {
    m_typeLib = lib;
}

HRESULT ServerModule::getClassObject(const Clsid& clsid, const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (const ClassEntry& c : std::as_const(m_classes)) {
        if (c.clsid != clsid)
            continue;
        if (!c.creator)
            return CLASS_E_CLASSNOTAVAILABLE;
        const auto factory = ComPtr<ClassFactory>::adopt(new ClassFactory(*this, clsid, c.creator));
        return factory->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerModule::canUnloadNow() const {
    return m_locks == 0 ? S_OK : S_FALSE;
}

HRESULT ServerModule::registerServer(const void* addressInModule) {
    return updateRegistry(addressInModule, true);
}

HRESULT ServerModule::unregisterServer(const void* addressInModule) {
    return updateRegistry(addressInModule, false);
}

HRESULT ServerModule::updateRegistry(const void* addressInModule, bool install) {
    const QString path = modulePathOf(addressInModule);
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    Registry registry;
    const HRESULT hr = registry.update([&](RegistryTree& tree) {
        if (hasTypeLibrary()) {
            if (install)
                registration::registerTypeLibrary(tree, m_typeLib, path);
            else
                registration::unregisterTypeLibrary(tree, m_typeLib);
        }
        for (const ClassEntry& c : std::as_const(m_classes)) {
            if (c.registrar)
                c.registrar(tree, path, install);
        }
        return true;
    });
    // The registry's own code (corrupt file, lock or write failure) says what went wrong;
    // its lastError() names the file and the reason.
    return failed(hr) ? hr : S_OK;
}

} // namespace com
