#include "wsdiscovery.h"

#include "loopbackguard.h"
#include "onvifdevice.h"
#include "simdevice.h"
#include "simoptions.h"
#include "soapxml.h"

#include <asio/ip/multicast.hpp>
#include <asio/steady_timer.hpp>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>

namespace {

const std::size_t RememberedProbes = 16;

std::string newMessageId(std::mt19937 &rng)
{
    char text[64];
    std::uniform_int_distribution<uint32_t> number;
    std::snprintf(text, sizeof text, "urn:uuid:%08x-%04x-4%03x-a%03x-%08x%04x", number(rng), number(rng) & 0xFFFF,
                  number(rng) & 0xFFF, number(rng) & 0xFFF, number(rng), number(rng) & 0xFFFF);
    return text;
}

bool knownType(pugi::xml_node scope, const std::string &qname)
{
    const std::size_t colon = qname.find(':');
    const std::string local = colon == std::string::npos ? qname : qname.substr(colon + 1);
    const std::string ns = soap::resolvePrefix(scope, colon == std::string::npos ? "" : qname.substr(0, colon));
    if (local == "NetworkVideoTransmitter")
        return ns.empty() || ns == onvifns::Network;
    if (local == "Device")
        return ns.empty() || ns == onvifns::Device;
    return false;
}

// RFC 3986 prefix matching by path segment, the default of Probe's MatchBy.
bool scopeMatches(const std::string &wanted, const std::vector<std::string> &scopes)
{
    std::string prefix = wanted;
    while (!prefix.empty() && prefix.back() == '/')
        prefix.pop_back();
    return std::any_of(scopes.begin(), scopes.end(), [&](const std::string &scope) {
        return scope == prefix || (scope.compare(0, prefix.size(), prefix) == 0 && scope[prefix.size()] == '/');
    });
}

} // namespace

bool WsProbe::parse(const std::string &datagram, WsProbe &probe)
{
    soap::Request request;
    std::string error;
    if (!request.parse(datagram, error) || !soap::is(request.operation(), onvifns::Discovery, "Probe"))
        return false;
    probe.messageId = soap::child(request.header(), onvifns::Addressing, "MessageID").text().as_string();
    const pugi::xml_node types = soap::child(request.operation(), onvifns::Discovery, "Types");
    std::istringstream typeList(types.text().as_string());
    std::string type;
    while (typeList >> type) {
        if (!knownType(types, type))
            return false;
    }
    const pugi::xml_node scopes = soap::child(request.operation(), onvifns::Discovery, "Scopes");
    probe.exactScopes =
        std::string(scopes.attribute("MatchBy").as_string()) == "http://schemas.xmlsoap.org/ws/2005/04/discovery/strcmp0";
    std::istringstream scopeList(scopes.text().as_string());
    std::string wanted;
    probe.scopes.clear();
    while (scopeList >> wanted)
        probe.scopes.push_back(wanted);
    return true;
}

bool WsProbe::wants(const std::vector<std::string> &deviceScopes) const
{
    return std::all_of(scopes.begin(), scopes.end(), [&](const std::string &wanted) {
        return exactScopes ? std::find(deviceScopes.begin(), deviceScopes.end(), wanted) != deviceScopes.end()
                           : scopeMatches(wanted, deviceScopes);
    });
}

WsDiscovery::WsDiscovery(asio::io_context &io, const SimOptions &options)
    : m_io(io)
    , m_options(options)
    , m_port(options.onvifDiscoveryPort)
    , m_multicast(io)
    , m_forged(io, options)
    , m_rng(options.seed ? options.seed + 3 : std::random_device{}())
    , m_instanceId(std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::system_clock::now().time_since_epoch()).count())
{
}

bool WsDiscovery::start(const std::vector<OnvifDevice *> &devices, std::string &error)
{
    asio::error_code ec;
    const asio::ip::address_v4 group = asio::ip::make_address_v4(Group);
    m_multicast.open(udp::v4(), ec);
    if (!ec)
        m_multicast.set_option(asio::socket_base::reuse_address(true), ec); // other simulators share the group
    if (!ec)
        m_multicast.bind(udp::endpoint(group, m_port), ec);
    // The devices live on loopback: the group is joined there only.
    if (!ec)
        m_multicast.set_option(asio::ip::multicast::join_group(group, asio::ip::address_v4::loopback()), ec);
    if (ec) {
        error = "cannot open the WS-Discovery socket on port " + std::to_string(m_port) + ": " + ec.message();
        return false;
    }
    if (!m_forged.start(error))
        return false;
    for (OnvifDevice *device : devices) {
        auto endpoint = std::make_unique<Endpoint>();
        endpoint->device = device;
        if (!bind(*endpoint, error))
            return false;
        m_endpoints.push_back(std::move(endpoint));
    }
    for (const auto &endpoint : m_endpoints) {
        receive(*endpoint);
        announce(*endpoint, true);
    }
    receiveMulticast();
    return true;
}

