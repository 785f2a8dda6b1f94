#pragma once

#include "com/DispatchMap.h"

#include <type_traits>

namespace com {

// How a C++ value type travels as an automation value.
template <class V>
struct DispatchValue;

template <>
struct DispatchValue<std::int32_t> {
    static constexpr VarType type = VarType::I4;
    static Variant wrap(std::int32_t v) { return Variant(v); }
    static std::int32_t unwrap(const Variant& v) { return v.i4Value(); }
};
template <>
struct DispatchValue<std::int16_t> {
    static constexpr VarType type = VarType::I2;
    static Variant wrap(std::int16_t v) { return Variant(v); }
    static std::int16_t unwrap(const Variant& v) { return v.i2Value(); }
};
template <>
struct DispatchValue<double> {
    static constexpr VarType type = VarType::R8;
    static Variant wrap(double v) { return Variant(v); }
    static double unwrap(const Variant& v) { return v.r8Value(); }
};
template <>
struct DispatchValue<bool> {
    static constexpr VarType type = VarType::Bool;
    static Variant wrap(bool v) { return Variant(v); }
    static bool unwrap(const Variant& v) { return v.boolValue(); }
};
template <>
struct DispatchValue<QString> {
    static constexpr VarType type = VarType::BStr;
    static Variant wrap(const QString& v) { return Variant(v); }
    static QString unwrap(const Variant& v) { return v.stringValue(); }
};

// Typed builder of a DispatchMap for objects of class T. A class lists each member once:
//
//   static const DispatchTable<Meter>& table() {
//       static const DispatchTable<Meter> t = [] {
//           DispatchTable<Meter> t;
//           t.property("ScaleMax", 38, &Meter::scaleMax, &Meter::setScaleMax);
//           t.indexedProperty("TitleString", 62, "title", &Meter::title, &Meter::setTitle);
//           t.method("UpdateMeter", 55, {}, VarType::Empty,
//                    [](Meter& m, const VariantList&, Variant&) { return m.updateMeter(); });
//           return t;
//       }();
//       return t;
//   }
//
// and gets invoke, name lookup, argument coercion, the automation errors and the member
// descriptions of its type library from it.
template <class T>
class DispatchTable : public DispatchMap {
public:
    using Method = std::function<HRESULT(T& object, const VariantList& args, Variant& result)>;

    // A read/write property. The setter may take V or const V&.
    template <class V, class S>
    DispatchTable& property(const QString& name, DispId id, V (T::*get)() const, void (T::*set)(S),
                            const QString& help = {}) {
        using Traits = DispatchValue<std::decay_t<V>>;
        MemberDescription d{name, id, MemberKind::Property, {}, Traits::type, help};
        add(
            d,
            [get](void* o, const VariantList&, Variant& r) {
                r = Traits::wrap((static_cast<T*>(o)->*get)());
                return S_OK;
            },
            [set](void* o, const VariantList& a, Variant&) {
                (static_cast<T*>(o)->*set)(Traits::unwrap(a.at(0)));
                return S_OK;
            },
            {});
        return *this;
    }

    // An indexed property; the accessors return DISP_E_BADINDEX (or another failure) for an
    // index they do not hold, and the table passes that code on.
    template <class V, class S>
    DispatchTable& indexedProperty(const QString& name, DispId id, const QString& indexName,
                                   HRESULT (T::*get)(std::int32_t, V*) const,
                                   HRESULT (T::*set)(std::int32_t, S), const QString& help = {}) {
        using Traits = DispatchValue<std::decay_t<V>>;
        MemberDescription d{
            name, id, MemberKind::IndexedProperty, {{indexName, VarType::I4}}, Traits::type, help};
        add(
            d,
            [get](void* o, const VariantList& a, Variant& r) {
                V v{};
                const HRESULT hr = (static_cast<T*>(o)->*get)(a.at(0).i4Value(), &v);
                if (succeeded(hr))
                    r = Traits::wrap(v);
                return hr;
            },
            [set](void* o, const VariantList& a, Variant&) {
                return (static_cast<T*>(o)->*set)(a.at(0).i4Value(), Traits::unwrap(a.at(1)));
            },
            {});
        return *this;
    }

    // A method. Its arguments arrive coerced to the declared types (an R8Ref argument must be
    // passed as R8Ref). The result, if any, should be of `resultType`.
    DispatchTable& method(const QString& name, DispId id, const QList<ArgDescription>& args,
                          VarType resultType, Method fn, const QString& help = {}) {
        MemberDescription d{name, id, MemberKind::Method, args, resultType, help};
        add(d, {}, {}, [fn](void* o, const VariantList& a, Variant& r) {
            return fn(*static_cast<T*>(o), a, r);
        });
        return *this;
    }

    [[nodiscard]] HRESULT invoke(T& object, DispId id, std::uint16_t flags, const VariantList& args,
                                 Variant* result) const {
        return DispatchMap::invoke(&object, id, flags, args, result);
    }
};

} // namespace com
