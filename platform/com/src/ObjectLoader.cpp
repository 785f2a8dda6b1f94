#include "com/ObjectLoader.h"

#include "com/ClassFactory.h"
#include "com/ClassRegistration.h"
#include "com/ModuleExports.h"
#include "com/Registry.h"

#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <memory>

namespace com::loader {

namespace {

// Modules stay loaded for the life of the process: objects and factories they made may be
// referenced anywhere, and unloading code under a live vtable is never safe.
QHash<QString, QLibrary*>& loadedModules() {
    // Never destroyed: a loaded module's code may run until the very end of the process.
    static auto* modules = new QHash<QString, QLibrary*>;
    return *modules;
}

QLibrary* moduleAt(const QString& path, QString* error) {
    const QString key = QFileInfo(path).absoluteFilePath();
    QHash<QString, QLibrary*>& modules = loadedModules();
    if (QLibrary* lib = modules.value(key))
        return lib;
    auto lib = std::make_unique<QLibrary>(key);
    if (!lib->load()) {
        if (error)
            *error = lib->errorString();
        return nullptr;
    }
    QLibrary* raw = lib.release();
    modules.insert(key, raw);
    return raw;
}

template <class Fn>
HRESULT resolve(const QString& path, const char* name, Fn* fn, QString* error = nullptr) {
    QLibrary* lib = moduleAt(path, error);
    if (!lib)
        return CO_E_DLLNOTFOUND;
    *fn = reinterpret_cast<Fn>(lib->resolve(name));
    return *fn ? S_OK : CO_E_ERRORINDLL;
}

HRESULT callEntry(const QString& path, const char* name, QString* error) {
    QString why;
    DllRegisterServerFn fn = nullptr;
    HRESULT hr = resolve(path, name, &fn, &why);
    if (hr == CO_E_ERRORINDLL)
        why = QStringLiteral("%1 has no entry point %2").arg(path, QLatin1String(name));
    if (succeeded(hr)) {
        Registry::clearLastThreadError();
        hr = fn();
        why = Registry::lastThreadError();
    }
    if (failed(hr) && error)
        *error = why;
    return hr;
}

} // namespace

HRESULT loadModule(const QString& path, QString* error) {
    return moduleAt(path, error) ? S_OK : CO_E_DLLNOTFOUND;
}

HRESULT getClassObject(const Registry& registry, const Clsid& clsid, const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    RegistryTree tree;
    HRESULT hr = registry.read(tree);
    if (failed(hr))
        return hr;
    QString path;
    hr = registration::inprocServerPath(tree, clsid, &path);
    if (failed(hr))
        return hr;
    DllGetClassObjectFn getObject = nullptr;
    hr = resolve(path, "DllGetClassObject", &getObject);
    if (failed(hr))
        return hr;
    return getObject(&clsid, &iid, out);
}

HRESULT createInstance(const Registry& registry, const Clsid& clsid, const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(registry, clsid, IID_IClassFactory, factory.put());
    if (failed(hr))
        return hr;
    return factory->CreateInstance(iid, out);
}

HRESULT createInstance(const Clsid& clsid, const Iid& iid, void** out) {
    return createInstance(Registry(), clsid, iid, out);
}

HRESULT clsidFromProgId(const Registry& registry, const QString& progId, Clsid* clsid) {
    RegistryTree tree;
    const HRESULT hr = registry.read(tree);
    if (failed(hr))
        return hr;
    return registration::clsidFromProgId(tree, progId, clsid);
}

HRESULT createInstanceByProgId(const Registry& registry, const QString& progId, const Iid& iid,
                               void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    Clsid clsid;
    const HRESULT hr = clsidFromProgId(registry, progId, &clsid);
    if (failed(hr))
        return hr;
    return createInstance(registry, clsid, iid, out);
}

HRESULT createInstanceByProgId(const QString& progId, const Iid& iid, void** out) {
    return createInstanceByProgId(Registry(), progId, iid, out);
}

HRESULT registerModule(const QString& path, QString* error) {
    return callEntry(path, "DllRegisterServer", error);
}

HRESULT unregisterModule(const QString& path, QString* error) {
    return callEntry(path, "DllUnregisterServer", error);
}

} // namespace com::loader
