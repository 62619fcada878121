#include "discoveryresponder.h"

#include "Discovery.h"
#include "discovery_password.h"
#include "loopbackguard.h"

#include <asio/ip/multicast.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>

#include <algorithm>
#include <iostream>

using namespace corvane;

namespace {

const std::size_t RememberedProbes = 16;
const std::size_t RememberedReplies = 8;

} // namespace

DiscoveryResponder::DiscoveryResponder(asio::io_context &io, SimFleet &fleet, const SimOptions &options)
    : m_io(io)
    , m_fleet(fleet)
    , m_options(options)
    , m_port(options.discoveryPort ? options.discoveryPort : wire::discoveryPort())
    , m_multicast(io)
    , m_shared(io)
    , m_rng(options.seed ? options.seed + 2 : std::random_device{}())
{
}

bool DiscoveryResponder::start(std::string &error)
{
    asio::error_code ec;
    const asio::ip::address_v4 group = asio::ip::make_address_v4(wire::kDiscoveryGroup);
    m_multicast.open(udp::v4(), ec);
    if (!ec)
        m_multicast.set_option(asio::socket_base::reuse_address(true), ec); // other simulators share the group
    if (!ec)
        m_multicast.bind(udp::endpoint(group, m_port), ec);
    if (!ec)
        m_multicast.set_option(asio::ip::multicast::join_group(group, asio::ip::address_v4::loopback()), ec);
    if (!ec) {
        m_shared.open(udp::v4(), ec);
        if (!ec)
            m_shared.bind(udp::endpoint(asio::ip::address_v4::loopback(), 0), ec);
    }
    if (ec) {
        error = "cannot open the discovery multicast socket: " + ec.message();
        return false;
    }

    for (const auto &device : m_fleet.devices()) {
        auto endpoint = std::make_unique<Endpoint>();
        endpoint->device = device.get();
        const std::string ip = device->currentIp();
        if (wire::isLoopback(asio::ip::make_address_v4(ip, ec).to_uint())) {
            endpoint->socket = bindDeviceSocket(ip, ec);
            if (!endpoint->socket) {
                error = "cannot bind " + ip + ":" + std::to_string(m_port) + ": " + ec.message();
                return false;
            }
        }
        m_endpoints.push_back(std::move(endpoint));
    }
    for (const auto &endpoint : m_endpoints) {
        if (endpoint->socket)
            receiveOnDevice(*endpoint);
    }
    receiveMulticast();
    m_fleet.addMoveListener([this](SimDevice &device, const std::string &oldIp) { onDeviceMoved(device, oldIp); });
    return true;
}

std::unique_ptr<asio::ip::udp::socket> DiscoveryResponder::bindDeviceSocket(const std::string &ip, asio::error_code &ec)
{
    auto socket = std::make_unique<udp::socket>(m_io);
    socket->open(udp::v4(), ec);
    if (!ec)
        socket->bind(udp::endpoint(asio::ip::make_address_v4(ip, ec), m_port), ec);
    if (ec)
        return nullptr;
    return socket;
}

void DiscoveryResponder::receiveMulticast()
{
    m_multicast.async_receive_from(
        asio::buffer(m_multicastBuffer), m_multicastSender, [this](const asio::error_code &ec, std::size_t size) {
            if (ec == asio::error::operation_aborted)
                return;
            if (!ec) {
                const auto message = wire::decodeDiscovery(m_multicastBuffer.data(), size);
                if (message && message->type == wire::DiscoveryType::Probe) {
                    for (const auto &endpoint : m_endpoints)
                        considerProbe(*endpoint, message->id, m_multicastSender);
                }
            }
            receiveMulticast();
        });
}

void DiscoveryResponder::receiveOnDevice(Endpoint &endpoint)
{
    const unsigned generation = endpoint.generation;
    endpoint.socket->async_receive_from(
        asio::buffer(endpoint.buffer), endpoint.sender,
        [this, &endpoint, generation](const asio::error_code &ec, std::size_t size) {
            if (ec == asio::error::operation_aborted || generation != endpoint.generation)
                return;
            if (!ec)
                handleDeviceDatagram(endpoint, size);
            if (generation == endpoint.generation && endpoint.socket)
                receiveOnDevice(endpoint);
        });
}

