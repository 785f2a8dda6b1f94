#include "com/PropertyBag.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>
#include <limits>

namespace com {

namespace {

QString fold(const QString& key) {
    return key.toCaseFolded();
}

// JSON has no numbers for NaN and the infinities, and its writer drops the sign of -0; they
// are written as these words.
const QLatin1String kNotANumber("NaN");
const QLatin1String kInfinity("Infinity");
const QLatin1String kMinusInfinity("-Infinity");
const QLatin1String kMinusZero("-0");

QJsonValue realToJson(double v) {
    if (std::isnan(v))
        return kNotANumber;
    if (std::isinf(v))
        return v > 0 ? kInfinity : kMinusInfinity;
    if (v == 0.0 && std::signbit(v))
        return kMinusZero;
    return v;
}

bool realFromJson(const QJsonValue& v, double& out) {
    if (v.isDouble())
        out = v.toDouble();
    else if (v == kNotANumber)
        out = std::numeric_limits<double>::quiet_NaN();
    else if (v == kInfinity)
        out = std::numeric_limits<double>::infinity();
    else if (v == kMinusInfinity)
        out = -std::numeric_limits<double>::infinity();
    else if (v == kMinusZero)
        out = -0.0;
    else
        return false;
    return true;
}

QJsonObject variantToJson(const Variant& v) {
    QJsonObject o{{QStringLiteral("type"), varTypeName(v.type())}};
    switch (v.type()) {
    case VarType::I2:
        o.insert(QStringLiteral("value"), v.i2Value());
        break;
    case VarType::I4:
        o.insert(QStringLiteral("value"), v.i4Value());
        break;
    case VarType::R8:
        o.insert(QStringLiteral("value"), realToJson(v.r8Value()));
        break;
    case VarType::Bool:
        o.insert(QStringLiteral("value"), v.boolValue());
        break;
    case VarType::BStr:
        o.insert(QStringLiteral("value"), v.stringValue());
        break;
    case VarType::Blob:
        o.insert(QStringLiteral("value"), QString::fromLatin1(v.blobValue().toBase64()));
        break;
    case VarType::Empty:
    case VarType::R8Ref:
        break;
    }
    return o;
}

// In range first: converting a double beyond the integers to one is undefined.
bool isWholeNumber(const QJsonValue& v, double lo, double hi) {
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    return d >= lo && d <= hi && std::trunc(d) == d;
}

bool variantFromJson(const QJsonValue& json, Variant& out) {
    const QJsonObject o = json.toObject();
    const QString type = o.value(QStringLiteral("type")).toString();
    const QJsonValue value = o.value(QStringLiteral("value"));
    if (type == QLatin1String("Empty"))
        out = Variant();
    else if (type == QLatin1String("I2") && isWholeNumber(value, -32768, 32767))
        out = Variant(std::int16_t(value.toInt()));
    else if (type == QLatin1String("I4") && isWholeNumber(value, -2147483648.0, 2147483647.0))
        out = Variant(std::int32_t(value.toInteger()));
    else if (double real = 0; type == QLatin1String("R8") && realFromJson(value, real))
        out = Variant(real);
    else if (type == QLatin1String("Bool") && value.isBool())
        out = Variant(value.toBool());
    else if (type == QLatin1String("BStr") && value.isString())
        out = Variant(value.toString());
    else if (type == QLatin1String("Blob") && value.isString()) {
        auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return false;
        out = Variant::blob(*decoded);
    } else
        return false;
    return true;
}

} // namespace

HRESULT PropertyBag::read(const QString& key, Variant& out) const {
    const auto it = m_values.constFind(fold(key));
    if (it == m_values.constEnd())
        return E_INVALIDARG;
    out = it->value;
    return S_OK;
}

HRESULT PropertyBag::write(const QString& key, const Variant& value) {
    if (value.type() == VarType::R8Ref)
        return DISP_E_TYPEMISMATCH; // a reference to the caller's memory cannot be kept
    m_values.insert(fold(key), Entry{key, value});
    return S_OK;
}

bool PropertyBag::contains(const QString& key) const {
    return m_values.contains(fold(key));
}

bool PropertyBag::remove(const QString& key) {
    return m_values.remove(fold(key)) > 0;
}

QStringList PropertyBag::keys() const {
    QStringList out;
    for (const Entry& e : m_values)
        out.append(e.key);
    return out;
}

QJsonObject PropertyBag::toJson() const {
    QJsonObject o;
    for (const Entry& e : m_values)
        o.insert(e.key, variantToJson(e.value));
    return o;
}

HRESULT PropertyBag::fromJson(const QJsonObject& json) {
    QMap<QString, Entry> loaded;
    for (auto it = json.begin(); it != json.end(); ++it) {
        Variant v;
        if (!variantFromJson(it.value(), v))
            return E_INVALIDARG;
        loaded.insert(fold(it.key()), Entry{it.key(), v});
    }
    m_values = loaded;
    return S_OK;
}

HRESULT PropertyBag::saveToFile(const QString& path) const {
    // A bag too large to load back is refused before the file is touched.
    const QByteArray text = QJsonDocument(toJson()).toJson();
    if (text.size() > kMaxFileBytes)
        return STG_E_WRITEFAULT;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return STG_E_WRITEFAULT;
    file.write(text);
    return file.commit() ? S_OK : STG_E_WRITEFAULT;
}

HRESULT PropertyBag::loadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return STG_E_FILENOTFOUND;
    // Read no further than the largest bag a file may hold, also from a device that never ends.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes)
        return STG_E_READFAULT;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return STG_E_READFAULT;
    return failed(fromJson(doc.object())) ? STG_E_READFAULT : S_OK;
}

bool operator==(const PropertyBag& a, const PropertyBag& b) {
    return a.m_values == b.m_values;
}

} // namespace com
