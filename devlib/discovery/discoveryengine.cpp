#include "discoveryengine.h"

#include "loopbackguard.h"

#include <asio/ip/multicast.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace corvane::discovery {

using asio::ip::udp;

void CallbackSlot::set(RVNA_DISCOVERY_CALLBACK callback, void *context)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A null registration from an instance that is no longer the receiver
    // must not cut off the one that is.
    if (callback == nullptr && context != nullptr && context != m_context)
        return;
    m_callback = callback;
    m_context = callback ? context : nullptr;
}

void CallbackSlot::deliver(const RVNA_DEVICE_INFO &info)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callback)
        m_callback(&info, m_context);
}

CallbackSlot &callbackSlot()
{
    static CallbackSlot slot;
    return slot;
}

namespace {

// Local IPv4 addresses of the interfaces a multicast probe leaves through.
std::vector<asio::ip::address_v4> probeInterfaces()
{
    std::vector<asio::ip::address_v4> result;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (ifaddrs *it = list; it != nullptr; it = it->ifa_next) {
            if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET)
                continue;
            if (!(it->ifa_flags & IFF_UP))
                continue;
            // Loopback carries multicast on Linux even without the MULTICAST flag.
            if (!(it->ifa_flags & (IFF_MULTICAST | IFF_LOOPBACK)))
                continue;
            const auto *sin = reinterpret_cast<const sockaddr_in *>(it->ifa_addr);
            const asio::ip::address_v4 address(ntohl(sin->sin_addr.s_addr));
            if (!wire::multicastInterfaceAllowed(address))
                continue;
            if (std::find(result.begin(), result.end(), address) == result.end())
                result.push_back(address);
        }
        freeifaddrs(list);
    }
    if (result.empty())
        result.push_back(asio::ip::address_v4::loopback());
    return result;
}

} // namespace

struct DiscoveryEngine::ProbeJob
{
    explicit ProbeJob(asio::io_context &io) : timer(io) {}
    std::vector<uint8_t> datagram;
    bool multicast = true;
    std::vector<udp::endpoint> targets; // range probe only
    int round = 0;
    asio::steady_timer timer;
};

DiscoveryEngine::DiscoveryEngine()
    : m_work(asio::make_work_guard(m_io))
{
    m_thread = std::thread([this] { m_io.run(); });
}

DiscoveryEngine::~DiscoveryEngine()
{
    m_work.reset();
    m_io.stop();
    if (m_thread.joinable())
        m_thread.join();
}

void DiscoveryEngine::sendMulticastProbe()
{
    auto job = std::make_shared<ProbeJob>(m_io);
    wire::DiscoveryMessage probe;
    probe.type = wire::DiscoveryType::Probe;
    probe.probeKind = wire::ProbeKind::Multicast;
    probe.id = newProbeId();
    job->datagram = wire::encodeDiscovery(probe);
    asio::post(m_io, [this, job] { runJob(job); });
}

void DiscoveryEngine::sendRangeProbe(uint32_t firstIp, uint32_t lastIp)
{
    if (firstIp > lastIp)
        std::swap(firstIp, lastIp);
    auto job = std::make_shared<ProbeJob>(m_io);
    job->multicast = false;
    const uint16_t port = wire::discoveryPort();
    const uint64_t count = std::min<uint64_t>(uint64_t(lastIp) - firstIp + 1, kMaxRangeAddresses);
    for (uint64_t i = 0; i < count; ++i) {
        const uint32_t ip = uint32_t(firstIp + i);
        if (wire::destinationAllowed(ip))
            job->targets.emplace_back(asio::ip::address_v4(ip), port);
    }
    if (job->targets.empty())
        return;
    wire::DiscoveryMessage probe;
    probe.type = wire::DiscoveryType::Probe;
    probe.probeKind = wire::ProbeKind::Range;
    probe.id = newProbeId();
    job->datagram = wire::encodeDiscovery(probe);
    asio::post(m_io, [this, job] { runJob(job); });
}

// One round of a probe; schedules the next until all rounds are out.
void DiscoveryEngine::runJob(const std::shared_ptr<ProbeJob> &job)
{
    asio::error_code ec;
    if (job->multicast) {
        const udp::endpoint group(asio::ip::make_address_v4(wire::kDiscoveryGroup), wire::discoveryPort());
        for (ReceiveSocket *receiver : multicastSockets())
            receiver->socket.send_to(asio::buffer(job->datagram), group, 0, ec);
    } else if (ReceiveSocket *receiver = unicastSocket()) {
        for (const udp::endpoint &target : job->targets)
            receiver->socket.send_to(asio::buffer(job->datagram), target, 0, ec);
    }
    if (++job->round >= kProbeRounds)
        return;
    job->timer.expires_after(std::chrono::milliseconds(kRoundIntervalMs));
    job->timer.async_wait([this, job](const asio::error_code &error) {
        if (!error)
            runJob(job);
    });
}

