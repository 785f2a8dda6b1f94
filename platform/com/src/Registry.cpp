#include "com/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace com {

namespace {

constexpr int kLockWaitMs = 10000;
constexpr int kStaleLockMs = 30000;

QString& threadError() {
    thread_local QString why;
    return why;
}

} // namespace

QString Registry::defaultPath() {
    const QString env = qEnvironmentVariable("BRISORA_REGISTRY");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/brisora/registry.json");
}

Registry::Registry(const QString& path)
    : m_path(path) {}

QString Registry::lastThreadError() {
    return threadError();
}

void Registry::clearLastThreadError() {
    threadError().clear();
}

HRESULT Registry::fail(HRESULT hr, const QString& why) const {
    m_lastError = why;
    threadError() = why;
    return hr;
}

HRESULT Registry::read(RegistryTree& out) const {
    QFile file(m_path);
    if (!file.exists()) {
        out = RegistryTree();
        return S_OK;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(REGDB_E_READREGDB,
                    QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
    }
    const qint64 limit = kMaxFileBytes + 1;
    const QByteArray bytes = file.read(file.isSequential() ? limit : qMin(file.size(), limit));
    if (file.error() != QFileDevice::NoError) {
        return fail(REGDB_E_READREGDB,
                    QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString()));
    }
    if (bytes.size() > kMaxFileBytes) {
        return fail(REGDB_E_READREGDB,
                    QStringLiteral("%1 is corrupt: larger than %2 MiB, far more than any registry")
                        .arg(m_path)
                        .arg(kMaxFileBytes / (1024 * 1024)));
    }
    if (bytes.trimmed().isEmpty()) {
        out = RegistryTree();
        return S_OK;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return fail(REGDB_E_READREGDB,
                    QStringLiteral("%1 is corrupt: %2").arg(m_path, error.errorString()));
    }
    RegistryTree tree;
    QString why;
    if (!tree.fromJson(doc.object(), &why)) {
        return fail(REGDB_E_READREGDB, QStringLiteral("%1 is corrupt: %2").arg(m_path, why));
    }
    out = tree;
    return S_OK;
}

HRESULT Registry::update(const std::function<bool(RegistryTree&)>& edit) {
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        return fail(REGDB_E_WRITEREGDB,
                    QStringLiteral("cannot create %1").arg(info.absolutePath()));
    }
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        return fail(REGDB_E_WRITEREGDB, QStringLiteral("cannot lock %1").arg(m_path));
    }
    RegistryTree tree;
    const HRESULT hr = read(tree);
    if (failed(hr))
        return hr;
    if (!edit(tree))
        return S_FALSE;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(REGDB_E_WRITEREGDB,
                    QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString()));
    }
    file.write(QJsonDocument(tree.toJson()).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        return fail(REGDB_E_WRITEREGDB,
                    QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString()));
    }
    return S_OK;
}

HRESULT Registry::setValue(const QString& keyPath, const QString& name, const QVariant& value) {
    bool accepted = false;
    const HRESULT hr = update([&](RegistryTree& tree) {
        accepted = tree.setValue(keyPath, name, value);
        return accepted;
    });
    if (failed(hr))
        return hr;
    return accepted ? S_OK : E_INVALIDARG;
}

HRESULT Registry::value(const QString& keyPath, const QString& name, QVariant* out) const {
    if (!out)
        return E_POINTER;
    RegistryTree tree;
    const HRESULT hr = read(tree);
    if (failed(hr))
        return hr;
    const auto v = tree.value(keyPath, name);
    if (!v)
        return REGDB_E_KEYMISSING;
    *out = *v;
    return S_OK;
}

HRESULT Registry::deleteKey(const QString& keyPath) {
    bool existed = false;
    const HRESULT hr = update([&](RegistryTree& tree) {
        existed = tree.deleteKey(keyPath);
        return existed;
    });
    if (failed(hr))
        return hr;
    return existed ? S_OK : REGDB_E_KEYMISSING;
}

} // namespace com
