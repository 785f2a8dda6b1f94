#pragma once

#include "com/HResult.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace com {

class Archive;
class PropertyBag;

// One object for every way a control's properties travel: a control writes a single
// doPropExchange(PropExchange&) that lists its values once, and the same code loads or stores
// them in a stream (keys ignored, values back to back in the archive encoding), loads or
// stores them in a property bag (keyed; a missing or unconvertible key gives the default), or
// resets them (every value takes its default; blobs are left as they are).
//
// Failures are sticky: once a stream read fails, status() holds the archive error and every
// later exchange leaves its value untouched and returns false.
class PropExchange {
public:
    enum class Mode { StreamLoad, StreamStore, BagLoad, BagStore, Reset };

    PropExchange(Archive& archive);               // direction taken from the archive
    PropExchange(PropertyBag& bag, bool loading); // bag load or store
    PropExchange();                               // reset
    PropExchange(const PropExchange&) = delete;
    PropExchange& operator=(const PropExchange&) = delete;

    Mode mode() const { return m_mode; }
    // True for loads and for a reset (values are being set, not read).
    bool isLoading() const { return m_mode != Mode::StreamStore && m_mode != Mode::BagStore; }
    bool isResetting() const { return m_mode == Mode::Reset; }
    bool isStream() const { return m_mode == Mode::StreamLoad || m_mode == Mode::StreamStore; }
    [[nodiscard]] HRESULT status() const { return m_status; }
    bool ok() const { return succeeded(m_status); }
    // Marks the exchange failed (kept if it already failed): a control that finds its own data
    // bad (e.g. inside a blob) reports it this way, and later exchanges do nothing.
    void setError(HRESULT hr);

    // The version in hand: the one read when loading, the one written when storing, the
    // default when resetting. Set by exchangeVersion().
    std::uint32_t version() const { return m_version; }
    // Exchanges the version (first DWORD of a stream; `key` in a bag). Storing always writes
    // `current`; loading a bag without the key, or resetting, gives `current`.
    bool exchangeVersion(const QString& key, std::uint32_t current);

    bool exchangeLong(const QString& key, std::int32_t& value, std::int32_t defaultValue);
    bool exchangeULong(const QString& key, std::uint32_t& value, std::uint32_t defaultValue);
    bool exchangeShort(const QString& key, std::int16_t& value, std::int16_t defaultValue);
    bool exchangeDouble(const QString& key, double& value, double defaultValue);
    bool exchangeBool(const QString& key, bool& value, bool defaultValue);
    bool exchangeString(const QString& key, QString& value, const QString& defaultValue);
    // A blob: a 32-bit byte count and the bytes in a stream, a binary value in a bag. A reset,
    // or a bag without the key, leaves `value` as it is.
    bool exchangeBlob(const QString& key, QByteArray& value);

private:
    template <class T, class Load, class Store>
    bool exchangeValue(const QString& key, T& value, const T& defaultValue, Load load, Store store);

    Mode m_mode;
    Archive* m_archive = nullptr;
    PropertyBag* m_bag = nullptr;
    std::uint32_t m_version = 0;
    HRESULT m_status = S_OK;
};

} // namespace com
