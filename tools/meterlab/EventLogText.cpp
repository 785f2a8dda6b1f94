#include "EventLogText.h"

#include "GaugeKitIds.h"

#include <com/VariantJson.h>

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
    case com::DISPID_ERROREVENT:
        return QStringLiteral("Error");
    case com::DISPID_READYSTATECHANGE:
        return QStringLiteral("ReadyStateChange");
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
    case com::DISPID_ERROREVENT:
        return {"number",   "description", "scode",        "source",
                "helpFile", "helpContext", "cancelDisplay"};
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
                      QStringLiteral("\"event\":") + com::jsonText(eventName(id))};
    const QStringList names = argumentNames(id);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString key = i < names.size() ? names[i] : QStringLiteral("arg%1").arg(i);
        parts.append(com::jsonText(key) + QLatin1Char(':') + com::jsonText(com::toJson(args[i])));
    }
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}
