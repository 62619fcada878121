#include "discoveryresponder.h"

#include "Discovery.h"
#include "auth.h"
#include "discovery_auth.h"
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
// Nonces waiting for their request, briefly: at most two per source, and
// room for enough sources that a flood from a few dozen addresses never
// pushes out another source's nonce.
const std::size_t PendingNonces = 256;
const std::size_t PendingNoncesPerSource = 2;
const auto NonceLifetime = std::chrono::seconds(5);

} // namespace

DiscoveryResponder::DiscoveryResponder(asio::io_context &io, SimFleet &fleet, const SimOptions &options)
    : m_io(io)
    , m_fleet(fleet)
    , m_options(options)
    , m_port(options.discoveryPort ? options.discoveryPort : wire::discoveryPort())
    , m_multicast(io)
    , m_shared(io)
    , m_forged(io, options)
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

    if (!m_forged.start(error))
        return false;
    for (const auto &device : m_fleet.devices()) {
        auto endpoint = std::make_unique<Endpoint>();
        endpoint->device = device.get();
        const std::string ip = device->currentIp();
        if (!device->onvif() && wire::isLoopback(asio::ip::make_address_v4(ip, ec).to_uint())) {
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
                    m_forged.onProbe(message->id, m_multicastSender);
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
        m_forged.onProbe(message->id, endpoint.sender);
        considerProbe(endpoint, message->id, endpoint.sender);
        break;
    case wire::DiscoveryType::ChallengeRequest:
        handleChallenge(endpoint, *message, size);
        break;
    case wire::DiscoveryType::SetAddrRequest:
        handleSetAddress(endpoint, *message, size);
        break;
    case wire::DiscoveryType::ResetPwdRequest:
        handleResetPassword(endpoint, *message, size);
        break;
    default:
        break;
    }
}

void DiscoveryResponder::considerProbe(Endpoint &endpoint, uint32_t probeId, const udp::endpoint &prober)
{
    SimDevice &device = *endpoint.device;
    if (device.silent || !device.online || device.onvif())
        return;
    // A dropped datagram leaves the id unseen, so a repetition still counts.
    if (m_options.dropProbePercent > 0 && std::uniform_int_distribution<int>(0, 99)(m_rng) < m_options.dropProbePercent)
        return;
    if (std::find(endpoint.seenProbes.begin(), endpoint.seenProbes.end(), probeId) != endpoint.seenProbes.end())
        return;
    endpoint.seenProbes.push_back(probeId);
    if (endpoint.seenProbes.size() > RememberedProbes)
        endpoint.seenProbes.pop_front();
    if (!endpoint.answerBudget.take(prober.address()))
        return;

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
    // Off loopback the device has no socket of its own; the answer says where it comes from.
    if (!endpoint.socket) {
        asio::error_code ec;
        answer.texts.push_back(m_shared.local_endpoint(ec).address().to_string());
    }
    for (std::string &text : answer.texts)
        text.resize(std::min(text.size(), wire::kMaxAnswerText));
    sendFrom(endpoint, wire::encodeDiscovery(answer), prober);
}

void DiscoveryResponder::handleChallenge(Endpoint &endpoint, const wire::DiscoveryMessage &request, std::size_t size)
{
    if (resendCachedReply(endpoint, size))
        return;
    const auto now = std::chrono::steady_clock::now();
    auto &nonces = endpoint.nonces;
    nonces.erase(std::remove_if(nonces.begin(), nonces.end(),
                                [now](const PendingNonce &n) { return now - n.issued > NonceLifetime; }),
                 nonces.end());
    const asio::ip::address source = endpoint.sender.address();
    const auto fromSource = [&source](const PendingNonce &n) { return n.source == source; };
    if (std::size_t(std::count_if(nonces.begin(), nonces.end(), fromSource)) >= PendingNoncesPerSource)
        nonces.erase(std::find_if(nonces.begin(), nonces.end(), fromSource));
    if (nonces.size() >= PendingNonces)
        dropNonceOfBusiestSource(nonces);
    PendingNonce pending{wire::randomBytes(wire::kDiscoveryNonceSize), source, request.purpose, now};
    if (pending.nonce.size() != wire::kDiscoveryNonceSize)
        return;
    wire::DiscoveryMessage challenge;
    challenge.type = wire::DiscoveryType::Challenge;
    challenge.id = request.id;
    challenge.nonce = pending.nonce;
    challenge.salt = endpoint.salt;
    challenge.cost = wire::kDiscoveryCost;
    nonces.push_back(std::move(pending));
    reply(endpoint, size, challenge);
}

// Only a flood from very many sources fills the table; it pays for that with
// its own nonces: the oldest of a source holding the most goes first.
void DiscoveryResponder::dropNonceOfBusiestSource(std::deque<PendingNonce> &nonces)
{
    std::map<asio::ip::address, std::size_t> held;
    std::size_t most = 0;
    for (const PendingNonce &n : nonces)
        most = std::max(most, ++held[n.source]);
    nonces.erase(std::find_if(nonces.begin(), nonces.end(),
                              [&held, most](const PendingNonce &n) { return held[n.source] == most; }));
}

const std::vector<uint8_t> &DiscoveryResponder::derivedKey(Endpoint &endpoint, const std::string &secret)
{
    const auto found = endpoint.derivedKeys.find(secret);
    if (found != endpoint.derivedKeys.end())
        return found->second;
    if (endpoint.derivedKeys.size() >= 4)
        endpoint.derivedKeys.clear();
    return endpoint.derivedKeys[secret] = wire::deriveDiscoveryKey(secret, endpoint.salt, wire::kDiscoveryCost);
}

