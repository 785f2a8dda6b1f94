#pragma once

#include "com/HResult.h"
#include "com/RegistryTree.h"

#include <QtGlobal>
#include <functional>

namespace com {

// The registry file: one JSON file holding a RegistryTree. Every change is a read-modify-write
// under a lock file and is written atomically (temporary file and rename), so concurrent
// writers lose nothing and a crash leaves the previous file whole. A corrupt file is reported
// (REGDB_E_READREGDB) and never overwritten.
class Registry {
public:
    // The largest registry file read: 8 MiB. Every module of the system registered takes a few
    // KiB, so a larger file is no registry of ours (or a device that never ends, such as
    // /dev/zero); it is refused as corrupt after reading one byte past the bound.
    static constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;

    // $BRISORA_REGISTRY when set, else <generic config>/brisora/registry.json.
    static QString defaultPath();

    explicit Registry(const QString& path = defaultPath());
    QString path() const { return m_path; }

    // The whole tree; a missing file is an empty registry. REGDB_E_READREGDB when the file is
    // unreadable, corrupt or larger than kMaxFileBytes.
    [[nodiscard]] HRESULT read(RegistryTree& out) const;
    // Locks, reads, lets `edit` change the tree and writes it back when `edit` returns true.
    // REGDB_E_READREGDB (corrupt/unreadable), REGDB_E_WRITEREGDB (lock or write failed).
    [[nodiscard]] HRESULT update(const std::function<bool(RegistryTree&)>& edit);
    // Why the last call failed, for messages.
    QString lastError() const { return m_lastError; }
    // Why the last failed call on this thread failed, whichever Registry object made it: a
    // module registers itself through a Registry of its own and returns only a code, so whoever
    // called its DllRegisterServer reads the reason here (after clearing it before the call).
    static QString lastThreadError();
    static void clearLastThreadError();

    [[nodiscard]] HRESULT setValue(const QString& keyPath, const QString& name,
                                   const QVariant& value);
    // REGDB_E_KEYMISSING when the key or value is absent.
    [[nodiscard]] HRESULT value(const QString& keyPath, const QString& name, QVariant* out) const;
    [[nodiscard]] HRESULT deleteKey(const QString& keyPath);

private:
    [[nodiscard]] HRESULT fail(HRESULT hr, const QString& why) const;

    QString m_path;
    mutable QString m_lastError;
};

} // namespace com
