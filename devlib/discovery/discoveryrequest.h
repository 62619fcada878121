#ifndef CORVANE_DISCOVERYREQUEST_H
#define CORVANE_DISCOVERYREQUEST_H

#include "discovery_wire.h"

#include <cstdint>

namespace corvane::discovery {

// Sends a request to one device and waits for its reply, resending a few
// times; returns the device's result or an RVNA_ERR_* code.
class DiscoveryRequest
{
public:
    static constexpr int kResendIntervalMs = 300;
    static constexpr int kTimeoutMs = 2000;

    static int transact(uint32_t deviceIp, wire::DiscoveryMessage request, wire::DiscoveryType replyType);
};

} // namespace corvane::discovery

#endif // CORVANE_DISCOVERYREQUEST_H
