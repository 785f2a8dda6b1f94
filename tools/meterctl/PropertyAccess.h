// Properties of a hosted meter by name, as a user types them: "Name" or "Name[i]", values
// converted to the property's type and then by the control itself.
#pragma once

#include "Assignment.h"

#include <com/HResult.h>
#include <com/MemberDescription.h>
#include <com/Variant.h>

#include <QJsonValue>
#include <QString>
#include <optional>

namespace com {
class ControlSite;
}

class PropertyAccess {
public:
    // `site` holds the control; its type information is read once here.
    explicit PropertyAccess(com::ControlSite& site);

    // The property named (any case), or null.
    const com::MemberDescription* member(const QString& name) const;
    // Sets the property; on failure the code and, in `error`, what went wrong:
    // DISP_E_UNKNOWNNAME (no such property), DISP_E_BADPARAMCOUNT (an index missing or one too
    // many), DISP_E_TYPEMISMATCH (a malformed value) or the control's own error.
    [[nodiscard]] com::HRESULT set(const Assignment& a, QString* error);
    [[nodiscard]] com::HRESULT get(const QString& name, std::optional<std::int32_t> index,
                                   com::Variant* value, QString* error);
    const com::InterfaceDescription& interface() const { return m_interface; }

private:
    const com::MemberDescription* checked(const QString& name, bool indexed, QString* error,
                                          com::HRESULT* hr) const;

    com::ControlSite& m_site;
    com::InterfaceDescription m_interface;
};
