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

HRESULT Registry::read(RegistryTree& out) const {
    QFile file(m_path);
    if (!file.exists()) {
        out = RegistryTree();
        return S_OK;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        m_lastError = QStringLiteral("cannot read %1: %2").arg(m_path, file.errorString());
        return REGDB_E_READREGDB;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty()) {
        out = RegistryTree();
        return S_OK;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        m_lastError = QStringLiteral("%1 is corrupt: %2").arg(m_path, error.errorString());
        return REGDB_E_READREGDB;
    }
    RegistryTree tree;
    QString why;
    if (!tree.fromJson(doc.object(), &why)) {
        m_lastError = QStringLiteral("%1 is corrupt: %2").arg(m_path, why);
        return REGDB_E_READREGDB;
    }
    out = tree;
    return S_OK;
}

HRESULT Registry::update(const std::function<bool(RegistryTree&)>& edit) {
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        m_lastError = QStringLiteral("cannot create %1").arg(info.absolutePath());
        return REGDB_E_WRITEREGDB;
    }
    QLockFile lock(m_path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        m_lastError = QStringLiteral("cannot lock %1").arg(m_path);
        return REGDB_E_WRITEREGDB;
    }
    RegistryTree tree;
    const HRESULT hr = read(tree);
    if (failed(hr))
        return hr;
    if (!edit(tree))
        return S_FALSE;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_lastError = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        return REGDB_E_WRITEREGDB;
    }
    file.write(QJsonDocument(tree.toJson()).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        m_lastError = QStringLiteral("cannot write %1: %2").arg(m_path, file.errorString());
        return REGDB_E_WRITEREGDB;
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
