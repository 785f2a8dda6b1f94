#include "MeterPages.h"

#include "CGAUGEKITPropPage.h"
#include "CMAlrmPPg.h"
#include "CMLookPPg.h"
#include "CMScalPPg.h"
#include "CTimerPPg.h"
#include "PageCatalog.h"

namespace gaugekit::pages {

namespace {

com::IPropertyPage* make(PageKind kind, com::ServerModule* module) {
    switch (kind) {
    case PageKind::General:
        return new CGAUGEKITPropPage(module);
    case PageKind::Look:
        return new CMLookPPg(module);
    case PageKind::Scale:
        return new CMScalPPg(module);
    case PageKind::Alarm:
        return new CMAlrmPPg(module);
    case PageKind::Timer:
        break;
    }
    return new CTimerPPg(module);
}

} // namespace

com::IUnknown* MeterPages::create(PageKind kind, com::ServerModule* module) {
    return make(kind, module);
}

com::HRESULT MeterPages::createPage(const com::Clsid& clsid, com::IPropertyPage** page) {
    if (!page)
        return com::E_POINTER;
    *page = nullptr;
    for (const PageIdentity& id : PageCatalog::all()) {
        if (PageCatalog::clsid(id.kind) == clsid) {
            *page = make(id.kind, nullptr);
            return com::S_OK;
        }
    }
    return com::CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace gaugekit::pages
