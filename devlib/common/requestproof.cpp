#include "requestproof.h"

#include "auth.h"

namespace corvane::wire {

namespace {

void appendU64(std::vector<uint8_t> &out, uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

} // namespace

std::vector<uint8_t> sessionKey(const std::string &password, const std::vector<uint8_t> &deviceNonce,
                                const std::vector<uint8_t> &clientNonce, const std::string &user)
{
    static const std::string label = "CVNW session key";
    std::vector<uint8_t> message(label.begin(), label.end());
    message.insert(message.end(), deviceNonce.begin(), deviceNonce.end());
    message.insert(message.end(), clientNonce.begin(), clientNonce.end());
    message.insert(message.end(), user.begin(), user.end());
    return hmacSha256(password, message.data(), message.size());
}

std::vector<uint8_t> requestProof(const std::vector<uint8_t> &key, uint16_t type, const std::vector<uint8_t> &token,
                                  uint64_t counter, const uint8_t *fields, std::size_t size)
{
    if (key.empty())
        return {};
    std::vector<uint8_t> message {uint8_t(type), uint8_t(type >> 8)};
    message.insert(message.end(), token.begin(), token.end());
    appendU64(message, counter);
    message.insert(message.end(), fields, fields + size);
    return hmacSha256(std::string(key.begin(), key.end()), message.data(), message.size());
}

bool ReplayWindow::accept(uint64_t counter)
{
    if (counter == 0)
        return false;
    if (counter > m_highest) {
        const uint64_t shift = counter - m_highest;
        m_seen = shift >= kWindow ? 0 : m_seen << shift;
        m_seen |= 1;
        m_highest = counter;
        return true;
    }
    const uint64_t behind = m_highest - counter;
    if (behind >= kWindow || (m_seen >> behind) & 1)
        return false;
    m_seen |= uint64_t(1) << behind;
    return true;
}

} // namespace corvane::wire
