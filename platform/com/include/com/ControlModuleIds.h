// The identifiers a control module shares with its containers, and what the module builds from
// them: its type library, its control class's registration and factory, and the identity the
// control framework takes.
#pragma once

#include "com/ClassFactory.h"

#include <QString>
#include <cstdint>

namespace com {

struct ControlClassInfo;
struct ControlIdentity;
struct InterfaceDescription;
struct TypeLibraryDescription;

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

// The identifier in registry form `text`, or the null GUID when it is not one.
Guid guidFromLatin1(const char* text);

// The module's type library `libName`: the dispatch and event interfaces and the control's
// coclass, named `coclassName` with help string `coclassHelp`.
TypeLibraryDescription controlTypeLibrary(const ControlModuleIds& ids, const QString& libName,
                                          const InterfaceDescription& dispatch,
                                          const InterfaceDescription& events,
                                          const QString& coclassName, const QString& coclassHelp);
// The registry entries of the control class (toolbox bitmap 1).
ControlClassInfo controlClassInfo(const ControlModuleIds& ids);
// Adds the control class to `module`: made by `create`, registered with controlClassInfo(ids).
void addControlClass(ServerModule& module, const ControlModuleIds& ids,
                     ClassFactory::Creator create);
// What every control takes from its ids and interfaces: the class, the dispatch interface's
// identifier, name and help, the event interface and the status bits. The rest keeps the
// framework's defaults for the control to set.
ControlIdentity controlIdentity(const ControlModuleIds& ids, const InterfaceDescription& dispatch,
                                const InterfaceDescription& events);

} // namespace com
