#include "com/VariantJson.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace com {

QJsonValue toJson(const Variant& v) {
    switch (v.type()) {
    case VarType::I2:
        return v.i2Value();
    case VarType::I4:
        return v.i4Value();
    case VarType::R8:
        if (!std::isfinite(v.r8Value()))
            return QString::number(v.r8Value());
        return v.r8Value();
    case VarType::Bool:
        return v.boolValue();
    case VarType::BStr:
        return v.stringValue();
    default:
        return QJsonValue();
    }
}

QString jsonText(const QJsonValue& v) {
    const QByteArray array = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace com
