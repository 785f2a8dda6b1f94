#include "com/ControlModule.h"

#include "com/ClassRegistration.h"
#include "com/ControlBase.h"
#include "com/ServerModule.h"
#include "com/TypeLibrary.h"

namespace com {

Guid guidFromLatin1(const char* text) {
    return Guid::fromString(QString::fromLatin1(text));
}

TypeLibraryDescription controlTypeLibrary(const ControlModuleIds& ids, const QString& libName,
                                          const InterfaceDescription& dispatch,
                                          const InterfaceDescription& events,
                                          const QString& coclassName, const QString& coclassHelp) {
    TypeLibraryDescription lib;
    lib.libId = guidFromLatin1(ids.libId);
    lib.name = libName;
    lib.majorVersion = ids.typeLibMajor;
    lib.minorVersion = ids.typeLibMinor;
    lib.helpString = QLatin1String(ids.typeName);
    lib.interfaces = {dispatch, events};
    lib.coclasses = {{guidFromLatin1(ids.clsidControl), coclassName, coclassHelp,
                      guidFromLatin1(ids.iidDispatch), guidFromLatin1(ids.iidEvents)}};
    return lib;
}

ControlClassInfo controlClassInfo(const ControlModuleIds& ids) {
    return {guidFromLatin1(ids.clsidControl),
            QLatin1String(ids.typeName),
            QLatin1String(ids.progId),
            guidFromLatin1(ids.libId),
            QStringLiteral("%1.%2").arg(ids.typeLibMajor).arg(ids.typeLibMinor),
            ids.miscStatus,
            1};
}

void addControlClass(ServerModule& module, const ControlModuleIds& ids,
                     ClassFactory::Creator create) {
    module.addClass(guidFromLatin1(ids.clsidControl), std::move(create),
                    registration::controlClassRegistrar(controlClassInfo(ids)));
}

ControlIdentity controlIdentity(const ControlModuleIds& ids, const InterfaceDescription& dispatch,
                                const InterfaceDescription& events) {
    ControlIdentity id;
    id.clsid = guidFromLatin1(ids.clsidControl);
    id.dispatchIid = guidFromLatin1(ids.iidDispatch);
    id.dispatchName = dispatch.name;
    id.dispatchHelp = dispatch.helpString;
    id.eventInterface = events;
    id.miscStatus = ids.miscStatus;
    return id;
}

} // namespace com
