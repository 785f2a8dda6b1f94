#include "com/TypeLibrary.h"

namespace com {

QString TypeLibraryDescription::versionString() const {
    return QStringLiteral("%1.%2").arg(majorVersion).arg(minorVersion);
}

const InterfaceDescription* TypeLibraryDescription::findInterface(const Iid& iid) const {
    for (const InterfaceDescription& i : interfaces) {
        if (i.iid == iid)
            return &i;
    }
    return nullptr;
}

} // namespace com
