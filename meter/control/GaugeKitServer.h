// The in-process server of the GAUGEKIT module: its type library, the control class and the
// five property-page classes with their registration.
#pragma once

#include <com/ServerModule.h>

namespace gaugekit {

class GaugeKitServer {
public:
    static com::ServerModule& module();
    static com::TypeLibraryDescription typeLibrary();
};

} // namespace gaugekit
