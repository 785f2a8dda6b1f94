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
[[nodiscard]] HRESULT getClassObject(const Registry& registry, const Clsid& clsid, const Iid& iid,
                                     void** out);
[[nodiscard]] HRESULT createInstance(const Registry& registry, const Clsid& clsid, const Iid& iid,
                                     void** out);
[[nodiscard]] HRESULT createInstance(const Clsid& clsid, const Iid& iid,
                                     void** out); // default registry
[[nodiscard]] HRESULT clsidFromProgId(const Registry& registry, const QString& progId,
                                      Clsid* clsid);
[[nodiscard]] HRESULT createInstanceByProgId(const Registry& registry, const QString& progId,
                                             const Iid& iid, void** out);
[[nodiscard]] HRESULT createInstanceByProgId(const QString& progId, const Iid& iid, void** out);

// Loads the module at `path` and calls its DllRegisterServer / DllUnregisterServer. On failure
// `error` says why: the module's load error, the missing entry point, or the registry's reason.
[[nodiscard]] HRESULT registerModule(const QString& path, QString* error = nullptr);
[[nodiscard]] HRESULT unregisterModule(const QString& path, QString* error = nullptr);
// Loads (or finds loaded) a module; CO_E_DLLNOTFOUND with `error` set when it will not load.
[[nodiscard]] HRESULT loadModule(const QString& path, QString* error = nullptr);

} // namespace loader
} // namespace com
