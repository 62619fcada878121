#ifndef WSDISCOVERY_H
#define WSDISCOVERY_H

// WS-Discovery for the simulated ONVIF devices: answers Probe (multicast on
// loopback and unicast to each device's own address) with ProbeMatches, and
// announces Hello and Bye. Runs on the simulator's event loop.
#include "answerbudget.h"
#include "forgedanswers.h"

#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>

#include <array>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

class OnvifDevice;
struct SimOptions;

class WsDiscovery
{
public:
    static constexpr int AnswerWindowMs = 200;
    static constexpr const char *Group = "239.255.255.250";

    WsDiscovery(asio::io_context &io, const SimOptions &options);
    bool start(const std::vector<OnvifDevice *> &devices, std::string &error);

    void hello(OnvifDevice &device);
    void bye(OnvifDevice &device);
    // The device moved: its socket follows it.
    void rebind(OnvifDevice &device);
    void setOnline(OnvifDevice &device, bool online);

private:
    using udp = asio::ip::udp;
    using Buffer = std::array<char, 65536>;
    struct Endpoint
    {
        OnvifDevice *device = nullptr;
        std::unique_ptr<udp::socket> socket;
        std::string ip;
        unsigned generation = 0;
        bool online = true;
        udp::endpoint sender;
        Buffer buffer{};
        std::deque<std::pair<std::string, udp::endpoint>> seenProbes;
        AnswerBudget answerBudget;
    };

    Endpoint *find(OnvifDevice &device);
    bool bind(Endpoint &endpoint, std::string &error);
    void receiveMulticast();
    void receive(Endpoint &endpoint);
    void handleProbe(const char *data, std::size_t size, const udp::endpoint &prober, Endpoint *only);
    void consider(Endpoint &endpoint, const std::string &messageId, const udp::endpoint &prober);
    void announce(Endpoint &endpoint, bool hello);
    std::string matchText(Endpoint &endpoint, const std::string &relatesTo);
    std::string matchText(const std::string &relatesTo, const std::string &endpointRef,
                          const std::vector<std::string> &scopes, const std::string &xaddr);
    void send(Endpoint &endpoint, const std::string &text, const udp::endpoint &to);

    asio::io_context &m_io;
    const SimOptions &m_options;
    uint16_t m_port;
    udp::socket m_multicast;
    udp::endpoint m_multicastSender;
    Buffer m_multicastBuffer{};
    std::vector<std::unique_ptr<Endpoint>> m_endpoints;
    ForgedOnvifAnswers m_forged;
    std::mt19937 m_rng;
    unsigned long m_messageNumber = 0;
    long long m_instanceId;
};

// A Probe asking for the types every simulated device has.
struct WsProbe
{
    std::string messageId;
    std::vector<std::string> scopes;
    bool exactScopes = false;

    // False for a datagram that is no such Probe.
    static bool parse(const std::string &datagram, WsProbe &probe);
    bool wants(const std::vector<std::string> &deviceScopes) const;
};

#endif // WSDISCOVERY_H
