#include "discoveryrequest.h"

#include "Discovery.h"
#include "auth.h"
#include "discovery_auth.h"
#include "discoverylog.h"
#include "loopbackguard.h"

#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>

#include <poll.h>

#include <array>
#include <chrono>
#include <random>

namespace corvane::discovery {

using asio::ip::udp;
using Clock = std::chrono::steady_clock;

namespace {

uint32_t newTransactionId()
{
    thread_local std::mt19937 generator{std::random_device{}()};
    return generator();
}

// Sends datagram until the device's reply of replyType with the same id
// arrives or the deadline passes; RVNA_OK with the reply, or an RVNA_ERR_* code.
int roundTrip(udp::socket &socket, const udp::endpoint &device, const std::vector<uint8_t> &datagram,
              wire::DiscoveryType replyType, uint32_t id, Clock::time_point deadline, wire::DiscoveryMessage &reply)
{
    asio::error_code ec;
    Clock::time_point nextSend = Clock::now();
    std::array<uint8_t, wire::kMaxDiscoveryDatagram + 1> buffer{};
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return RVNA_ERR_TIMEOUT;
        if (now >= nextSend) {
            socket.send_to(asio::buffer(datagram), device, 0, ec);
            if (ec && ec != asio::error::would_block && ec != asio::error::no_buffer_space)
                return RVNA_ERR_NETWORK;
            nextSend = now + std::chrono::milliseconds(DiscoveryRequest::kResendIntervalMs);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(nextSend, deadline) - now);
        pollfd pfd{socket.native_handle(), POLLIN, 0};
        if (::poll(&pfd, 1, int(wait.count()) + 1) <= 0)
            continue;
        udp::endpoint sender;
        const std::size_t size = socket.receive_from(asio::buffer(buffer), sender, 0, ec);
        if (ec || sender != device)
            continue;
        std::optional<wire::DiscoveryMessage> message = wire::decodeDiscovery(buffer.data(), size);
        if (message && message->type == replyType && message->id == id) {
            reply = std::move(*message);
            return RVNA_OK;
        }
    }
}

} // namespace

int DiscoveryRequest::transact(uint32_t deviceIp, wire::DiscoveryMessage request, const std::string &key,
                               wire::DiscoveryType replyType)
{
    if (!wire::destinationAllowed(deviceIp))
        return RVNA_ERR_REFUSED;
    // Texts that cannot go on the wire are refused before anything is sent.
    request.nonce.assign(wire::kDiscoveryNonceSize, 0);
    request.clientNonce.assign(wire::kDiscoveryNonceSize, 0);
    if (wire::encodeSignedRequest(request, std::vector<uint8_t>(32, 0)).empty())
        return RVNA_ERR_PARAM;

    asio::io_context io;
    udp::socket socket(io);
    asio::error_code ec;
    socket.open(udp::v4(), ec);
    if (!ec)
        socket.non_blocking(true, ec);
    if (ec)
        return RVNA_ERR_NETWORK;
    const udp::endpoint device(asio::ip::address_v4(deviceIp), wire::discoveryPort());
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);

    // A nonce can go stale between challenge and request (the device
    // restarted, or forgot it under a flood of challenges): one more try.
    std::vector<uint8_t> salt, derived;
    uint32_t cost = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        wire::DiscoveryMessage ask;
        ask.type = wire::DiscoveryType::ChallengeRequest;
        ask.purpose = request.type;
        ask.id = newTransactionId();
        wire::DiscoveryMessage challenge;
        int result = roundTrip(socket, device, wire::encodeDiscovery(ask), wire::DiscoveryType::Challenge, ask.id,
                               deadline, challenge);
        if (result != RVNA_OK)
            return result;

        // A device asking for less work would make a captured proof cheap to
        // guess against; one asking for much more would stall the caller.
        if (challenge.cost < wire::kMinDiscoveryCost || challenge.cost > wire::kMaxDiscoveryCost) {
            logLine("request to " + device.address().to_string() + ": refused a key derivation cost of "
                    + std::to_string(challenge.cost));
            return RVNA_ERR_NETWORK;
        }
        if (derived.empty() || challenge.salt != salt || challenge.cost != cost) {
            salt = challenge.salt;
            cost = challenge.cost;
            derived = wire::deriveDiscoveryKey(key, salt, cost);
        }
        request.id = newTransactionId();
        request.nonce = challenge.nonce;
        request.clientNonce = wire::randomBytes(wire::kDiscoveryNonceSize);
        const std::vector<uint8_t> datagram = wire::encodeSignedRequest(request, derived);
        if (datagram.empty())
            return RVNA_ERR_NETWORK;
        wire::DiscoveryMessage reply;
        result = roundTrip(socket, device, datagram, replyType, request.id, deadline, reply);
        if (result != RVNA_OK)
            return result;
        if (reply.result != wire::kStaleChallengeResult)
            return int(reply.result);
        logLine("request to " + device.address().to_string() + ": the device no longer held its nonce");
    }
    // The device kept refusing its own nonces: it did not take the request in time.
    return RVNA_ERR_TIMEOUT;
}

} // namespace corvane::discovery
