#ifndef CORVANE_IDLECONNECTIONS_H
#define CORVANE_IDLECONNECTIONS_H

// Connections a logout left open, one per device (address:port), for the
// next login to the same device: it then skips the TCP and TLS handshakes.
// A connection carries no session after the logout; the device closes it
// when it idles too long, and a login that finds it closed opens a new one.

#include "frame.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace corvane::wire {

class IdleConnections
{
public:
    IdleConnections(std::size_t capacity, std::chrono::seconds maxIdle) : m_capacity(capacity), m_maxIdle(maxIdle) {}

    // Keeps an open connection to peer; an older one to the same peer is closed.
    void put(const std::string &peer, std::unique_ptr<FrameClient> client);
    // The connection kept for peer, or nullptr when there is none or it idled too long.
    std::unique_ptr<FrameClient> take(const std::string &peer);

private:
    struct Entry
    {
        std::unique_ptr<FrameClient> client;
        std::chrono::steady_clock::time_point since;
    };
    void dropStale(std::chrono::steady_clock::time_point now); // m_mutex held

    const std::size_t m_capacity;
    const std::chrono::seconds m_maxIdle;
    std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
};

} // namespace corvane::wire

#endif // CORVANE_IDLECONNECTIONS_H
