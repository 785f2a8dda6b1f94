// The identifiers a control module shares with its containers. Installed with the meter's
// identifiers, so it needs nothing but the standard library.
#pragma once

#include <cstdint>

namespace com {

// Containers store the class identifier with their designs and drive the control late-bound
// through its interfaces, so a module's values are fixed for good. Identifiers are in registry
// form "{8-4-4-4-12}".
struct ControlModuleIds {
    const char* libId;
    const char* iidDispatch;
    const char* iidEvents;
    const char* clsidControl;
    const char* progId;
    const char* typeName; // the class's registered name and the type library's help string
    std::uint16_t typeLibMajor;
    std::uint16_t typeLibMinor;
    std::uint32_t miscStatus;
};

} // namespace com