void DiscoveryResponder::handleDeviceDatagram(Endpoint &endpoint, std::size_t size)
{
    const auto message = wire::decodeDiscovery(endpoint.buffer.data(), size);
    if (!message || !endpoint.device->online)
        return;
    switch (message->type) {
    case wire::DiscoveryType::Probe:
        considerProbe(endpoint, message->id, endpoint.sender);
        break;
    case wire::DiscoveryType::SetAddrRequest:
        handleSetAddress(endpoint, *message);
        break;
    case wire::DiscoveryType::ResetPwdRequest:
        handleResetPassword(endpoint, *message);
        break;
    default:
        break;
    }
}

void DiscoveryResponder::considerProbe(Endpoint &endpoint, uint32_t probeId, const udp::endpoint &prober)
{
    SimDevice &device = *endpoint.device;
    if (device.silent || !device.online)
        return;
    // A dropped datagram leaves the id unseen, so a repetition still counts.
    if (m_options.dropProbePercent > 0 && std::uniform_int_distribution<int>(0, 99)(m_rng) < m_options.dropProbePercent)
        return;
    if (std::find(endpoint.seenProbes.begin(), endpoint.seenProbes.end(), probeId) != endpoint.seenProbes.end())
        return;
    endpoint.seenProbes.push_back(probeId);
    if (endpoint.seenProbes.size() > RememberedProbes)
        endpoint.seenProbes.pop_front();

    int delayMs = std::uniform_int_distribution<int>(0, AnswerWindowMs - 1)(m_rng);
    if (m_options.answerJitterMs > 0)
        delayMs += std::uniform_int_distribution<int>(0, m_options.answerJitterMs)(m_rng);
    auto timer = std::make_shared<asio::steady_timer>(m_io, std::chrono::milliseconds(delayMs));
    timer->async_wait([this, timer, &endpoint, probeId, prober](const asio::error_code &ec) {
        if (!ec)
            sendAnswer(endpoint, probeId, prober);
    });
}

void DiscoveryResponder::sendAnswer(Endpoint &endpoint, uint32_t probeId, const udp::endpoint &prober)
{
    const SimDevice &device = *endpoint.device;
    if (!device.online)
        return;
    wire::DiscoveryMessage answer;
    answer.type = wire::DiscoveryType::Answer;
    answer.id = probeId;
    answer.texts.resize(wire::AnswerTextCount);
    answer.texts[wire::AnswerIp] = device.currentIp();
    answer.texts[wire::AnswerModel] = device.model;
    answer.texts[wire::AnswerSerial] = device.serial;
    answer.texts[wire::AnswerMac] = device.mac;
    answer.texts[wire::AnswerReserved] = device.reserved;
    answer.texts[wire::AnswerVersion] = device.version;
    for (std::string &text : answer.texts)
        text.resize(std::min(text.size(), wire::kMaxAnswerText));
    sendFrom(endpoint, wire::encodeDiscovery(answer), prober);
}

void DiscoveryResponder::handleSetAddress(Endpoint &endpoint, const wire::DiscoveryMessage &request)
{
    if (resendCachedReply(endpoint, request.id))
        return;
    std::string newIp;
    const uint32_t result = evaluateSetAddress(endpoint, request, newIp);
    if (result != RVNA_OK) {
        endpoint.reserved.reset();
        reply(endpoint, request, wire::DiscoveryType::SetAddrReply, result);
        return;
    }
    std::string mask;
    std::string gateway;
    SimFleet::canonicalIp(request.texts[wire::SetAddrMask], mask, false);
    if (!SimFleet::canonicalIp(request.texts[wire::SetAddrGateway], gateway, false))
        gateway.clear();
    // The reply leaves from the old address, before the device moves.
    bool replied = false;
    const SimFleet::MoveResult moved = m_fleet.moveDevice(*endpoint.device, newIp, mask, gateway, [&] {
        reply(endpoint, request, wire::DiscoveryType::SetAddrReply, RVNA_OK);
        replied = true;
    });
    if (!replied) {
        endpoint.reserved.reset();
        reply(endpoint, request, wire::DiscoveryType::SetAddrReply,
              moved == SimFleet::MoveResult::Conflict ? RVNA_ERR_ADDR_CONFLICT : RVNA_ERR_BAD_ADDRESS);
    }
}

