#include "ArchiveEntry.h"

#include <array>
#include <utility>

namespace archive {

namespace {

const std::array<std::pair<EntryKind, QLatin1StringView>, 5> kFailureNames{{
    {EntryKind::Timeout, QLatin1StringView("timeout")},
    {EntryKind::PortLost, QLatin1StringView("port_lost")},
    {EntryKind::PortCannotOpen, QLatin1StringView("port_cannot_open")},
    {EntryKind::Checksum, QLatin1StringView("checksum")},
    {EntryKind::Stall, QLatin1StringView("stall")},
}};

} // namespace

Entry Entry::reading(qint64 timeMs, double humidityPct, double pressureKpa, quint16 rawHumidity,
                     quint16 rawPressure) {
    return {timeMs, EntryKind::Reading, humidityPct, pressureKpa, rawHumidity, rawPressure};
}

Entry Entry::failure(qint64 timeMs, EntryKind kind) {
    Entry e;
    e.timeMs = timeMs;
    e.kind = kind;
    return e;
}

QString failureKindName(EntryKind kind) {
    for (const auto& [k, name] : kFailureNames) {
        if (k == kind) {
            return name;
        }
    }
    return {};
}

std::optional<EntryKind> failureKindFromName(const QString& name) {
    for (const auto& [k, n] : kFailureNames) {
        if (name == n) {
            return k;
        }
    }
    return std::nullopt;
}

} // namespace archive
