#pragma once

#include "com/HResult.h"
#include "com/RegistryTree.h"
#include "com/TypeLibrary.h"

#include <functional>

namespace com {

// Entries written for a control class.
struct ControlClassInfo {
    Clsid clsid;
    QString typeName; // CLSID key default value
    QString progId;
    Guid typeLib;
    QString typeLibVersion = QStringLiteral("1.1");
    std::uint32_t miscStatus = 0;
    int toolboxBitmap = 1;
};

namespace registration {

extern const QString classesRoot; // "HKEY_CLASSES_ROOT"

QString clsidKey(const Clsid& clsid); // HKEY_CLASSES_ROOT\CLSID\{...}

// CLSID\{..} = type name; InprocServer32 = module path, ThreadingModel "Apartment"; ProgID;
// Insertable; MiscStatus and MiscStatus\1 = decimal status; ToolboxBitmap32 = "path, n";
// TypeLib; Version. Also the ProgID key with its CLSID.
void registerControlClass(RegistryTree& tree, const ControlClassInfo& info,
                          const QString& modulePath);
// CLSID\{..} = type name; InprocServer32 = module path. No ProgID, no threading model.
void registerPropertyPageClass(RegistryTree& tree, const Clsid& clsid, const QString& typeName,
                               const QString& modulePath);
// Removes the CLSID key, and the ProgID key when given (or found under the CLSID key).
void unregisterClass(RegistryTree& tree, const Clsid& clsid, const QString& progId = {});
// The registrar a server module gives for a control class: installing writes the entries of
// `info`, uninstalling removes its CLSID and ProgID keys.
std::function<void(RegistryTree& tree, const QString& modulePath, bool install)>
controlClassRegistrar(ControlClassInfo info);
// TypeLib\{lib}\<ver> = help string; <ver>\0\linux = module path; <ver>\FLAGS; <ver>\HELPDIR;
// and Interface\{iid} = name with its TypeLib and version, for every interface.
void registerTypeLibrary(RegistryTree& tree, const TypeLibraryDescription& lib,
                         const QString& modulePath);
void unregisterTypeLibrary(RegistryTree& tree, const TypeLibraryDescription& lib);

// Lookups: REGDB_E_CLASSNOTREG when absent.
[[nodiscard]] HRESULT clsidFromProgId(const RegistryTree& tree, const QString& progId,
                                      Clsid* clsid);
[[nodiscard]] HRESULT inprocServerPath(const RegistryTree& tree, const Clsid& clsid, QString* path);

} // namespace registration
} // namespace com
