#include "forgedanswers.h"

#include "discovery_wire.h"
#include "loopbackguard.h"

#include <asio/ip/address_v4.hpp>

#include <algorithm>
#include <cstdio>

using namespace corvane;

ForgedAnswers::ForgedAnswers(asio::io_context &io, const SimOptions &options)
    : m_io(io)
{
    for (const SimOptions::ForgedAnswer &spec : options.forgedAnswers)
        m_forgers.push_back({spec, nullptr, {}});
}

bool ForgedAnswers::start(std::string &error)
{
    for (Forger &forger : m_forgers) {
        asio::error_code ec;
        forger.socket = std::make_unique<asio::ip::udp::socket>(m_io);
        forger.socket->open(asio::ip::udp::v4(), ec);
        // Any port: the address may be a device's own, whose port is taken.
        if (!ec)
            forger.socket->bind(asio::ip::udp::endpoint(asio::ip::make_address_v4(forger.spec.from), 0), ec);
        if (ec) {
            error = "cannot bind the forging host " + forger.spec.from + ": " + ec.message();
            return false;
        }
    }
    return true;
}

void ForgedAnswers::onProbe(uint32_t probeId, const asio::ip::udp::endpoint &prober)
{
    if (!wire::destinationAllowed(prober.address()))
        return;
    for (Forger &forger : m_forgers) {
        if (std::find(forger.seenProbes.begin(), forger.seenProbes.end(), probeId) != forger.seenProbes.end())
            continue;
        forger.seenProbes.push_back(probeId);
        if (forger.seenProbes.size() > 16)
            forger.seenProbes.pop_front();
        for (uint64_t claimed = forger.spec.first; claimed <= forger.spec.last; ++claimed) {
            wire::DiscoveryMessage answer;
            answer.type = wire::DiscoveryType::Answer;
            answer.id = probeId;
            char mac[16];
            std::snprintf(mac, sizeof mac, "0266%08x", unsigned(claimed));
            const std::string ip = asio::ip::address_v4(uint32_t(claimed)).to_string();
            answer.texts = {ip, "ZC-FORGED", std::string("FORGED") + (mac + 4), mac, "", "V0.0.0"};
            if (ip != forger.spec.from)
                answer.texts.push_back(forger.spec.from);
            asio::error_code ec;
            forger.socket->send_to(asio::buffer(wire::encodeDiscovery(answer)), prober, 0, ec);
        }
    }
}
