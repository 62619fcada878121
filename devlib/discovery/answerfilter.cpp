#include "answerfilter.h"

#include "discoverylog.h"

#include <asio/ip/address_v4.hpp>

namespace corvane::discovery {

bool AnswerFilter::accept(const wire::DiscoveryMessage &answer, uint32_t sender)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (m_networksRead == std::chrono::steady_clock::time_point() || now - m_networksRead > kNetworkRefresh) {
        m_networks = wire::localNetworks();
        m_networksRead = now;
    }
    std::string why;
    const wire::AnswerVerdict verdict = wire::checkAnswer(answer, sender, m_networks, &why);
    if (verdict == wire::AnswerVerdict::Accepted || verdict == wire::AnswerVerdict::Relayed)
        return true;
    ++m_dropped;
    if (m_dropped <= kLoggedDrops || m_dropped % 1000 == 0)
        logLine("dropped answer from " + asio::ip::address_v4(sender).to_string() + ": " + why + " ("
                + std::to_string(m_dropped) + " dropped)");
    return false;
}

} // namespace corvane::discovery
