// The meter's dispatch interface _DGAUGEKIT and event interface _DGAUGEKITEvents: one member
// table that serves late-bound calls, name lookup and the type library's descriptions.
#pragma once

#include <com/DispatchMap.h>
#include <com/MemberDescription.h>

namespace gaugekit {

class MeterDispatch {
public:
    // Members of _DGAUGEKIT; the object handed to invoke is a CGAUGEKITCtrl.
    static const com::DispatchMap& map();
    static com::InterfaceDescription dispatchInterface();
    static com::InterfaceDescription eventInterface();

private:
    static void addProperties(com::DispatchMap& map);
    static void addIndexedProperties(com::DispatchMap& map);
    static void addMethods(com::DispatchMap& map);
};

} // namespace gaugekit
