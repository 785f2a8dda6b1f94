// Who the meter's five property pages are: class id, tab caption, type name, dialog template,
// help text and help context, in the order the meter lists them.
#pragma once

#include "PageValues.h"

#include <com/Guid.h>
#include <com/PropertyPage.h>

#include <array>
#include <cstdint>

namespace gaugekit::pages {

struct PageIdentity {
    PageKind kind;
    const char* clsid;
    const char* caption;
    const char* typeName;
    int dialogTemplate;
    const char* helpText;
    std::uint32_t helpContext;
};

class PageCatalog {
public:
    static constexpr const char* kHelpFile = "zafro.hlp";

    // General, Appearance, Scale, Alarms, Timer.
    static const std::array<PageIdentity, 5>& all();
    static const PageIdentity& identity(PageKind kind);
    static com::Clsid clsid(PageKind kind);
    // What the page tells the frame: caption, size in pixels for `units`, help.
    static com::PageInfo pageInfo(PageKind kind, const QSize& units);
    // The text the frame's Help button shows for the page.
    static QString helpText(PageKind kind);
};

} // namespace gaugekit::pages
