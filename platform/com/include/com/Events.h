#pragma once

#include "com/MemberDescription.h"
#include "com/Unknown.h"
#include "com/Variant.h"

namespace com {

// Receives the events of a control's event interface.
class IEventSink : public IUnknown {
public:
    // One event with its arguments in declared order.
    [[nodiscard]] virtual HRESULT OnEvent(DispId id, const VariantList& args) = 0;
};

// A control's connection point for its event interface.
class IEventSource : public IUnknown {
public:
    // Connects `sink` (AddRef'ed while connected); `*cookie` identifies the connection.
    [[nodiscard]] virtual HRESULT Advise(IEventSink* sink, std::uint32_t* cookie) = 0;
    // Disconnects; E_INVALIDARG (as CONNECT_E_NOCONNECTION) for an unknown cookie.
    [[nodiscard]] virtual HRESULT Unadvise(std::uint32_t cookie) = 0;
    [[nodiscard]] virtual HRESULT GetEventInterface(Iid* iid) = 0;
};

} // namespace com
