#pragma once

#include "com/MemberDescription.h"

#include <QList>
#include <QString>

namespace com {

struct CoClassDescription {
    Clsid clsid;
    QString name;
    QString helpString;
    Iid defaultInterface;
    Iid eventInterface;
};

// A module's type library: what it registers and what containers read about its interfaces.
struct TypeLibraryDescription {
    Guid libId;
    QString name;
    std::uint16_t majorVersion = 1;
    std::uint16_t minorVersion = 1;
    QString helpString;
    QString helpFile;
    QList<InterfaceDescription> interfaces;
    QList<CoClassDescription> coclasses;

    // "1.1"
    QString versionString() const;
    const InterfaceDescription* findInterface(const Iid& iid) const;
};

} // namespace com