std::vector<DiscoveryEngine::ReceiveSocket *> DiscoveryEngine::multicastSockets()
{
    std::vector<ReceiveSocket *> result;
    for (const asio::ip::address_v4 &local : probeInterfaces()) {
        auto it = m_multicast.find(local.to_uint());
        if (it == m_multicast.end()) {
            std::unique_ptr<ReceiveSocket> receiver = openSocket(local);
            if (!receiver)
                continue;
            // Each option is checked: a socket whose interface could not be
            // pinned would send through the default route.
            asio::error_code ec;
            receiver->socket.set_option(asio::ip::multicast::outbound_interface(local), ec);
            if (!ec)
                receiver->socket.set_option(asio::ip::multicast::enable_loopback(true), ec);
            if (!ec)
                receiver->socket.set_option(asio::ip::multicast::hops(1), ec);
            if (ec)
                continue;
            startReceive(receiver.get());
            it = m_multicast.emplace(local.to_uint(), std::move(receiver)).first;
        }
        result.push_back(it->second.get());
    }
    return result;
}

DiscoveryEngine::ReceiveSocket *DiscoveryEngine::unicastSocket()
{
    if (!m_unicast) {
        m_unicast = openSocket(asio::ip::address_v4::any());
        if (m_unicast)
            startReceive(m_unicast.get());
    }
    return m_unicast.get();
}

std::unique_ptr<DiscoveryEngine::ReceiveSocket> DiscoveryEngine::openSocket(const asio::ip::address_v4 &local)
{
    auto receiver = std::make_unique<ReceiveSocket>(m_io);
    asio::error_code ec;
    receiver->socket.open(udp::v4(), ec);
    if (ec)
        return nullptr;
    // A thousand answers can arrive within 200 ms; none may be dropped while
    // the callback is busy. FORCE passes the system cap where permitted.
    const int size = kReceiveBufferBytes;
    ::setsockopt(receiver->socket.native_handle(), SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size);
    asio::socket_base::receive_buffer_size current;
    receiver->socket.get_option(current, ec);
    if (ec || current.value() < size)
        receiver->socket.set_option(asio::socket_base::receive_buffer_size(size), ec);
    receiver->socket.bind(udp::endpoint(local, 0), ec);
    if (ec)
        return nullptr;
    return receiver;
}

void DiscoveryEngine::startReceive(ReceiveSocket *receiver)
{
    receiver->socket.async_receive_from(
        asio::buffer(receiver->buffer), receiver->sender,
        [this, receiver](const asio::error_code &error, std::size_t size) {
            if (error == asio::error::operation_aborted || !receiver->socket.is_open())
                return;
            if (!error)
                handleDatagram(receiver->buffer.data(), size, receiver->sender);
            startReceive(receiver);
        });
}

void DiscoveryEngine::handleDatagram(const uint8_t *data, std::size_t size, const udp::endpoint &sender)
{
    const std::optional<wire::DiscoveryMessage> message = wire::decodeDiscovery(data, size);
    if (!message || message->type != wire::DiscoveryType::Answer || !isOurProbe(message->id))
        return;
    if (!sender.address().is_v4() || !m_answerFilter.accept(*message, sender.address().to_v4().to_uint()))
        return;
    RVNA_DEVICE_INFO info;
    std::memset(&info, 0, sizeof info);
    char *slots[wire::AnswerTextCount] = {info.szIp, info.szModel, info.szSerial,
                                          info.szMac, info.szReserved, info.szVersion};
    for (int i = 0; i < wire::AnswerTextCount; ++i)
        wire::fillSlot(slots[i], RVNA_TEXT_LEN, message->texts[i]); // at most 63 bytes: NUL stays
    callbackSlot().deliver(info);
}

uint32_t DiscoveryEngine::newProbeId()
{
    static std::mt19937 generator{std::random_device{}()};
    std::lock_guard<std::mutex> lock(m_idMutex);
    uint32_t id = 0;
    do {
        id = generator();
    } while (id == 0);
    m_recentIds.push_back(id);
    if (m_recentIds.size() > 64)
        m_recentIds.pop_front();
    return id;
}

bool DiscoveryEngine::isOurProbe(uint32_t id)
{
    std::lock_guard<std::mutex> lock(m_idMutex);
    return std::find(m_recentIds.begin(), m_recentIds.end(), id) != m_recentIds.end();
}

} // namespace corvane::discovery
