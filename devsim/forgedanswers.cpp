#include "forgedanswers.h"

#include "discovery_wire.h"
#include "loopbackguard.h"

#include <asio/ip/address_v4.hpp>

#include <algorithm>
#include <cstdio>

using namespace corvane;

namespace {

// Any port: the address may be a device's own, whose port is taken.
bool bindForger(asio::io_context &io, const std::string &from, std::unique_ptr<asio::ip::udp::socket> &socket,
                std::string &error)
{
    asio::error_code ec;
    socket = std::make_unique<asio::ip::udp::socket>(io);
    socket->open(asio::ip::udp::v4(), ec);
    if (!ec)
        socket->bind(asio::ip::udp::endpoint(asio::ip::make_address_v4(from), 0), ec);
    if (ec)
        error = "cannot bind the forging host " + from + ": " + ec.message();
    return !ec;
}

// A probe reaches the simulator once per copy and per socket that hears it; a forger answers it once.
template <typename Id>
bool firstSighting(std::deque<Id> &seen, const Id &id)
{
    if (std::find(seen.begin(), seen.end(), id) != seen.end())
        return false;
    seen.push_back(id);
    if (seen.size() > 16)
        seen.pop_front();
    return true;
}

} // namespace

ForgedAnswers::ForgedAnswers(asio::io_context &io, const SimOptions &options)
    : m_io(io)
{
    for (const SimOptions::ForgedAnswer &rule : options.forgedAnswers)
        m_forgers.push_back({rule, nullptr, {}});
}

bool ForgedAnswers::start(std::string &error)
{
    for (Forger &forger : m_forgers) {
        if (!bindForger(m_io, forger.rule.from, forger.socket, error))
            return false;
    }
    return true;
}

void ForgedAnswers::onProbe(uint32_t probeId, const asio::ip::udp::endpoint &prober)
{
    if (!wire::destinationAllowed(prober.address()))
        return;
    for (Forger &forger : m_forgers) {
        if (!firstSighting(forger.seenProbes, probeId))
            continue;
        for (uint64_t claimed = forger.rule.first; claimed <= forger.rule.last; ++claimed) {
            wire::DiscoveryMessage answer;
            answer.type = wire::DiscoveryType::Answer;
            answer.id = probeId;
            char mac[16];
            std::snprintf(mac, sizeof mac, "0266%08x", unsigned(claimed));
            const std::string ip = asio::ip::address_v4(uint32_t(claimed)).to_string();
            answer.texts = {ip, "ZC-FORGED", std::string("FORGED") + (mac + 4), mac, "", "V0.0.0"};
            if (ip != forger.rule.from)
                answer.texts.push_back(forger.rule.from);
            asio::error_code ec;
            forger.socket->send_to(asio::buffer(wire::encodeDiscovery(answer)), prober, 0, ec);
        }
    }
}

ForgedOnvifAnswers::ForgedOnvifAnswers(asio::io_context &io, const SimOptions &options)
    : m_io(io)
{
    for (const SimOptions::ForgedOnvifAnswer &rule : options.forgedOnvifAnswers)
        m_forgers.push_back({rule.from, rule.copied, 0, nullptr, {}});
    for (const SimOptions::OnvifPhantoms &rule : options.onvifPhantoms)
        m_forgers.push_back({rule.from, {}, rule.count, nullptr, {}});
}

bool ForgedOnvifAnswers::start(std::string &error)
{
    for (Forger &forger : m_forgers) {
        if (!bindForger(m_io, forger.from, forger.socket, error))
            return false;
    }
    return true;
}

void ForgedOnvifAnswers::onProbe(const std::string &messageId, const asio::ip::udp::endpoint &prober,
                                 const Matches &matches)
{
    if (!wire::destinationAllowed(prober.address()))
        return;
    for (Forger &forger : m_forgers) {
        if (!firstSighting(forger.seenProbes, std::make_pair(messageId, prober)))
            continue;
        asio::error_code ec;
        if (forger.phantoms == 0) {
            const std::string match = matches.copyOf(forger.copied);
            if (!match.empty())
                forger.socket->send_to(asio::buffer(match), prober, 0, ec);
        }
        for (int i = 0; i < forger.phantoms; ++i)
            forger.socket->send_to(asio::buffer(matches.phantomAt(forger.from)), prober, 0, ec);
    }
}
