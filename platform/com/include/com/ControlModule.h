// What a control module builds from its identifiers: its type library, its control class's
// registration and factory, and the identity the control framework takes.
#pragma once

#include "com/ClassFactory.h"
#include "com/ControlModuleIds.h"

#include <QString>

namespace com {

struct ControlClassInfo;
struct ControlIdentity;
struct InterfaceDescription;
struct TypeLibraryDescription;

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
