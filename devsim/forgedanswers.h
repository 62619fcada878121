#ifndef FORGEDANSWERS_H
#define FORGEDANSWERS_H

// Attack: hosts that answer every probe at once, as invented devices, for
// addresses they do not hold (--forge-answers). An answer for another
// address than the host's own names the host as its relay, as a moved
// device's answer would. ForgedOnvifAnswers: hosts that answer every
// WS-Discovery probe at once with a copy of a real camera's ProbeMatch
// (--forge-onvif), before the camera's own answer, and hosts that answer it
// with a crowd of ProbeMatches, each a new endpoint at the host (--onvif-phantoms).
#include "simoptions.h"

#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class ForgedAnswers
{
public:
    ForgedAnswers(asio::io_context &io, const SimOptions &options);

    // Binds each forging host's address; false with a message.
    bool start(std::string &error);
    // A probe any device heard: every forging host answers it once.
    void onProbe(uint32_t probeId, const asio::ip::udp::endpoint &prober);

private:
    struct Forger
    {
        SimOptions::ForgedAnswer rule;
        std::unique_ptr<asio::ip::udp::socket> socket;
        std::deque<uint32_t> seenProbes;
    };

    asio::io_context &m_io;
    std::vector<Forger> m_forgers;
};

class ForgedOnvifAnswers
{
public:
    struct Matches
    {
        // The ProbeMatch the device at an address would send to the probe, empty for no such device.
        std::function<std::string(const std::string &deviceIp)> copyOf;
        // A ProbeMatch to the probe naming a new endpoint reference, with XAddrs at hostIp.
        std::function<std::string(const std::string &hostIp)> phantomAt;
    };

    ForgedOnvifAnswers(asio::io_context &io, const SimOptions &options);

    bool start(std::string &error);
    void onProbe(const std::string &messageId, const asio::ip::udp::endpoint &prober, const Matches &matches);

private:
    struct Forger
    {
        std::string from;
        std::string copied; // empty for a phantom host
        int phantoms = 0;
        std::unique_ptr<asio::ip::udp::socket> socket;
        std::deque<std::pair<std::string, asio::ip::udp::endpoint>> seenProbes;
    };

    asio::io_context &m_io;
    std::vector<Forger> m_forgers;
};

#endif // FORGEDANSWERS_H
