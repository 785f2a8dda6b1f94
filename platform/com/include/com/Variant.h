#pragma once

#include "com/HResult.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <cstdint>

namespace com {

// Kinds of automation value.
enum class VarType : std::uint8_t {
    Empty,
    I2,    // 16-bit signed integer
    I4,    // 32-bit signed integer
    R8,    // double
    Bool,  // automation boolean: 0 false, anything else true; true is stored as -1
    BStr,  // string
    R8Ref, // doubles by reference: the caller's first element plus how many it holds
    Blob,  // bytes (binary property-bag values)
};

QString varTypeName(VarType t);

// An automation value as it crosses a dispatch interface.
class Variant {
public:
    Variant() = default;
    Variant(std::int16_t v);
    Variant(std::int32_t v);
    Variant(double v);
    Variant(bool v);
    Variant(const QString& v);
    Variant(const char* utf8);

    static Variant i2(std::int16_t v) { return Variant(v); }
    static Variant i4(std::int32_t v) { return Variant(v); }
    static Variant r8(double v) { return Variant(v); }
    static Variant boolean(bool v) { return Variant(v); }
    // An automation boolean with its raw 16-bit content (any non-zero value means true).
    static Variant booleanRaw(std::int16_t raw);
    static Variant string(const QString& v) { return Variant(v); }
    // Doubles by reference: `first` points at the caller's first element and `count` says how
    // many consecutive doubles the caller owns there, so the callee can check its reads.
    static Variant r8Ref(double* first, qsizetype count);
    static Variant blob(const QByteArray& bytes);

    VarType type() const { return m_type; }
    bool isEmpty() const { return m_type == VarType::Empty; }

    // Raw accessors: meaningful only for the matching type (they return 0/empty otherwise).
    std::int16_t i2Value() const;
    std::int32_t i4Value() const;
    double r8Value() const;
    bool boolValue() const;
    std::int16_t boolRaw() const;
    QString stringValue() const;
    double* r8RefPointer() const;
    qsizetype r8RefCount() const;
    QByteArray blobValue() const;

    // Converts as automation does. I2 -> I4; R8 -> I4/I2 rounded half to even with
    // DISP_E_OVERFLOW out of range; numbers <-> Bool; strings <-> numbers in the C locale;
    // a string that is no number, or a blob to anything else, is DISP_E_TYPEMISMATCH.
    // Converting to R8Ref only accepts an R8Ref. On failure `out` is left untouched.
    [[nodiscard]] HRESULT changeType(VarType target, Variant& out) const;

    // Convenience conversions with the same rules.
    HRESULT toI4(std::int32_t& out) const;
    HRESULT toR8(double& out) const;
    [[nodiscard]] HRESULT toBool(bool& out) const;
    [[nodiscard]] HRESULT toStringValue(QString& out) const;

    // For logs and tests: "I4(5)", "BStr(\"x\")".
    QString debugText() const;

    friend bool operator==(const Variant& a, const Variant& b);

private:
    VarType m_type = VarType::Empty;
    std::int32_t m_int = 0; // I2, I4, Bool
    double m_real = 0.0;
    QString m_string;
    QByteArray m_blob;
    double* m_ref = nullptr;
    qsizetype m_refCount = 0;
};

using VariantList = QList<Variant>;

} // namespace com

Q_DECLARE_METATYPE(com::Variant)
Q_DECLARE_METATYPE(com::VariantList)
