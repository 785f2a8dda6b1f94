#pragma once

#include "com/Unknown.h"

class QIODevice;

namespace com {

class PropertyBag;

// Stream persistence: the control's state as bytes (the archive encoding).
class IPersistStreamInit : public IUnknown {
public:
    [[nodiscard]] virtual HRESULT GetClassID(Clsid* clsid) = 0;
    // S_OK if changed since the last save with clearDirty, S_FALSE if not.
    [[nodiscard]] virtual HRESULT IsDirty() = 0;
    // Reads the state from the stream's current position. Fails with the archive error
    // (STG_E_READFAULT) on truncated or bad data; values read before the error are kept.
    [[nodiscard]] virtual HRESULT Load(QIODevice* stream) = 0;
    [[nodiscard]] virtual HRESULT Save(QIODevice* stream, bool clearDirty) = 0;
    // Every property to its default.
    [[nodiscard]] virtual HRESULT InitNew() = 0;
};

// Property-bag persistence: the control's state as named values.
class IPersistPropertyBag : public IUnknown {
public:
    [[nodiscard]] virtual HRESULT GetClassID(Clsid* clsid) = 0;
    [[nodiscard]] virtual HRESULT InitNew() = 0;
    [[nodiscard]] virtual HRESULT Load(const PropertyBag& bag) = 0;
    [[nodiscard]] virtual HRESULT Save(PropertyBag& bag, bool clearDirty) = 0;
};

} // namespace com
