#pragma once

#include "com/Events.h"

namespace com {

class ControlSite;

// The sink a ControlSite connects to its control's events. It may outlive the site (a control
// can hold it a little longer); detach() cuts it off from the site.
class SiteEventSink : public IEventSink {
public:
    explicit SiteEventSink(ControlSite* site)
        : m_site(site) {}
    void detach() { m_site = nullptr; }

    [[nodiscard]] HRESULT QueryInterface(const Iid& iid, void** out) override;
    std::uint32_t AddRef() override { return ++m_refs; }
    std::uint32_t Release() override;
    [[nodiscard]] HRESULT OnEvent(DispId id, const VariantList& args) override;

private:
    ~SiteEventSink() override = default;
    ControlSite* m_site;
    std::uint32_t m_refs = 1;
};

} // namespace com
