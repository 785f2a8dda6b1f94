#include "com/DispatchMap.h"

namespace com {

namespace {

// Coerces `args` to the declared types; R8Ref arguments must already be references.
HRESULT coerceArgs(const QList<ArgDescription>& decl, const VariantList& args, VariantList& out) {
    out.clear();
    out.reserve(args.size());
    for (qsizetype i = 0; i < args.size(); ++i) {
        const VarType want = decl.at(i).type;
        if (want == VarType::Empty) { // declared as "any value"
            out.append(args.at(i));
            continue;
        }
        Variant v;
        const HRESULT hr = args.at(i).changeType(want, v);
        if (failed(hr))
            return hr;
        out.append(v);
    }
    return S_OK;
}

// Checks the argument count, coerces the arguments and runs the handler; the result slot is
// written only on success.
HRESULT callHandler(const DispatchMap::Handler& handler, const QList<ArgDescription>& decl,
                    void* object, const VariantList& args, Variant* result) {
    if (!handler)
        return DISP_E_MEMBERNOTFOUND;
    if (args.size() != decl.size())
        return DISP_E_BADPARAMCOUNT;
    VariantList coerced;
    const HRESULT hr = coerceArgs(decl, args, coerced);
    if (failed(hr))
        return hr;
    Variant r;
    const HRESULT done = handler(object, coerced, r);
    if (succeeded(done) && result)
        *result = r;
    return done;
}

} // namespace

void DispatchMap::add(const MemberDescription& desc, Handler get, Handler put, Handler call) {
    Entry e{desc, std::move(get), std::move(put), std::move(call)};
    if (const auto it = m_byId.constFind(desc.id); it != m_byId.constEnd()) {
        m_byName.remove(m_entries.at(*it).desc.name.toCaseFolded());
        m_entries[*it] = std::move(e);
    } else {
        m_byId.insert(desc.id, m_entries.size());
        m_entries.append(std::move(e));
    }
    m_byName.insert(desc.name.toCaseFolded(), desc.id);
}

const MemberDescription* DispatchMap::find(DispId id) const {
    const auto it = m_byId.constFind(id);
    return it == m_byId.constEnd() ? nullptr : &m_entries.at(*it).desc;
}

QList<MemberDescription> DispatchMap::members() const {
    QList<MemberDescription> out;
    out.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        out.append(e.desc);
    return out;
}

HRESULT DispatchMap::idOfName(const QString& name, DispId* id) const {
    if (!id)
        return E_POINTER;
    const auto it = m_byName.constFind(name.toCaseFolded());
    if (it == m_byName.constEnd()) {
        *id = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    *id = *it;
    return S_OK;
}

HRESULT DispatchMap::invoke(void* object, DispId id, std::uint16_t flags, const VariantList& args,
                            Variant* result) const {
    const auto it = m_byId.constFind(id);
    if (it == m_byId.constEnd())
        return DISP_E_MEMBERNOTFOUND;
    const Entry& e = m_entries.at(*it);
    if (e.desc.kind == MemberKind::Method) {
        if (!(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        return invokeCall(e, object, args, result);
    }
    if (flags & DISPATCH_PROPERTYPUT)
        return invokePut(e, object, args);
    if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))
        return invokeGet(e, object, args, result);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT DispatchMap::invokeGet(const Entry& e, void* object, const VariantList& args,
                               Variant* result) const {
    return callHandler(e.get, e.desc.args, object, args, result);
}

HRESULT DispatchMap::invokePut(const Entry& e, void* object, const VariantList& args) const {
    QList<ArgDescription> decl = e.desc.args; // index (if any), then the value
    decl.append(ArgDescription{QStringLiteral("value"), e.desc.resultType});
    return callHandler(e.put, decl, object, args, nullptr);
}

HRESULT DispatchMap::invokeCall(const Entry& e, void* object, const VariantList& args,
                                Variant* result) const {
    return callHandler(e.call, e.desc.args, object, args, result);
}

} // namespace com
