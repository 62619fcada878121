#ifndef DISCOVERYRESPONDER_H
#define DISCOVERYRESPONDER_H

// The devices' side of the discovery protocol: answers multicast and range
// probes, applies set-address and reset-password requests.
#include "answerbudget.h"
#include "auth.h"
#include "discovery_wire.h"
#include "forgedanswers.h"
#include "simfleet.h"
#include "simoptions.h"

#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

class DiscoveryResponder
{
public:
    // Answers are spread over this window after a device first sees a probe.
    static constexpr int AnswerWindowMs = 200;

    DiscoveryResponder(asio::io_context &io, SimFleet &fleet, const SimOptions &options);
    DiscoveryResponder(const DiscoveryResponder &) = delete;
    DiscoveryResponder &operator=(const DiscoveryResponder &) = delete;

    // Opens the multicast socket and one socket per device; false with a message.
    bool start(std::string &error);

private:
    using udp = asio::ip::udp;
    using Buffer = std::array<uint8_t, corvane::wire::kMaxDiscoveryDatagram + 1>;

    // A nonce handed out by a challenge, good for one request from the same source.
    struct PendingNonce
    {
        std::vector<uint8_t> nonce;
        asio::ip::address source;
        corvane::wire::DiscoveryType purpose;
        std::chrono::steady_clock::time_point issued;
    };
    // A reply kept for a resent request: the same bytes from the same sender get it again.
    struct SentReply
    {
        udp::endpoint to;
        std::vector<uint8_t> request;
        std::vector<uint8_t> reply;
    };

    // One device's discovery socket and memory of recent probes and replies.
    struct Endpoint
    {
        SimDevice *device = nullptr;
        std::unique_ptr<udp::socket> socket;   // null while the device is outside loopback
        std::unique_ptr<udp::socket> reserved; // bound ahead of a move to this address
        std::string reservedIp;
        unsigned generation = 0;              // bumped whenever the socket is replaced
        udp::endpoint sender;
        Buffer buffer{};
        std::deque<uint32_t> seenProbes;
        std::deque<SentReply> sentReplies;
        std::deque<PendingNonce> nonces;
        AnswerBudget answerBudget;
        // The salt of this device's key derivation, and the keys derived with
        // it (by secret, a few at most), so that a request costs the device
        // one derivation per secret and not one per datagram.
        std::vector<uint8_t> salt = corvane::wire::randomBytes(corvane::wire::kDiscoverySaltSize);
        std::map<std::string, std::vector<uint8_t>> derivedKeys;
    };

    static const std::vector<uint8_t> &derivedKey(Endpoint &endpoint, const std::string &secret);
    static void dropNonceOfBusiestSource(std::deque<PendingNonce> &nonces);
    std::unique_ptr<udp::socket> bindDeviceSocket(const std::string &ip, asio::error_code &ec);
    void receiveMulticast();
    void receiveOnDevice(Endpoint &endpoint);
    void handleDeviceDatagram(Endpoint &endpoint, std::size_t size);
    void considerProbe(Endpoint &endpoint, uint32_t probeId, const udp::endpoint &prober);
    void sendAnswer(Endpoint &endpoint, uint32_t probeId, const udp::endpoint &prober);
    void handleChallenge(Endpoint &endpoint, const corvane::wire::DiscoveryMessage &request, std::size_t size);
    bool takeNonce(Endpoint &endpoint, const corvane::wire::DiscoveryMessage &request);
    void handleSetAddress(Endpoint &endpoint, const corvane::wire::DiscoveryMessage &request, std::size_t size);
    uint32_t evaluateSetAddress(Endpoint &endpoint, const corvane::wire::DiscoveryMessage &request,
                                std::string &newIp);
    void handleResetPassword(Endpoint &endpoint, const corvane::wire::DiscoveryMessage &request, std::size_t size);
    uint32_t evaluateResetPassword(Endpoint &endpoint, const corvane::wire::DiscoveryMessage &request);
    void reply(Endpoint &endpoint, std::size_t requestSize, const corvane::wire::DiscoveryMessage &message);
    bool resendCachedReply(Endpoint &endpoint, std::size_t size);
    void sendFrom(Endpoint &endpoint, const std::vector<uint8_t> &datagram, const udp::endpoint &to);
    void onDeviceMoved(SimDevice &device, const std::string &oldIp);
    void rebind(Endpoint &endpoint);

    asio::io_context &m_io;
    SimFleet &m_fleet;
    SimOptions m_options;
    uint16_t m_port;
    udp::socket m_multicast;
    udp::endpoint m_multicastSender;
    Buffer m_multicastBuffer{};
    // Devices outside loopback cannot own a socket; they answer through this one.
    udp::socket m_shared;
    std::vector<std::unique_ptr<Endpoint>> m_endpoints; // by device index
    ForgedAnswers m_forged;
    std::mt19937 m_rng;
};

#endif // DISCOVERYRESPONDER_H
