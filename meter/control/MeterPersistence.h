// The meter's own part of every property exchange (stream, property bag, reset): the 52
// persisted scalars in their fixed order, then the eight arrays as blobs.
#pragma once

#include "MeterArrays.h"
#include "MeterSettings.h"

#include <com/HResult.h>

#include <QByteArray>
#include <cstdint>

namespace com {
class PropExchange;
}

namespace gaugekit {

class MeterPersistence {
public:
    // Version 1.1; data of 1.0 has no initial value.
    static constexpr std::uint32_t kVersion = 0x00010001;
    static constexpr std::uint32_t kVersionWithoutInitialValue = 0x00010000;

    // Exchanges the scalars of `store` and the arrays. Loading replaces what was read before
    // any error; the first error (the archive's) is returned and nothing after it is read.
    [[nodiscard]] static com::HRESULT exchange(com::PropExchange& px, MeterSettings& store,
                                               MeterArrays& arrays);

    // One array as a blob's bytes, and back. Loading keeps the fixed size of the array:
    // entries beyond it are dropped, entries the blob lacks keep their values.
    using Array = ArrayId;
    static QByteArray encode(const MeterArrays& arrays, Array which);
    [[nodiscard]] static com::HRESULT decode(const QByteArray& blob, MeterArrays& arrays,
                                             Array which);
    static const char* key(Array which);

private:
    [[nodiscard]] static com::HRESULT exchangeScalars(com::PropExchange& px, MeterSettings& store);
    [[nodiscard]] static com::HRESULT exchangeBlobs(com::PropExchange& px, MeterArrays& arrays);
};

} // namespace gaugekit
