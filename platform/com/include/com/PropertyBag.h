#pragma once

#include "com/HResult.h"
#include "com/Variant.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

namespace com {

// Named automation values as a container keeps a control's state: keys compare without regard
// to case (the last spelling written is kept); blobs are binary values.
class PropertyBag {
public:
    // S_OK and the value, or E_INVALIDARG when the key is absent.
    [[nodiscard]] HRESULT read(const QString& key, Variant& out) const;
    [[nodiscard]] HRESULT write(const QString& key, const Variant& value);
    bool contains(const QString& key) const;
    bool remove(const QString& key);
    void clear() { m_values.clear(); }
    int size() const { return int(m_values.size()); }
    // Keys in their written spelling, ordered without regard to case.
    QStringList keys() const;

    // JSON form for files: {"Key": {"type": "I4", "value": 5}, ...}; blobs in base64.
    QJsonObject toJson() const;
    // Replaces the contents; E_INVALIDARG (bag unchanged) for an entry it cannot read.
    [[nodiscard]] HRESULT fromJson(const QJsonObject& json);
    // A file larger than this is not a property bag: loading refuses it (STG_E_READFAULT) and
    // saving a bag whose text would be larger refuses too (STG_E_WRITEFAULT), leaving any
    // existing file as it was, so every bag saved can be loaded back.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    [[nodiscard]] HRESULT saveToFile(const QString& path) const;
    [[nodiscard]] HRESULT loadFromFile(const QString& path);

    friend bool operator==(const PropertyBag& a, const PropertyBag& b);

private:
    struct Entry {
        QString key;
        Variant value;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    QMap<QString, Entry> m_values; // by folded key
};

} // namespace com
