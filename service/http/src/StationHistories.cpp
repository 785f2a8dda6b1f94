#include "StationHistories.h"

#include <algorithm>

namespace http {

StationHistories::StationHistories(const QString& location, const QString& ownStation)
    : m_location(archive::ArchiveLocation::parse(location)) {
    m_configured = !location.isEmpty() && m_location.enabled;
    if (!m_configured) {
        m_location = archive::ArchiveLocation{};
        m_location.enabled = false;
    }
    // The station the location names is the one the service writes; otherwise its own name.
    if (m_location.station.isEmpty()) {
        m_location.station = ownStation;
    }
    m_list = std::make_unique<HistoryStore>(m_location, archive::ArchiveStore::Mode::List);
}

StationHistories::Found StationHistories::find(const QString& station,
                                               std::shared_ptr<HistoryStore>& out) {
    const QString name = station.isEmpty() ? m_location.station : station;
    out.reset();
    if (auto it = m_open.find(name); it != m_open.end()) {
        it->second.lastUse = ++m_uses;
        out = it->second.store;
        return Found::Yes;
    }
    if (name != m_location.station && !(m_configured && m_location.server)) {
        return Found::NoSuchStation; // a file holds one station
    }
    archive::ArchiveLocation where = m_location;
    where.station = name;
    auto store = std::make_shared<HistoryStore>(where);
    // Another station must be there now; the service's own may not have written yet.
    if (name != m_location.station && store->open() == archive::E_ARCHIVE_NOSTATION) {
        return Found::NoSuchStation;
    }
    makeRoom();
    m_open[name] = {store, ++m_uses};
    out = std::move(store);
    return Found::Yes;
}

void StationHistories::makeRoom() {
    while (m_open.size() >= kMaxOpen) {
        const auto oldest =
            std::min_element(m_open.begin(), m_open.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
        m_open.erase(oldest);
    }
}

com::HRESULT StationHistories::stations(std::vector<archive::ArchiveStore::StationInfo>& out) {
    return m_list->stations(out);
}

} // namespace http
