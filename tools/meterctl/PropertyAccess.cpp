#include "PropertyAccess.h"

#include <com/ControlSite.h>

#include <cmath>

PropertyAccess::PropertyAccess(com::ControlSite& site)
    : m_site(site) {
    // A control that cannot describe itself offers no property by name: the description stays
    // empty and every lookup below finds nothing.
    if (site.dispatch() && com::failed(site.dispatch()->GetTypeInfo(&m_interface)))
        m_interface = {};
}

const com::MemberDescription* PropertyAccess::member(const QString& name) const {
    for (const com::MemberDescription& m : m_interface.members) {
        if (m.name.compare(name, Qt::CaseInsensitive) == 0 && m.kind != com::MemberKind::Method)
            return &m;
    }
    return nullptr;
}

const com::MemberDescription* PropertyAccess::checked(const QString& name, bool indexed,
                                                      QString* error, com::HRESULT* hr) const {
    const com::MemberDescription* m = member(name);
    *hr = com::DISP_E_UNKNOWNNAME;
    if (!m) {
        *error = QStringLiteral("the meter has no property %1").arg(name);
        return nullptr;
    }
    *hr = com::DISP_E_BADPARAMCOUNT;
    if ((m->kind == com::MemberKind::IndexedProperty) != indexed) {
        *error = QStringLiteral("%1 %2").arg(m->name, indexed ? QStringLiteral("takes no index")
                                                              : QStringLiteral("needs an index"));
        return nullptr;
    }
    return m;
}

com::HRESULT PropertyAccess::set(const Assignment& a, QString* error) {
    com::HRESULT refused = com::S_OK;
    const com::MemberDescription* m = checked(a.name, a.index.has_value(), error, &refused);
    if (!m)
        return refused;
    const auto value = a.value(m->resultType);
    if (!value) {
        *error = QStringLiteral("\"%1\" is not a value for %2").arg(a.text, m->name);
        return com::DISP_E_TYPEMISMATCH;
    }
    const com::HRESULT hr = a.index ? m_site.setIndexedProperty(m->id, *a.index, *value)
                                    : m_site.setProperty(m->id, *value);
    if (com::failed(hr))
        *error = QStringLiteral("cannot set %1 to \"%2\" (%3)")
                     .arg(m->name, a.text, com::hresultName(hr));
    return hr;
}

com::HRESULT PropertyAccess::get(const QString& name, std::optional<std::int32_t> index,
                                 com::Variant* value, QString* error) {
    com::HRESULT refused = com::S_OK;
    const com::MemberDescription* m = checked(name, index.has_value(), error, &refused);
    if (!m)
        return refused;
    const com::HRESULT hr =
        index ? m_site.getIndexedProperty(m->id, *index, value) : m_site.getProperty(m->id, value);
    if (com::failed(hr))
        *error = QStringLiteral("cannot read %1 (%2)").arg(m->name, com::hresultName(hr));
    return hr;
}