uint32_t DiscoveryResponder::evaluateSetAddress(Endpoint &endpoint, const wire::DiscoveryMessage &request,
                                                std::string &newIp)
{
    SimDevice &device = *endpoint.device;
    const std::vector<std::string> &t = request.texts;
    if (!device.matchesIdentity(t[wire::SetAddrSerial], t[wire::SetAddrMac]))
        return RVNA_ERR_IDENTITY;
    const std::optional<std::string> password = wire::decodeDiscoveryPassword(t[wire::SetAddrPassword]);
    if (!password || !device.checkAccount(t[wire::SetAddrUser], *password))
        return RVNA_ERR_ACCOUNT;
    std::string gateway;
    if (!SimFleet::canonicalIp(t[wire::SetAddrIp], newIp, true) || !SimFleet::validMask(t[wire::SetAddrMask])
        || (!t[wire::SetAddrGateway].empty() && !SimFleet::canonicalIp(t[wire::SetAddrGateway], gateway, false)))
        return RVNA_ERR_BAD_ADDRESS;
    const SimDevice *holder = m_fleet.findByIp(newIp);
    if (holder != nullptr && holder != &device)
        return RVNA_ERR_ADDR_CONFLICT;
    // Something else on this host may hold a loopback address: bind it now.
    asio::error_code ec;
    if (holder == nullptr && wire::isLoopback(asio::ip::make_address_v4(newIp, ec).to_uint())) {
        endpoint.reserved = bindDeviceSocket(newIp, ec);
        if (!endpoint.reserved)
            return RVNA_ERR_ADDR_CONFLICT;
        endpoint.reservedIp = newIp;
    }
    return RVNA_OK;
}

void DiscoveryResponder::handleResetPassword(Endpoint &endpoint, const wire::DiscoveryMessage &request)
{
    if (resendCachedReply(endpoint, request.id))
        return;
    SimDevice &device = *endpoint.device;
    uint32_t result = RVNA_OK;
    if (!device.matchesIdentity(request.texts[wire::ResetSerial], request.texts[wire::ResetMac]))
        result = RVNA_ERR_IDENTITY;
    else if (request.texts[wire::ResetCode] != device.securityCode)
        result = RVNA_ERR_SECURITY_CODE;
    else
        m_fleet.restoreFactoryPassword(device);
    reply(endpoint, request, wire::DiscoveryType::ResetPwdReply, result);
}

void DiscoveryResponder::reply(Endpoint &endpoint, const wire::DiscoveryMessage &request,
                               wire::DiscoveryType type, uint32_t result)
{
    wire::DiscoveryMessage message;
    message.type = type;
    message.id = request.id;
    message.result = result;
    std::vector<uint8_t> datagram = wire::encodeDiscovery(message);
    sendFrom(endpoint, datagram, endpoint.sender);
    // A resent request gets the same answer, not a second execution.
    endpoint.sentReplies.emplace_back(request.id, std::move(datagram));
    if (endpoint.sentReplies.size() > RememberedReplies)
        endpoint.sentReplies.pop_front();
}

bool DiscoveryResponder::resendCachedReply(Endpoint &endpoint, uint32_t id)
{
    for (const auto &sent : endpoint.sentReplies) {
        if (sent.first == id) {
            sendFrom(endpoint, sent.second, endpoint.sender);
            return true;
        }
    }
    return false;
}

void DiscoveryResponder::sendFrom(Endpoint &endpoint, const std::vector<uint8_t> &datagram, const udp::endpoint &to)
{
    if (datagram.empty() || !wire::destinationAllowed(to.address()))
        return;
    asio::error_code ec;
    udp::socket &socket = endpoint.socket ? *endpoint.socket : m_shared;
    socket.send_to(asio::buffer(datagram), to, 0, ec);
}

// Moves may come from any service's thread; sockets are only touched on the io thread.
void DiscoveryResponder::onDeviceMoved(SimDevice &device, const std::string &)
{
    const std::size_t index = std::size_t(device.index);
    if (index >= m_endpoints.size())
        return;
    asio::post(m_io, [this, index] { rebind(*m_endpoints[index]); });
}

void DiscoveryResponder::rebind(Endpoint &endpoint)
{
    const std::string ip = endpoint.device->currentIp();
    asio::error_code ec;
    if (endpoint.socket && endpoint.socket->local_endpoint(ec).address().to_string() == ip && !ec)
        return;
    ++endpoint.generation;
    endpoint.socket.reset();
    if (wire::isLoopback(asio::ip::make_address_v4(ip, ec).to_uint())) {
        if (endpoint.reserved && endpoint.reservedIp == ip)
            endpoint.socket = std::move(endpoint.reserved);
        else
            endpoint.socket = bindDeviceSocket(ip, ec);
        if (!endpoint.socket)
            std::cerr << "corvane-devsim: device " << endpoint.device->serial << " cannot bind " << ip << ": "
                      << ec.message() << '\n';
    }
    endpoint.reserved.reset();
    if (endpoint.socket)
        receiveOnDevice(endpoint);
}
