#pragma once

#include "com/Events.h"

#include <QList>

namespace com {

// The sinks connected to one event interface, and firing to them. A sink may connect or
// disconnect sinks (itself included) while it is being called: firing works on a snapshot,
// holds a reference on each sink for the call and skips sinks disconnected meanwhile.
class EventConnections {
public:
    EventConnections() = default;
    ~EventConnections();
    EventConnections(const EventConnections&) = delete;
    EventConnections& operator=(const EventConnections&) = delete;

    [[nodiscard]] HRESULT advise(IEventSink* sink, std::uint32_t* cookie);
    [[nodiscard]] HRESULT unadvise(std::uint32_t cookie);
    void clear();
    int count() const { return int(m_sinks.size()); }
    void fire(DispId id, const VariantList& args);

private:
    struct Connection {
        std::uint32_t cookie;
        ComPtr<IEventSink> sink;
    };
    bool connected(std::uint32_t cookie) const;

    QList<Connection> m_sinks;
    std::uint32_t m_nextCookie = 1;
};

} // namespace com
