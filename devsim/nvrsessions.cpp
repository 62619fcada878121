#include "nvrsessions.h"

#include "TolanNetSDK.h"

#include "auth.h"
#include "tolanproto.h"

#include <algorithm>

using namespace corvane;

namespace {

constexpr std::size_t kMaxSessions = 128;
constexpr std::chrono::minutes kSessionIdle {30};

} // namespace

std::vector<uint8_t> NvrSessions::open(const std::string &source, uint64_t accountEpoch, std::vector<uint8_t> key)
{
    std::vector<uint8_t> token = wire::randomBytes(tolan::kTokenSize);
    if (token.size() != tolan::kTokenSize || key.empty())
        return {};
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sessions.size() >= kMaxSessions) {
        m_sessions.erase(std::min_element(m_sessions.begin(), m_sessions.end(), [](const auto &a, const auto &b) {
            return a.second.lastUse < b.second.lastUse;
        }));
    }
    Session &session = m_sessions[wire::toHex(token)];
    session.lastUse = std::chrono::steady_clock::now();
    session.source = source;
    session.accountEpoch = accountEpoch;
    session.key = std::move(key);
    return token;
}

uint32_t NvrSessions::check(const std::vector<uint8_t> &token, const std::string &source, uint64_t accountEpoch,
                            uint16_t type, uint64_t counter, const std::vector<uint8_t> &proof,
                            const uint8_t *fields, std::size_t size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(wire::toHex(token));
    if (it == m_sessions.end() || it->second.source != source)
        return TLSDK_ERR_SESSION;
    Session &session = it->second;
    const auto now = std::chrono::steady_clock::now();
    if (now - session.lastUse > kSessionIdle || session.accountEpoch != accountEpoch) {
        m_sessions.erase(it);
        return TLSDK_ERR_SESSION;
    }
    // The proof first: a forged request must not spend the operator's counters.
    if (!wire::sameProof(wire::requestProof(session.key, type, token, counter, fields, size), proof)
        || !session.counters.accept(counter))
        return TLSDK_ERR_PROTOCOL;
    session.lastUse = now;
    return TLSDK_OK;
}

bool NvrSessions::hasSessionFrom(const std::string &source) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::any_of(m_sessions.begin(), m_sessions.end(),
                       [&source](const auto &entry) { return entry.second.source == source; });
}

void NvrSessions::close(const std::vector<uint8_t> &token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.erase(wire::toHex(token));
}

void NvrSessions::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.clear();
}
