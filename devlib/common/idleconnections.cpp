#include "idleconnections.h"

#include <algorithm>

namespace corvane::wire {

void IdleConnections::put(const std::string &peer, std::unique_ptr<FrameClient> client)
{
    if (!client || !client->isOpen())
        return;
    // Closing a connection here never waits: its close_notify goes out without awaiting an answer.
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    dropStale(now);
    m_entries[peer] = {std::move(client), now};
    while (m_entries.size() > m_capacity) {
        m_entries.erase(std::min_element(m_entries.begin(), m_entries.end(), [](const auto &a, const auto &b) {
            return a.second.since < b.second.since;
        }));
    }
}

std::unique_ptr<FrameClient> IdleConnections::take(const std::string &peer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_entries.find(peer);
    if (it == m_entries.end())
        return nullptr;
    std::unique_ptr<FrameClient> client = std::move(it->second.client);
    const bool fresh = std::chrono::steady_clock::now() - it->second.since < m_maxIdle;
    m_entries.erase(it);
    return fresh ? std::move(client) : nullptr;
}

void IdleConnections::dropStale(std::chrono::steady_clock::time_point now)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (now - it->second.since >= m_maxIdle)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

} // namespace corvane::wire