// The request's nonce, if this device issued it to this sender for this kind
// of request and it is still fresh, is spent now, whatever the outcome.
bool DiscoveryResponder::takeNonce(Endpoint &endpoint, const wire::DiscoveryMessage &request)
{
    const auto now = std::chrono::steady_clock::now();
    for (auto it = endpoint.nonces.begin(); it != endpoint.nonces.end(); ++it) {
        if (it->nonce == request.nonce && it->source == endpoint.sender.address()) {
            const bool usable = it->purpose == request.type && now - it->issued <= NonceLifetime;
            endpoint.nonces.erase(it);
            return usable;
        }
    }
    return false;
}

void DiscoveryResponder::handleSetAddress(Endpoint &endpoint, const wire::DiscoveryMessage &request, std::size_t size)
{
    if (resendCachedReply(endpoint, size))
        return;
    wire::DiscoveryMessage answer;
    answer.type = wire::DiscoveryType::SetAddrReply;
    answer.id = request.id;
    std::string newIp;
    answer.result = evaluateSetAddress(endpoint, request, newIp);
    if (answer.result != RVNA_OK) {
        endpoint.reserved.reset();
        reply(endpoint, size, answer);
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
        reply(endpoint, size, answer);
        replied = true;
    });
    if (!replied) {
        endpoint.reserved.reset();
        answer.result = moved == SimFleet::MoveResult::Conflict ? RVNA_ERR_ADDR_CONFLICT : RVNA_ERR_BAD_ADDRESS;
        reply(endpoint, size, answer);
    }
}

uint32_t DiscoveryResponder::evaluateSetAddress(Endpoint &endpoint, const wire::DiscoveryMessage &request,
                                                std::string &newIp)
{
    SimDevice &device = *endpoint.device;
    const std::vector<std::string> &t = request.texts;
    if (!takeNonce(endpoint, request))
        return wire::kStaleChallengeResult;
    if (!device.matchesIdentity(t[wire::SetAddrSerial], t[wire::SetAddrMac]))
        return RVNA_ERR_IDENTITY;
    // The account is checked before anything else, and a locked one is not
    // checked at all: the answer tells a guesser nothing.
    const std::string &user = t[wire::SetAddrUser];
    const std::string source = endpoint.sender.address().to_string();
    wire::LoginLockout &lockout = *device.lockout;
    if (lockout.remaining(user, source).count() > 0)
        return RVNA_ERR_ACCOUNT;
    const SimDevice::Account account = device.account();
    if (!wire::checkRequestProof(request, derivedKey(endpoint, account.password)) || user != account.user) {
        lockout.recordFailure(user, source);
        return RVNA_ERR_ACCOUNT;
    }
    lockout.recordSuccess(user, source);
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

void DiscoveryResponder::handleResetPassword(Endpoint &endpoint, const wire::DiscoveryMessage &request,
                                             std::size_t size)
{
    if (resendCachedReply(endpoint, size))
        return;
    wire::DiscoveryMessage answer;
    answer.type = wire::DiscoveryType::ResetPwdReply;
    answer.id = request.id;
    answer.result = evaluateResetPassword(endpoint, request);
    if (answer.result == RVNA_OK)
        m_fleet.restoreFactoryPassword(*endpoint.device);
    reply(endpoint, size, answer);
}

// Security-code guesses count against the device's account, like passwords.
uint32_t DiscoveryResponder::evaluateResetPassword(Endpoint &endpoint, const wire::DiscoveryMessage &request)
{
    SimDevice &device = *endpoint.device;
    if (!takeNonce(endpoint, request))
        return wire::kStaleChallengeResult;
    if (!device.matchesIdentity(request.texts[wire::ResetSerial], request.texts[wire::ResetMac]))
        return RVNA_ERR_IDENTITY;
    std::string account;
    {
        std::lock_guard<std::mutex> lock(device.mutex);
        account = device.userName;
    }
    const std::string source = endpoint.sender.address().to_string();
    wire::LoginLockout &lockout = *device.lockout;
    // A security code names no account: a wrong one (forgeable from any
    // source) counts against its source only, never locking the operator out.
    if (lockout.remaining({}, source).count() > 0)
        return RVNA_ERR_SECURITY_CODE;
    if (!wire::checkRequestProof(request, derivedKey(endpoint, device.securityCode))) {
        lockout.recordFailure({}, source);
        return RVNA_ERR_SECURITY_CODE;
    }
    lockout.recordSuccess(account, source);
    return RVNA_OK;
}

void DiscoveryResponder::reply(Endpoint &endpoint, std::size_t requestSize, const wire::DiscoveryMessage &message)
{
    std::vector<uint8_t> datagram = wire::encodeDiscovery(message);
    sendFrom(endpoint, datagram, endpoint.sender);
    // A resent request gets the same answer, not a second execution.
    endpoint.sentReplies.push_back(
        {endpoint.sender, std::vector<uint8_t>(endpoint.buffer.begin(), endpoint.buffer.begin() + std::ptrdiff_t(requestSize)),
         std::move(datagram)});
    if (endpoint.sentReplies.size() > RememberedReplies)
        endpoint.sentReplies.pop_front();
}

bool DiscoveryResponder::resendCachedReply(Endpoint &endpoint, std::size_t size)
{
    for (const SentReply &sent : endpoint.sentReplies) {
        if (sent.to == endpoint.sender && sent.request.size() == size
            && std::equal(sent.request.begin(), sent.request.end(), endpoint.buffer.begin())) {
            sendFrom(endpoint, sent.reply, endpoint.sender);
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
    if (index >= m_endpoints.size() || device.onvif())
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
