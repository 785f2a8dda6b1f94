// Makes the meter's property pages: one object per page class, as the module's page factories
// and the frame's in-process page source make them.
#pragma once

#include "PageValues.h"

#include <com/PropertyPage.h>

namespace com {
class ServerModule;
}

namespace gaugekit::pages {

class MeterPages {
public:
    // A new page holding one reference (`module` is kept locked while it lives; may be null).
    static com::IUnknown* create(PageKind kind, com::ServerModule* module = nullptr);
    // The page of class `clsid` as an AddRef'ed IPropertyPage; CLASS_E_CLASSNOTAVAILABLE for
    // a class that is not one of the meter's pages.
    [[nodiscard]] static com::HRESULT createPage(const com::Clsid& clsid,
                                                 com::IPropertyPage** page);
};

} // namespace gaugekit::pages
