#include "SiteEventSink.h"

#include "com/ControlSite.h"

namespace com {

HRESULT SiteEventSink::QueryInterface(const Iid& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IEventSink)
        return E_NOINTERFACE;
    *out = static_cast<IEventSink*>(this);
    AddRef();
    return S_OK;
}

std::uint32_t SiteEventSink::Release() {
    const std::uint32_t left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT SiteEventSink::OnEvent(DispId id, const VariantList& args) {
    if (m_site)
        m_site->deliverEvent(id, args);
    return S_OK;
}

} // namespace com
