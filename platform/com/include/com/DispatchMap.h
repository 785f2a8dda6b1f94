#pragma once

#include "com/MemberDescription.h"
#include "com/Variant.h"

#include <QHash>
#include <QList>
#include <functional>

namespace com {

// The member table behind a dispatch interface, with type-erased handlers: finds members by
// DISPID or by name, checks argument counts, coerces arguments to the declared types and
// reports the automation errors. DispatchTable<T> builds one with typed member functions.
class DispatchMap {
public:
    // A handler receives the object, the arguments already coerced to the declared types
    // (index first for indexed members) and a slot for the result.
    using Handler = std::function<HRESULT(void* object, const VariantList& args, Variant& result)>;

    // Adds a member. `get`/`put` serve properties, `call` serves methods. A later member with
    // the same DISPID replaces the earlier one.
    void add(const MemberDescription& desc, Handler get, Handler put, Handler call);

    [[nodiscard]] HRESULT invoke(void* object, DispId id, std::uint16_t flags,
                                 const VariantList& args, Variant* result) const;
    [[nodiscard]] HRESULT idOfName(const QString& name, DispId* id) const;
    const MemberDescription* find(DispId id) const;
    // Members in the order they were added.
    QList<MemberDescription> members() const;

private:
    struct Entry {
        MemberDescription desc;
        Handler get, put, call;
    };
    [[nodiscard]] HRESULT invokeGet(const Entry& e, void* object, const VariantList& args,
                                    Variant* result) const;
    [[nodiscard]] HRESULT invokePut(const Entry& e, void* object, const VariantList& args) const;
    [[nodiscard]] HRESULT invokeCall(const Entry& e, void* object, const VariantList& args,
                                     Variant* result) const;

    QList<Entry> m_entries;
    QHash<DispId, qsizetype> m_byId;
    QHash<QString, DispId> m_byName; // folded name
};

} // namespace com
