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

// A JSON value as text (a lone value, not a document).
QString jsonText(const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
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
    return QString::number(id);
}

QStringList EventLogText::argumentNames(com::DispId id) {
    switch (id) {
    case gaugekit::eventid::OnAlarmEvent:
        return {"channel", "code", "value", "alarm"};
    case com::DISPID_KEYDOWN:
    case com::DISPID_KEYUP:
        return {"keyCode", "shift"};
    case com::DISPID_KEYPRESS:
        return {"keyAscii"};
    case com::DISPID_MOUSEDOWN:
    case com::DISPID_MOUSEMOVE:
    case com::DISPID_MOUSEUP:
        return {"button", "shift", "x", "y"};
    default:
        break;
    }
    return {};
}

QString EventLogText::line(qint64 elapsedMs, int meter, com::DispId id,
                           const com::VariantList& args) {
    QStringList parts{QStringLiteral("\"t_ms\":%1").arg(elapsedMs),
                      QStringLiteral("\"meter\":%1").arg(meter),
                      QStringLiteral("\"event\":") + jsonText(eventName(id))};
    const QStringList names = argumentNames(id);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString key = i < names.size() ? names[i] : QStringLiteral("arg%1").arg(i);
        parts.append(jsonText(key) + QLatin1Char(':') + jsonText(toJson(args[i])));
    }
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}
