// One line of meterlab's event log, in the form `meterctl watch` prints: the milliseconds
// since the start, the meter's number, the event's name and its arguments by name, as a small
// JSON object ({"t_ms":120,"meter":0,"event":"OnAlarmEvent","channel":0,"code":1,...}).
#pragma once

#include <com/MemberDescription.h>
#include <com/Variant.h>

class EventLogText {
public:
    // The meter's own events and the stock events by name; others by their number.
    static QString eventName(com::DispId id);
    // The names of the event's arguments as the line shows them ("arg<i>" beyond those known).
    static QStringList argumentNames(com::DispId id);
    static QString line(qint64 elapsedMs, int meter, com::DispId id, const com::VariantList& args);
};
