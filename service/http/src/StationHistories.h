#pragma once

#include "HistoryStore.h"

#include <map>
#include <memory>

namespace http {

// The history of every station the archive holds, each opened when first asked for. A file
// holds the service's own station only; a database server may hold many, read side by side.
// Few connections stay open at once: the least recently asked for is closed to make room
// (a CSV export under way keeps its own until it ends).
class StationHistories {
public:
    static constexpr std::size_t kMaxOpen = 8;

    enum class Found { Yes, NoSuchStation };

    // `location` as the service's `archive` key gives it (empty or "off": none); `ownStation`
    // is read when no station is asked for and the location names none.
    StationHistories(const QString& location, const QString& ownStation);

    const QString& ownStation() const { return m_location.station; }

    // The history of `station` (empty: the service's own). NoSuchStation when the archive
    // does not hold it; a failure to reach the archive is the store's to tell on use.
    Found find(const QString& station, std::shared_ptr<HistoryStore>& out);
    // Every station with its first and last reading and count.
    com::HRESULT stations(std::vector<archive::ArchiveStore::StationInfo>& out);
    QString lastError() const { return m_list->lastError(); }

private:
    struct Open {
        std::shared_ptr<HistoryStore> store;
        quint64 lastUse = 0;
    };
    void makeRoom();

    archive::ArchiveLocation m_location;
    bool m_configured = false;
    std::map<QString, Open> m_open;
    std::unique_ptr<HistoryStore> m_list;
    quint64 m_uses = 0;
};

} // namespace http
