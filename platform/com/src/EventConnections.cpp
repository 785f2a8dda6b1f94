#include "com/EventConnections.h"

#include <algorithm>

namespace com {

EventConnections::~EventConnections() {
    clear();
}

HRESULT EventConnections::advise(IEventSink* sink, std::uint32_t* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    sink->AddRef();
    *cookie = m_nextCookie++;
    m_sinks.append(Connection{*cookie, sink});
    return S_OK;
}

HRESULT EventConnections::unadvise(std::uint32_t cookie) {
    const auto it = std::find_if(m_sinks.begin(), m_sinks.end(),
                                 [cookie](const Connection& c) { return c.cookie == cookie; });
    if (it == m_sinks.end())
        return E_INVALIDARG;
    IEventSink* sink = it->sink;
    m_sinks.erase(it);
    sink->Release();
    return S_OK;
}

void EventConnections::clear() {
    const QList<Connection> sinks = std::exchange(m_sinks, {});
    for (const Connection& c : sinks)
        c.sink->Release();
}

bool EventConnections::connected(std::uint32_t cookie) const {
    return std::any_of(m_sinks.begin(), m_sinks.end(),
                       [cookie](const Connection& c) { return c.cookie == cookie; });
}

void EventConnections::fire(DispId id, const VariantList& args) {
    const QList<Connection> snapshot = m_sinks;
    for (const Connection& c : snapshot)
        c.sink->AddRef();
    for (const Connection& c : snapshot) {
        if (connected(c.cookie))
            c.sink->OnEvent(id, args);
    }
    for (const Connection& c : snapshot)
        c.sink->Release();
}

} // namespace com
