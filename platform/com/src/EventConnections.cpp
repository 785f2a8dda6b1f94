#include "com/EventConnections.h"

#include <algorithm>

namespace com {

EventConnections::~EventConnections() {
    clear();
}

HRESULT EventConnections::advise(IEventSink* sink, std::uint32_t* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = m_nextCookie++;
    m_sinks.append(Connection{*cookie, ComPtr<IEventSink>(sink)});
    return S_OK;
}

HRESULT EventConnections::unadvise(std::uint32_t cookie) {
    const auto it = std::find_if(m_sinks.begin(), m_sinks.end(),
                                 [cookie](const Connection& c) { return c.cookie == cookie; });
    if (it == m_sinks.end())
        return E_INVALIDARG;
    // Released after the list no longer holds it: its last release may reach back here.
    const ComPtr<IEventSink> sink = std::move(it->sink);
    m_sinks.erase(it);
    return S_OK;
}

void EventConnections::clear() {
    // The sinks are released when the taken list goes, after the member is already empty.
    const QList<Connection> sinks = std::exchange(m_sinks, {});
}

bool EventConnections::connected(std::uint32_t cookie) const {
    return std::any_of(m_sinks.begin(), m_sinks.end(),
                       [cookie](const Connection& c) { return c.cookie == cookie; });
}

void EventConnections::fire(DispId id, const VariantList& args) {
    // The snapshot holds its own reference on every sink for the whole round.
    QList<Connection> snapshot;
    snapshot.reserve(m_sinks.size());
    for (const Connection& c : std::as_const(m_sinks))
        snapshot.append(Connection{c.cookie, c.sink});
    for (const Connection& c : std::as_const(snapshot)) {
        // A sink's answer concerns the sink alone; the others are told all the same.
        if (connected(c.cookie))
            std::ignore = c.sink->OnEvent(id, args);
    }
}

} // namespace com
