// One line of meterlab's event log: the time, the event's name and its arguments, as a small
// JSON object ({"time":"10:04:05.120","event":"OnAlarmEvent","args":[0,1,9.5,true]}).
#pragma once

#include <com/MemberDescription.h>
#include <com/Variant.h>

#include <QTime>

class EventLogText {
public:
    // The meter's own events and the stock events by name; others as "Event<dispid>".
    static QString eventName(com::DispId id);
    static QString line(const QTime& time, com::DispId id, const com::VariantList& args);
};
