#include "EventLogText.h"

#include "GaugeKitIds.h"

#include <QJsonArray>
#include <QJsonDocument>

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
    // Written by hand so that the keys keep their order: time, event, arguments.
    const auto quoted = [](const QString& s) {
        const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
        return QString::fromUtf8(array.mid(1, array.size() - 2));
    };
    return QStringLiteral("{\"time\":%1,\"event\":%2,\"args\":%3}")
        .arg(quoted(time.toString(QStringLiteral("HH:mm:ss.zzz"))), quoted(eventName(id)),
             QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)));
}
