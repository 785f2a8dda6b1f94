#pragma once

#include <QJsonObject>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

namespace com {

// An in-memory registry: keys named by backslash paths ("HKEY_CLASSES_ROOT\CLSID\{...}"),
// names compared without regard to case, each key holding named values (the default value has
// the empty name). A value is a string (QString) or a 32-bit number (uint).
class RegistryTree {
public:
    RegistryTree();
    RegistryTree(const RegistryTree& other);
    RegistryTree& operator=(const RegistryTree& other);
    ~RegistryTree();

    // Creates the key and its parents as needed. False for an empty path or a value that is
    // neither a string nor a number.
    bool setValue(const QString& keyPath, const QString& name, const QVariant& value);
    std::optional<QVariant> value(const QString& keyPath, const QString& name = {}) const;
    QString stringValue(const QString& keyPath, const QString& name = {}) const;
    void createKey(const QString& keyPath);
    bool hasKey(const QString& keyPath) const;
    // Removes the key with everything below it; false when it did not exist.
    bool deleteKey(const QString& keyPath);
    bool deleteValue(const QString& keyPath, const QString& name);
    QStringList subKeys(const QString& keyPath) const;
    QStringList valueNames(const QString& keyPath) const;
    bool isEmpty() const;

    // {"keys": {"Name": {...}}, "values": {"": {"string": "..."}, "N": {"dword": 5}}}
    QJsonObject toJson() const;
    // False (tree untouched, `error` says why) when the JSON is not a registry.
    bool fromJson(const QJsonObject& json, QString* error = nullptr);

    friend bool operator==(const RegistryTree& a, const RegistryTree& b);

    struct Node;

private:
    std::unique_ptr<Node> m_root;
};

} // namespace com
