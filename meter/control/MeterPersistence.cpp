#include "MeterPersistence.h"

#include "GaugeKitIds.h"
#include "PropertyTable.h"

#include <com/Archive.h>
#include <com/PropExchange.h>

namespace gaugekit {

namespace {

constexpr ArrayId kAllArrays[] = {
    ArrayId::TitleString,       ArrayId::TitleFont,           ArrayId::TitleColor,
    ArrayId::TitleFontStyle,    ArrayId::TitleFontSize,       ArrayId::TitlePos,
    ArrayId::MeterChannelColor, ArrayId::MeterChannelTagName,
};

// An enumerated property read from a stream must be one of its choices: anything else is
// damaged data (text bytes where a number belongs), refused as the archive refuses a length
// beyond its bound, and the property keeps its value. A property bag gives the default for
// it, as for any value it cannot convert.
bool exchangeChoice(com::PropExchange& px, const PropertyInfo& p, const QString& key,
                    std::int32_t& value, std::int32_t def) {
    std::int32_t read = value;
    if (!px.exchangeLong(key, read, def))
        return false;
    if (px.isLoading() && !PropertyTable::isChoice(p, read)) {
        if (px.mode() != com::PropExchange::Mode::BagLoad) {
            px.setError(com::STG_E_READFAULT);
            return false;
        }
        read = def;
    }
    value = read;
    return true;
}

bool exchangeOne(com::PropExchange& px, const PropertyInfo& p, MeterSettings& store) {
    const QString key = QLatin1String(p.bagKey);
    return std::visit(
        [&](auto member) {
            auto& value = store.*member;
            using T = std::remove_reference_t<decltype(value)>;
            const T def = std::get<T>(p.defaultValue);
            if constexpr (std::is_same_v<T, std::int32_t>)
                return exchangeChoice(px, p, key, value, def);
            else if constexpr (std::is_same_v<T, bool>)
                return px.exchangeBool(key, value, def);
            else if constexpr (std::is_same_v<T, double>)
                return px.exchangeDouble(key, value, def);
            else
                return px.exchangeString(key, value, def);
        },
        p.member);
}

// Copies the loaded entries into the fixed-size array: extra entries are dropped, missing ones
// keep what the array held.
template <class List>
void fitInto(List& target, const List& loaded) {
    for (qsizetype i = 0; i < target.size() && i < loaded.size(); ++i)
        target[i] = loaded[i];
}

template <class List>
com::HRESULT decodeList(const QByteArray& blob, List& target) {
    com::MemoryArchive ar(blob);
    ar.setLengthLimit(MeterSettings::kMaxStringLength);
    List loaded;
    if constexpr (std::is_same_v<List, QStringList>)
        ar.exchangeStringArray(loaded);
    else
        ar.exchangeLongArray(loaded);
    if (!ar.ok())
        return ar.status();
    fitInto(target, loaded);
    return com::S_OK;
}

template <class List>
QByteArray encodeList(const List& source) {
    com::MemoryArchive ar;
    List copy = source;
    if constexpr (std::is_same_v<List, QStringList>)
        ar.exchangeStringArray(copy);
    else
        ar.exchangeLongArray(copy);
    return ar.data();
}

} // namespace

const char* MeterPersistence::key(Array which) {
    static const char* const keys[] = {"TitleString",       "TitleFont",          "TitleColor",
                                       "TitleFontStyle",    "TitleFontSize",      "TitlePos",
                                       "MeterChannelColor", "MeterChannelTagName"};
    return keys[static_cast<int>(which)];
}

QByteArray MeterPersistence::encode(const MeterArrays& arrays, Array which) {
    return MeterArrays::visit(arrays, which, [](const auto& list) { return encodeList(list); });
}

com::HRESULT MeterPersistence::decode(const QByteArray& blob, MeterArrays& arrays, Array which) {
    return MeterArrays::visit(arrays, which,
                              [&blob](auto& list) { return decodeList(blob, list); });
}

com::HRESULT MeterPersistence::exchange(com::PropExchange& px, MeterSettings& store,
                                        MeterArrays& arrays) {
    const com::HRESULT hr = exchangeScalars(px, store);
    if (com::failed(hr))
        return hr;
    return exchangeBlobs(px, arrays);
}

com::HRESULT MeterPersistence::exchangeScalars(com::PropExchange& px, MeterSettings& store) {
    for (const PropertyInfo* p : PropertyTable::persisted()) {
        // Data of version 1.0 ends its scalars before the initial value.
        if (p->dispid == dispid::MeterInitialValue && px.version() <= kVersionWithoutInitialValue) {
            if (px.isLoading())
                PropertyTable::set(store, *p, p->defaultValue);
            continue;
        }
        if (!exchangeOne(px, *p, store))
            return com::failed(px.status()) ? px.status() : com::STG_E_READFAULT;
    }
    return com::S_OK;
}

com::HRESULT MeterPersistence::exchangeBlobs(com::PropExchange& px, MeterArrays& arrays) {
    if (px.isResetting())
        return com::S_OK; // a new meter keeps the arrays it was created with
    for (Array which : kAllArrays) {
        const QString blobKey = QLatin1String(key(which));
        QByteArray blob = px.isLoading() ? QByteArray() : encode(arrays, which);
        if (!px.exchangeBlob(blobKey, blob))
            return com::failed(px.status()) ? px.status() : com::STG_E_READFAULT;
        if (!px.isLoading())
            continue;
        // A property bag may lack a blob; the array then stays as it is.
        if (blob.isEmpty() && px.mode() == com::PropExchange::Mode::BagLoad)
            continue;
        const com::HRESULT hr = decode(blob, arrays, which);
        if (com::failed(hr))
            return hr;
    }
    return com::S_OK;
}

} // namespace gaugekit
