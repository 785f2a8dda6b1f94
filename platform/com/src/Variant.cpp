#include "com/Variant.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace com {

QString varTypeName(VarType t) {
    switch (t) {
    case VarType::Empty:
        return QStringLiteral("Empty");
    case VarType::I2:
        return QStringLiteral("I2");
    case VarType::I4:
        return QStringLiteral("I4");
    case VarType::R8:
        return QStringLiteral("R8");
    case VarType::Bool:
        return QStringLiteral("Bool");
    case VarType::BStr:
        return QStringLiteral("BStr");
    case VarType::R8Ref:
        return QStringLiteral("R8Ref");
    case VarType::Blob:
        return QStringLiteral("Blob");
    }
    return QStringLiteral("?");
}

Variant::Variant(std::int16_t v)
    : m_type(VarType::I2)
    , m_int(v) {}

Variant::Variant(std::int32_t v)
    : m_type(VarType::I4)
    , m_int(v) {}

Variant::Variant(double v)
    : m_type(VarType::R8)
    , m_real(v) {}

Variant::Variant(bool v)
    : m_type(VarType::Bool)
    , m_int(v ? -1 : 0) {}

Variant::Variant(const QString& v)
    : m_type(VarType::BStr)
    , m_string(v) {}

Variant::Variant(const char* utf8)
    : Variant(QString::fromUtf8(utf8)) {}

Variant Variant::booleanRaw(std::int16_t raw) {
    Variant v;
    v.m_type = VarType::Bool;
    v.m_int = raw;
    return v;
}

Variant Variant::r8Ref(double* first, qsizetype count) {
    Variant v;
    v.m_type = VarType::R8Ref;
    v.m_ref = first;
    v.m_refCount = first ? std::max<qsizetype>(count, 0) : 0;
    return v;
}

Variant Variant::blob(const QByteArray& bytes) {
    Variant v;
    v.m_type = VarType::Blob;
    v.m_blob = bytes;
    return v;
}

std::int16_t Variant::i2Value() const {
    return m_type == VarType::I2 ? std::int16_t(m_int) : 0;
}
std::int32_t Variant::i4Value() const {
    return m_type == VarType::I4 ? m_int : 0;
}
double Variant::r8Value() const {
    return m_type == VarType::R8 ? m_real : 0.0;
}
bool Variant::boolValue() const {
    return m_type == VarType::Bool && m_int != 0;
}
std::int16_t Variant::boolRaw() const {
    return m_type == VarType::Bool ? std::int16_t(m_int) : 0;
}
QString Variant::stringValue() const {
    return m_type == VarType::BStr ? m_string : QString();
}
double* Variant::r8RefPointer() const {
    return m_type == VarType::R8Ref ? m_ref : nullptr;
}
qsizetype Variant::r8RefCount() const {
    return m_type == VarType::R8Ref ? m_refCount : 0;
}
QByteArray Variant::blobValue() const {
    return m_type == VarType::Blob ? m_blob : QByteArray();
}

namespace {

// The value of a numeric-like variant as a double (Empty 0, Bool -1/0, R8Ref its first element).
HRESULT numericValue(const Variant& v, double& out) {
    switch (v.type()) {
    case VarType::Empty:
        out = 0.0;
        return S_OK;
    case VarType::I2:
        out = v.i2Value();
        return S_OK;
    case VarType::I4:
        out = v.i4Value();
        return S_OK;
    case VarType::R8:
        out = v.r8Value();
        return S_OK;
    case VarType::Bool:
        out = v.boolValue() ? -1.0 : 0.0;
        return S_OK;
    case VarType::R8Ref:
        if (v.r8RefCount() < 1)
            return DISP_E_TYPEMISMATCH;
        out = *v.r8RefPointer();
        return S_OK;
    case VarType::BStr: {
        bool ok = false;
        const QString s = v.stringValue().trimmed();
        out = QLocale::c().toDouble(s, &ok);
        if (!ok) {
            // Hexadecimal integers ("&H..." or "0x...") as automation and colour values use.
            QString hex = s;
            if (hex.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
                hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                hex = hex.mid(2);
            else
                return DISP_E_TYPEMISMATCH;
            const qulonglong n = hex.toULongLong(&ok, 16);
            if (!ok || hex.isEmpty() || n > 0xFFFFFFFFull)
                return DISP_E_TYPEMISMATCH;
            out = double(std::int32_t(std::uint32_t(n)));
        }
        return S_OK;
    }
    case VarType::Blob:
        return DISP_E_TYPEMISMATCH;
    }
    return DISP_E_TYPEMISMATCH;
}

// Rounds half to even and checks the range of the target integer.
HRESULT roundToInteger(double value, double lo, double hi, std::int32_t& out) {
    if (std::isnan(value))
        return DISP_E_OVERFLOW;
    const double r = std::nearbyint(value); // default rounding mode: half to even
    if (r < lo || r > hi)
        return DISP_E_OVERFLOW;
    out = std::int32_t(r);
    return S_OK;
}

HRESULT toBoolean(const Variant& v, bool& out) {
    if (v.type() == VarType::BStr) {
        const QString s = v.stringValue().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            out = true;
            return S_OK;
        }
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            out = false;
            return S_OK;
        }
    }
    double d = 0;
    const HRESULT hr = numericValue(v, d);
    if (failed(hr))
        return hr;
    out = d != 0.0;
    return S_OK;
}

