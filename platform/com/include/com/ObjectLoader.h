#pragma once

#include "com/HResult.h"
#include "com/Unknown.h"

#include <QString>

namespace com {

class Registry;

// Creates objects of in-process servers by class id or ProgID: looks up the module under
// CLSID\{...}\InprocServer32 in the registry, loads it (modules stay loaded for the life of
// the process), and asks its DllGetClassObject for the factory.
namespace loader {

// REGDB_E_CLASSNOTREG (not registered), CO_E_DLLNOTFOUND (module will not load),
// CO_E_ERRORINDLL (no entry point), REGDB_E_READREGDB (corrupt registry), or the factory's.
HRESULT getClassObject(const Registry& registry, const Clsid& clsid, const Iid& iid, void** out);
HRESULT createInstance(const Registry& registry, const Clsid& clsid, const Iid& iid, void** out);
HRESULT createInstance(const Clsid& clsid, const Iid& iid, void** out); // default registry
HRESULT clsidFromProgId(const Registry& registry, const QString& progId, Clsid* clsid);
HRESULT createInstanceByProgId(const Registry& registry, const QString& progId, const Iid& iid,
                               void** out);
HRESULT createInstanceByProgId(const QString& progId, const Iid& iid, void** out);

// Loads the module at `path` and calls its DllRegisterServer / DllUnregisterServer. On failure
// `error` says why: the module's load error, the missing entry point, or the registry's reason.
HRESULT registerModule(const QString& path, QString* error = nullptr);
HRESULT unregisterModule(const QString& path, QString* error = nullptr);
// Loads (or finds loaded) a module; CO_E_DLLNOTFOUND with `error` set when it will not load.
HRESULT loadModule(const QString& path, QString* error = nullptr);

} // namespace loader
} // namespace com
