#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace archive {

// What one acquisition tick left: a reading, or the reason it gave none.
enum class EntryKind : quint8 {
    Reading,
    Timeout,        // the station did not answer in time
    PortLost,       // the serial device went away during the tick
    PortCannotOpen, // the serial port could not be opened for the tick
    Checksum,       // the reply's check sum was wrong, and again when the request was repeated
    Stall,          // the station answered with error frames only, for longer than a tick may
};

// One tick as the archive keeps it. Time is UTC in milliseconds since 1970.
struct Entry {
    qint64 timeMs = 0;
    EntryKind kind = EntryKind::Reading;
    double humidityPct = 0.0;
    double pressureKpa = 0.0;
    quint16 rawHumidity = 0;
    quint16 rawPressure = 0;

    static Entry reading(qint64 timeMs, double humidityPct, double pressureKpa, quint16 rawHumidity,
                         quint16 rawPressure);
    static Entry failure(qint64 timeMs, EntryKind kind);

    bool isReading() const { return kind == EntryKind::Reading; }
    bool operator==(const Entry&) const = default;
};

// The failure kinds as stored: "timeout", "port_lost", "port_cannot_open", "checksum", "stall".
QString failureKindName(EntryKind kind);
std::optional<EntryKind> failureKindFromName(const QString& name);

} // namespace archive
