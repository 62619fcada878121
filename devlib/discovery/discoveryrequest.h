#ifndef CORVANE_DISCOVERYREQUEST_H
#define CORVANE_DISCOVERYREQUEST_H

#include "discovery_wire.h"

#include <cstdint>
#include <string>

namespace corvane::discovery {

// Sends a request to one device and waits for its reply: first a challenge
// for a fresh nonce, then the request with its proof made with key. Each
// step is resent a few times; the whole stays within kTimeoutMs. Returns the
// device's result or an RVNA_ERR_* code.
class DiscoveryRequest
{
public:
    static constexpr int kResendIntervalMs = 300;
    static constexpr int kTimeoutMs = 2000;

    static int transact(uint32_t deviceIp, wire::DiscoveryMessage request, const std::string &key,
                        wire::DiscoveryType replyType);
};

} // namespace corvane::discovery

#endif // CORVANE_DISCOVERYREQUEST_H
