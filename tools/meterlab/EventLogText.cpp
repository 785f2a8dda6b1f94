#include "EventLogText.h"

#include "GaugeKitIds.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue toJson(const com::Variant& v) {
    switch (v.type()) {
    case com::VarType::I2:
        return v.i2Value();
    case com::VarType::I4:
        return v.i4Value();
    case com::VarType::R8:
        return v.r8Value();
    case com::VarType::Bool:
        return v.boolValue();
    case com::VarType::BStr:
        return v.stringValue();
    case com::VarType::Empty:
    case com::VarType::R8Ref:
    case com::VarType::Blob:
        break;
    }
    return QJsonValue();
}

} // namespace

QString EventLogText::eventName(com::DispId id) {
    switch (id) {
    case gaugekit::eventid::OnInternalTimer:
        return QStringLiteral("OnInternalTimer");
    case gaugekit::eventid::OnAlarmEvent:
        return QStringLiteral("OnAlarmEvent");
    case gaugekit::eventid::DrawReady:
        return QStringLiteral("DrawReady");
    case com::DISPID_CLICK:
        return QStringLiteral("Click");
    case com::DISPID_DBLCLICK:
        return QStringLiteral("DblClick");
    case com::DISPID_KEYDOWN:
        return QStringLiteral("KeyDown");
    case com::DISPID_KEYPRESS:
        return QStringLiteral("KeyPress");
    case com::DISPID_KEYUP:
        return QStringLiteral("KeyUp");
    case com::DISPID_MOUSEDOWN:
        return QStringLiteral("MouseDown");
    case com::DISPID_MOUSEMOVE:
        return QStringLiteral("MouseMove");
    case com::DISPID_MOUSEUP:
        return QStringLiteral("MouseUp");
    default:
        break;
    }
    return QStringLiteral("Event%1").arg(id);
}

QString EventLogText::line(const QTime& time, com::DispId id, const com::VariantList& args) {
    QJsonArray values;
    for (const com::Variant& v : args)
        values.append(toJson(v));
    QJsonObject o;
    o.insert(QStringLiteral("time"), time.toString(QStringLiteral("HH:mm:ss.zzz")));
    o.insert(QStringLiteral("event"), eventName(id));
    o.insert(QStringLiteral("args"), values);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}
