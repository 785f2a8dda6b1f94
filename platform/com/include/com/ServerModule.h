#pragma once

#include "com/ClassFactory.h"
#include "com/TypeLibrary.h"

#include <QList>
#include <QString>
#include <atomic>
#include <functional>

namespace com {

class RegistryTree;

// The in-process server side of a module: its classes with their factories and registration,
// its type library, and the lock count that decides whether it may be unloaded. A module keeps
// one instance and exports the four entry points with BRISORA_COM_SERVER_EXPORTS (see
// ModuleExports.h).
class ServerModule {
public:
    // Writes (install) or removes (uninstall) the class's registry entries.
    using Registrar =
        std::function<void(RegistryTree& tree, const QString& modulePath, bool install)>;

    ServerModule() = default;
    ServerModule(const ServerModule&) = delete;
    ServerModule& operator=(const ServerModule&) = delete;

    void addClass(const Clsid& clsid, ClassFactory::Creator creator, Registrar registrar);
    void setTypeLibrary(const TypeLibraryDescription& lib);
    const TypeLibraryDescription& typeLibrary() const { return m_typeLib; }
    bool hasTypeLibrary() const { return !m_typeLib.libId.isNull(); }

    // DllGetClassObject: a factory for `clsid`, or CLASS_E_CLASSNOTAVAILABLE.
    [[nodiscard]] HRESULT getClassObject(const Clsid& clsid, const Iid& iid, void** out);
    // DllCanUnloadNow: S_OK when no object and no lock is alive, else S_FALSE.
    [[nodiscard]] HRESULT canUnloadNow() const;
    // DllRegisterServer / DllUnregisterServer into the registry (BRISORA_REGISTRY or the
    // default file), in one locked read-modify-write. `addressInModule` is any function of
    // the module, to find the module's own file. Failures: the registry's REGDB_E_READREGDB
    // (corrupt or unreadable file) or REGDB_E_WRITEREGDB (lock or write failed), with the
    // reason in Registry::lastThreadError(); SELFREG_E_CLASS when the module's file is unknown.
    [[nodiscard]] HRESULT registerServer(const void* addressInModule);
    [[nodiscard]] HRESULT unregisterServer(const void* addressInModule);

    // Object and lock counting (every live object and LockServer(true) holds one).
    void lock() { ++m_locks; }
    void unlock() { --m_locks; }
    int lockCount() const { return m_locks; }

private:
    struct ClassEntry {
        Clsid clsid;
        ClassFactory::Creator creator;
        Registrar registrar;
    };
    [[nodiscard]] HRESULT updateRegistry(const void* addressInModule, bool install);

    QList<ClassEntry> m_classes;
    TypeLibraryDescription m_typeLib;
    std::atomic<int> m_locks{0};
};

// The file of the loaded module holding `address` (a function of that module).
QString modulePathOf(const void* address);

} // namespace com
