#include "PropertyGridModel.h"

#include <com/ControlSite.h>

#include <algorithm>

void PropertyGridModel::load(com::ControlSite& site) {
    m_rows.clear();
    com::InterfaceDescription info;
    if (!site.dispatch() || com::failed(site.dispatch()->GetTypeInfo(&info)))
        return;
    for (const com::MemberDescription& m : std::as_const(info.members)) {
        if (m.kind == com::MemberKind::Method)
            continue;
        Row row;
        row.name = m.name;
        row.id = m.id;
        row.type = com::varTypeName(m.resultType);
        row.indexed = m.kind == com::MemberKind::IndexedProperty;
        readValues(site, row);
        m_rows.append(row);
    }
}

void PropertyGridModel::readValues(com::ControlSite& site, Row& row) const {
    row.values.clear();
    com::Variant v;
    if (!row.indexed) {
        const com::HRESULT hr = site.getProperty(row.id, &v);
        row.values << (com::succeeded(hr) ? valueText(v) : com::hresultName(hr));
        return;
    }
    for (int i = 0; i < kMaxEntries; ++i) {
        if (com::failed(site.getIndexedProperty(row.id, i, &v)))
            break;
        row.values << valueText(v);
    }
}

int PropertyGridModel::propertyCount() const {
    return int(
        std::count_if(m_rows.cbegin(), m_rows.cend(), [](const Row& r) { return !r.indexed; }));
}

int PropertyGridModel::indexedCount() const {
    return int(m_rows.size()) - propertyCount();
}

com::HRESULT PropertyGridModel::edit(com::ControlSite& site, int row, int index,
                                     const QString& text, QString* error) {
    if (row < 0 || row >= m_rows.size())
        return com::E_INVALIDARG;
    Row& r = m_rows[row];
    const com::Variant value = typed(r, text);
    const com::HRESULT hr =
        r.indexed ? site.setIndexedProperty(r.id, index, value) : site.setProperty(r.id, value);
    if (com::failed(hr) && error)
        *error = QStringLiteral("%1: %2 refused (%3)").arg(r.name, text, com::hresultName(hr));
    readValues(site, r);
    return hr;
}

com::Variant PropertyGridModel::typed(const Row& row, const QString& text) {
    // Booleans are shown as True and False, and read back so; anything else is left to the
    // control's coercion.
    if (row.type == com::varTypeName(com::VarType::Bool)) {
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return com::Variant(true);
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return com::Variant(false);
    }
    return com::Variant(text);
}

QString PropertyGridModel::valueText(const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::Bool:
        return v.boolValue() ? QStringLiteral("True") : QStringLiteral("False");
    case com::VarType::BStr:
        return v.stringValue();
    default:
        break;
    }
    QString text;
    if (com::succeeded(v.toStringValue(text)))
        return text;
    return v.debugText();
}