bool WsDiscovery::bind(Endpoint &endpoint, std::string &error)
{
    endpoint.ip = endpoint.device->device().currentIp();
    ++endpoint.generation;
    endpoint.socket = std::make_unique<udp::socket>(m_io);
    asio::error_code ec;
    endpoint.socket->open(udp::v4(), ec);
    if (!ec)
        endpoint.socket->bind(udp::endpoint(asio::ip::make_address_v4(endpoint.ip, ec), m_port), ec);
    if (!ec)
        endpoint.socket->set_option(asio::ip::multicast::outbound_interface(asio::ip::address_v4::loopback()), ec);
    if (ec) {
        error = "cannot bind " + endpoint.ip + ":" + std::to_string(m_port) + ": " + ec.message();
        endpoint.socket.reset();
        return false;
    }
    return true;
}

WsDiscovery::Endpoint *WsDiscovery::find(OnvifDevice &device)
{
    for (const auto &endpoint : m_endpoints) {
        if (endpoint->device == &device)
            return endpoint.get();
    }
    return nullptr;
}

void WsDiscovery::receiveMulticast()
{
    m_multicast.async_receive_from(asio::buffer(m_multicastBuffer), m_multicastSender,
                                   [this](const asio::error_code &ec, std::size_t size) {
                                       if (ec == asio::error::operation_aborted)
                                           return;
                                       if (!ec)
                                           handleProbe(m_multicastBuffer.data(), size, m_multicastSender, nullptr);
                                       receiveMulticast();
                                   });
}

void WsDiscovery::receive(Endpoint &endpoint)
{
    const unsigned generation = endpoint.generation;
    endpoint.socket->async_receive_from(
        asio::buffer(endpoint.buffer), endpoint.sender,
        [this, &endpoint, generation](const asio::error_code &ec, std::size_t size) {
            if (ec == asio::error::operation_aborted || generation != endpoint.generation)
                return;
            if (!ec)
                handleProbe(endpoint.buffer.data(), size, endpoint.sender, &endpoint);
            receive(endpoint);
        });
}

void WsDiscovery::handleProbe(const char *data, std::size_t size, const udp::endpoint &prober, Endpoint *only)
{
    if (size >= sizeof(Buffer))
        return;
    WsProbe probe;
    if (!WsProbe::parse(std::string(data, size), probe))
        return;
    for (const auto &endpoint : m_endpoints) {
        if ((!only || endpoint.get() == only) && probe.wants(endpoint->device->scopes()))
            consider(*endpoint, probe.messageId, prober);
    }
    ForgedOnvifAnswers::Matches matches;
    matches.copyOf = [this, &probe](const std::string &deviceIp) {
        for (const auto &endpoint : m_endpoints) {
            if (endpoint->ip == deviceIp)
                return matchText(*endpoint, probe.messageId);
        }
        return std::string();
    };
    matches.phantomAt = [this, &probe](const std::string &hostIp) {
        const std::string xaddr =
            "http://" + hostIp + ":" + std::to_string(m_options.onvifHttpPort) + "/onvif/device_service";
        return matchText(probe.messageId, newMessageId(m_rng),
                         {"onvif://www.onvif.org/type/Network_Video_Transmitter", "onvif://www.onvif.org/name/PHANTOM"}, xaddr);
    };
    m_forged.onProbe(probe.messageId, prober, matches);
}

void WsDiscovery::consider(Endpoint &endpoint, const std::string &messageId, const udp::endpoint &prober)
{
    if (!endpoint.online || !endpoint.device->device().online)
        return;
    if (m_options.dropProbePercent > 0
        && std::uniform_int_distribution<int>(0, 99)(m_rng) < m_options.dropProbePercent)
        return;
    // A repeat is the same message from the same sender; another socket reusing the id still gets its answer.
    if (!messageId.empty()) {
        const auto seen = std::make_pair(messageId, prober);
        if (std::find(endpoint.seenProbes.begin(), endpoint.seenProbes.end(), seen) != endpoint.seenProbes.end())
            return;
        endpoint.seenProbes.push_back(seen);
        if (endpoint.seenProbes.size() > RememberedProbes)
            endpoint.seenProbes.pop_front();
    }
    if (!endpoint.answerBudget.take(prober.address()))
        return;
    int delayMs = std::uniform_int_distribution<int>(0, AnswerWindowMs - 1)(m_rng);
    if (m_options.answerJitterMs > 0)
        delayMs += std::uniform_int_distribution<int>(0, m_options.answerJitterMs)(m_rng);
    auto timer = std::make_shared<asio::steady_timer>(m_io, std::chrono::milliseconds(delayMs));
    const unsigned generation = endpoint.generation;
    timer->async_wait([this, timer, &endpoint, messageId, prober, generation](const asio::error_code &ec) {
        if (!ec && generation == endpoint.generation && endpoint.online)
            send(endpoint, matchText(endpoint, messageId), prober);
    });
}