// Shortest text that reads back to the same double.
QString formatNumber(double d) {
    return QLocale::c().toString(d, 'g', QLocale::FloatingPointShortest);
}

HRESULT toText(const Variant& v, QString& out) {
    switch (v.type()) {
    case VarType::Empty:
        out.clear();
        return S_OK;
    case VarType::I2:
    case VarType::I4:
        out = QString::number(v.type() == VarType::I2 ? v.i2Value() : v.i4Value());
        return S_OK;
    case VarType::R8:
        out = formatNumber(v.r8Value());
        return S_OK;
    case VarType::Bool:
        out = v.boolValue() ? QStringLiteral("True") : QStringLiteral("False");
        return S_OK;
    case VarType::BStr:
        out = v.stringValue();
        return S_OK;
    case VarType::R8Ref:
        if (v.r8RefCount() < 1)
            return DISP_E_TYPEMISMATCH;
        out = formatNumber(*v.r8RefPointer());
        return S_OK;
    case VarType::Blob:
        return DISP_E_TYPEMISMATCH;
    }
    return DISP_E_TYPEMISMATCH;
}

} // namespace

HRESULT Variant::changeType(VarType target, Variant& out) const {
    if (target == m_type) {
        out = *this;
        return S_OK;
    }
    switch (target) {
    case VarType::Empty:
        out = Variant();
        return S_OK;
    case VarType::I2:
    case VarType::I4: {
        double d = 0;
        HRESULT hr = numericValue(*this, d);
        if (failed(hr))
            return hr;
        std::int32_t n = 0;
        const bool shortTarget = target == VarType::I2;
        hr = roundToInteger(d, shortTarget ? -32768.0 : -2147483648.0,
                            shortTarget ? 32767.0 : 2147483647.0, n);
        if (failed(hr))
            return hr;
        out = shortTarget ? Variant(std::int16_t(n)) : Variant(n);
        return S_OK;
    }
    case VarType::R8: {
        double d = 0;
        const HRESULT hr = numericValue(*this, d);
        if (succeeded(hr))
            out = Variant(d);
        return hr;
    }
    case VarType::Bool: {
        bool b = false;
        const HRESULT hr = toBoolean(*this, b);
        if (succeeded(hr))
            out = Variant(b);
        return hr;
    }
    case VarType::BStr: {
        QString s;
        const HRESULT hr = toText(*this, s);
        if (succeeded(hr))
            out = Variant(s);
        return hr;
    }
    case VarType::R8Ref:
    case VarType::Blob:
        return DISP_E_TYPEMISMATCH;
    }
    return DISP_E_BADVARTYPE;
}

HRESULT Variant::toI4(std::int32_t& out) const {
    Variant v;
    const HRESULT hr = changeType(VarType::I4, v);
    if (succeeded(hr))
        out = v.i4Value();
    return hr;
}

HRESULT Variant::toR8(double& out) const {
    Variant v;
    const HRESULT hr = changeType(VarType::R8, v);
    if (succeeded(hr))
        out = v.r8Value();
    return hr;
}

HRESULT Variant::toBool(bool& out) const {
    return toBoolean(*this, out);
}

HRESULT Variant::toStringValue(QString& out) const {
    return toText(*this, out);
}

QString Variant::debugText() const {
    QString inner;
    switch (m_type) {
    case VarType::Empty:
        return QStringLiteral("Empty");
    case VarType::BStr:
        inner = QLatin1Char('"') + m_string + QLatin1Char('"');
        break;
    case VarType::Bool:
        inner = QString::number(m_int);
        break;
    case VarType::R8Ref:
        inner = QStringLiteral("%1 x%2").arg(quintptr(m_ref), 0, 16).arg(m_refCount);
        break;
    case VarType::Blob:
        inner = QString::fromLatin1(m_blob.toHex());
        break;
    default:
        toText(*this, inner);
    }
    return varTypeName(m_type) + QLatin1Char('(') + inner + QLatin1Char(')');
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.m_type != b.m_type)
        return false;
    switch (a.m_type) {
    case VarType::Empty:
        return true;
    case VarType::I2:
    case VarType::I4:
        return a.m_int == b.m_int;
    case VarType::Bool:
        return (a.m_int != 0) == (b.m_int != 0);
    case VarType::R8:
        return a.m_real == b.m_real;
    case VarType::BStr:
        return a.m_string == b.m_string;
    case VarType::R8Ref:
        return a.m_ref == b.m_ref && a.m_refCount == b.m_refCount;
    case VarType::Blob:
        return a.m_blob == b.m_blob;
    }
    return false;
}

} // namespace com
