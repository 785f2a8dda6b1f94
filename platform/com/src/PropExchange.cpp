#include "com/PropExchange.h"

#include "com/Archive.h"
#include "com/PropertyBag.h"

namespace com {

namespace {

// Bag values: each C++ type travels as its automation type and is read back with the
// automation coercions (a value that does not convert counts as missing).
Variant bagValue(std::int32_t v) {
    return Variant(v);
}
Variant bagValue(std::uint32_t v) {
    return Variant(std::int32_t(v));
}
Variant bagValue(std::int16_t v) {
    return Variant(v);
}
Variant bagValue(double v) {
    return Variant(v);
}
Variant bagValue(bool v) {
    return Variant(v);
}
Variant bagValue(const QString& v) {
    return Variant(v);
}
Variant bagValue(const QByteArray& v) {
    return Variant::blob(v);
}

bool fromBag(const Variant& v, std::int32_t& out) {
    return succeeded(v.toI4(out));
}
bool fromBag(const Variant& v, std::uint32_t& out) {
    std::int32_t n = 0;
    if (v.type() == VarType::R8 && v.r8Value() >= 2147483648.0 && v.r8Value() <= 4294967295.0) {
        out = std::uint32_t(v.r8Value());
        return true;
    }
    if (failed(v.toI4(n)))
        return false;
    out = std::uint32_t(n);
    return true;
}
bool fromBag(const Variant& v, std::int16_t& out) {
    Variant c;
    if (failed(v.changeType(VarType::I2, c)))
        return false;
    out = c.i2Value();
    return true;
}
bool fromBag(const Variant& v, double& out) {
    return succeeded(v.toR8(out));
}
bool fromBag(const Variant& v, bool& out) {
    return succeeded(v.toBool(out));
}
bool fromBag(const Variant& v, QByteArray& out) {
    if (v.type() != VarType::Blob)
        return false;
    out = v.blobValue();
    return true;
}
bool fromBag(const Variant& v, QString& out) {
    return succeeded(v.toStringValue(out));
}

} // namespace

PropExchange::PropExchange(Archive& archive)
    : m_mode(archive.isLoading() ? Mode::StreamLoad : Mode::StreamStore)
    , m_archive(&archive)
    , m_status(archive.status()) {}

PropExchange::PropExchange(PropertyBag& bag, bool loading)
    : m_mode(loading ? Mode::BagLoad : Mode::BagStore)
    , m_bag(&bag) {}

PropExchange::PropExchange()
    : m_mode(Mode::Reset) {}

void PropExchange::setError(HRESULT hr) {
    if (succeeded(m_status) && failed(hr))
        m_status = hr;
    if (m_archive)
        m_archive->setError(hr);
}

// The one shape of every scalar exchange: stream load/store through the archive, bag
// load/store through a Variant of the value's type, reset to the default.
template <class T, class Load, class Store>
bool PropExchange::exchangeValue(const QString& key, T& value, const T& defaultValue, Load load,
                                 Store store) {
    if (!ok())
        return false;
    switch (m_mode) {
    case Mode::StreamLoad: {
        T v = load(*m_archive);
        if (!m_archive->ok()) {
            setError(m_archive->status());
            return false;
        }
        value = v;
        return true;
    }
    case Mode::StreamStore:
        store(*m_archive, value);
        if (!m_archive->ok()) {
            setError(m_archive->status());
            return false;
        }
        return true;
    case Mode::BagLoad: {
        Variant v;
        if (failed(m_bag->read(key, v)) || !fromBag(v, value))
            value = defaultValue;
        return true;
    }
    case Mode::BagStore: {
        const HRESULT hr = m_bag->write(key, bagValue(value));
        if (failed(hr)) {
            setError(hr);
            return false;
        }
        return true;
    }
    case Mode::Reset:
        value = defaultValue;
        return true;
    }
    return false;
}

bool PropExchange::exchangeVersion(const QString& key, std::uint32_t current) {
    m_version = current;
    std::uint32_t v = current;
    if (isLoading() && !isResetting())
        v = 0;
    const bool done = exchangeULong(key, v, current);
    if (!isLoading()) // a store always writes the current version
        return done;
    if (done)
        m_version = v;
    return done;
}

bool PropExchange::exchangeLong(const QString& key, std::int32_t& value, std::int32_t def) {
    return exchangeValue(
        key, value, def, [](Archive& a) { return a.readLong(); },
        [](Archive& a, std::int32_t v) { a.writeLong(v); });
}

bool PropExchange::exchangeULong(const QString& key, std::uint32_t& value, std::uint32_t def) {
    return exchangeValue(
        key, value, def, [](Archive& a) { return a.readDWord(); },
        [](Archive& a, std::uint32_t v) { a.writeDWord(v); });
}

bool PropExchange::exchangeShort(const QString& key, std::int16_t& value, std::int16_t def) {
    return exchangeValue(
        key, value, def, [](Archive& a) { return a.readShort(); },
        [](Archive& a, std::int16_t v) { a.writeShort(v); });
}

bool PropExchange::exchangeDouble(const QString& key, double& value, double def) {
    return exchangeValue(
        key, value, def, [](Archive& a) { return a.readDouble(); },
        [](Archive& a, double v) { a.writeDouble(v); });
}

bool PropExchange::exchangeBool(const QString& key, bool& value, bool def) {
    return exchangeValue(
        key, value, def, [](Archive& a) { return a.readBool(); },
        [](Archive& a, bool v) { a.writeBool(v); });
}

bool PropExchange::exchangeString(const QString& key, QString& value, const QString& def) {
    return exchangeValue(
        key, value, def, [](Archive& a) { return a.readString(); },
        [](Archive& a, const QString& v) { a.writeString(v); });
}

bool PropExchange::exchangeBlob(const QString& key, QByteArray& value) {
    // The value is its own default: a reset, or a bag without a blob under the key, keeps it.
    const QByteArray kept = value;
    return exchangeValue(
        key, value, kept, [](Archive& a) { return a.readBlob(); },
        [](Archive& a, const QByteArray& v) { a.writeBlob(v); });
}

} // namespace com
