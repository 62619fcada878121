#ifndef CORVANE_ANSWERFILTER_H
#define CORVANE_ANSWERFILTER_H

#include "discovery_answer.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace corvane::discovery {

// Lets through the answers checkAnswer() accepts; drops the others and
// counts them in the library log.
class AnswerFilter
{
public:
    bool accept(const wire::DiscoveryMessage &answer, uint32_t sender);

    // The host's networks are read again after this long.
    static constexpr std::chrono::seconds kNetworkRefresh {2};
    // Every drop is logged up to this count, then every thousandth.
    static constexpr uint64_t kLoggedDrops = 100;

private:
    std::mutex m_mutex;
    std::vector<wire::LocalNetwork> m_networks;
    std::chrono::steady_clock::time_point m_networksRead {};
    uint64_t m_dropped = 0;
};

} // namespace corvane::discovery

#endif // CORVANE_ANSWERFILTER_H
