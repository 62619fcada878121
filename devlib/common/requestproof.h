#ifndef CORVANE_REQUESTPROOF_H
#define CORVANE_REQUESTPROOF_H

// Per-request proofs of a maintenance (NVR) session. Login leaves both ends
// with a session key that never crosses the wire: HMAC-SHA256 keyed with the
// password over a label, the device's nonce, the client's nonce and the user.
// Every later request carries a counter and HMAC-SHA256(session key, type ||
// token || counter || the request's own fields); the device takes each counter
// once, so a captured request cannot be sent again, and nothing in it can be
// changed without the key.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::wire {

std::vector<uint8_t> sessionKey(const std::string &password, const std::vector<uint8_t> &deviceNonce,
                                const std::vector<uint8_t> &clientNonce, const std::string &user);

std::vector<uint8_t> requestProof(const std::vector<uint8_t> &key, uint16_t type, const std::vector<uint8_t> &token,
                                  uint64_t counter, const uint8_t *fields, std::size_t size);

// Device side: the counters a session has used. Calls of one session may run
// on several connections at once and arrive out of order, so a counter up to
// kWindow below the highest seen is still taken, once; older ones never.
class ReplayWindow
{
public:
    static constexpr uint64_t kWindow = 64;

    // True, and the counter is spent, when it was never used and is recent enough.
    bool accept(uint64_t counter);

private:
    uint64_t m_highest = 0;
    uint64_t m_seen = 0; // bit i: m_highest - i was used
};

} // namespace corvane::wire

#endif // CORVANE_REQUESTPROOF_H