std::string WsDiscovery::matchText(Endpoint &endpoint, const std::string &relatesTo)
{
    return matchText(relatesTo, endpoint.device->endpoint(), endpoint.device->scopes(), endpoint.device->xaddr());
}

std::string WsDiscovery::matchText(const std::string &relatesTo, const std::string &endpointRef,
                                   const std::vector<std::string> &scopeList, const std::string &xaddr)
{
    soap::Writer writer;
    pugi::xml_node header = writer.header();
    soap::add(header, "wsa:MessageID", newMessageId(m_rng));
    if (!relatesTo.empty())
        soap::add(header, "wsa:RelatesTo", relatesTo);
    soap::add(header, "wsa:To", relatesTo.empty() ? "urn:schemas-xmlsoap-org:ws:2005:04:discovery"
                                                  : "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous");
    soap::add(header, "wsa:Action", std::string("http://schemas.xmlsoap.org/ws/2005/04/discovery/")
                                        + (relatesTo.empty() ? "Hello" : "ProbeMatches"));
    pugi::xml_node sequence = soap::add(header, "d:AppSequence");
    sequence.append_attribute("InstanceId") = m_instanceId;
    sequence.append_attribute("MessageNumber") = ++m_messageNumber;

    pugi::xml_node match = relatesTo.empty() ? soap::add(writer.body(), "d:Hello")
                                             : soap::add(soap::add(writer.body(), "d:ProbeMatches"), "d:ProbeMatch");
    soap::add(soap::add(match, "wsa:EndpointReference"), "wsa:Address", endpointRef);
    soap::add(match, "d:Types", "dn:NetworkVideoTransmitter tds:Device");
    std::string scopes;
    for (const std::string &scope : scopeList)
        scopes += (scopes.empty() ? "" : " ") + scope;
    soap::add(match, "d:Scopes", scopes);
    soap::add(match, "d:XAddrs", xaddr);
    soap::add(match, "d:MetadataVersion", "1");
    return writer.text();
}

void WsDiscovery::announce(Endpoint &endpoint, bool hello)
{
    if (!endpoint.socket)
        return;
    std::string text;
    if (hello) {
        text = matchText(endpoint, {});
    } else {
        soap::Writer writer;
        pugi::xml_node header = writer.header();
        soap::add(header, "wsa:MessageID", newMessageId(m_rng));
        soap::add(header, "wsa:To", "urn:schemas-xmlsoap-org:ws:2005:04:discovery");
        soap::add(header, "wsa:Action", "http://schemas.xmlsoap.org/ws/2005/04/discovery/Bye");
        pugi::xml_node sequence = soap::add(header, "d:AppSequence");
        sequence.append_attribute("InstanceId") = m_instanceId;
        sequence.append_attribute("MessageNumber") = ++m_messageNumber;
        pugi::xml_node bye = soap::add(writer.body(), "d:Bye");
        soap::add(soap::add(bye, "wsa:EndpointReference"), "wsa:Address", endpoint.device->endpoint());
        text = writer.text();
    }
    if (!corvane::wire::multicastInterfaceAllowed(asio::ip::address_v4::loopback()))
        return;
    send(endpoint, text, udp::endpoint(asio::ip::make_address_v4(Group), m_port));
}

void WsDiscovery::send(Endpoint &endpoint, const std::string &text, const udp::endpoint &to)
{
    if (!endpoint.socket)
        return;
    if (!to.address().is_multicast() && !corvane::wire::destinationAllowed(to.address()))
        return;
    asio::error_code ec;
    endpoint.socket->send_to(asio::buffer(text), to, 0, ec);
}

void WsDiscovery::hello(OnvifDevice &device)
{
    if (Endpoint *endpoint = find(device)) {
        endpoint->online = true;
        announce(*endpoint, true);
    }
}

void WsDiscovery::bye(OnvifDevice &device)
{
    if (Endpoint *endpoint = find(device)) {
        announce(*endpoint, false);
        endpoint->online = false;
    }
}

void WsDiscovery::setOnline(OnvifDevice &device, bool online)
{
    if (Endpoint *endpoint = find(device))
        endpoint->online = online;
}

void WsDiscovery::rebind(OnvifDevice &device)
{
    Endpoint *endpoint = find(device);
    if (!endpoint || endpoint->ip == device.device().currentIp())
        return;
    const bool online = endpoint->online && device.device().online;
    if (online)
        announce(*endpoint, false);
    std::string error;
    if (!bind(*endpoint, error)) {
        std::cerr << "corvane-devsim: " << error << '\n';
        return;
    }
    receive(*endpoint);
    if (online)
        announce(*endpoint, true);
}
