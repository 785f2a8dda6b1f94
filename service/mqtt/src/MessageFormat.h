#pragma once

#include "archive/ArchiveEntry.h"
#include "mqtt/MqttOptions.h"

#include <QByteArray>

#include <vector>

namespace mqtt {

// One message as it goes to the broker.
struct OutMessage {
    QByteArray topic;
    QByteArray payload;
    bool retain = false;
};

// The topics and payloads the station publishes:
//   <prefix>/state         a completed tick's values, JSON
//   <prefix>/event         a failed tick's time and kind, JSON
//   <prefix>/link          ON / OFF, retained: whether ticks complete
//   <prefix>/availability  online / offline, retained; offline is also the last will
//   <discovery>/{sensor,binary_sensor}/brisora_<station>/<object>/config, retained
class MessageFormat {
public:
    explicit MessageFormat(const ResolvedOptions& options);

    OutMessage availability(bool online) const;
    OutMessage link(bool up) const;
    // The state message for a reading, the event message for a failure.
    OutMessage tick(const archive::Entry& entry) const;
    // The discovery configurations; none when discovery is off.
    std::vector<OutMessage> discovery() const;

    // "brisora_<station>" with every character other than letters, digits, _ and - made _.
    static QString nodeId(const QString& station);

private:
    OutMessage state(const archive::Entry& entry) const;
    OutMessage event(const archive::Entry& entry) const;
    QByteArray topic(const char* leaf) const;

    ResolvedOptions m_options;
};

} // namespace mqtt
