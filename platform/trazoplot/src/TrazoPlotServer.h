// The in-process server of the TRAZOPLOT module: its type library and the strip-chart class
// with its registration.
#pragma once

#include <com/ServerModule.h>
#include <com/TypeLibrary.h>

namespace trazoplot {

class TrazoPlotServer {
public:
    static com::ServerModule& module();
    static com::TypeLibraryDescription typeLibrary();
};

} // namespace trazoplot
