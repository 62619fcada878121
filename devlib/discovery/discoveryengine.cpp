#include "discoveryengine.h"

#include "loopbackguard.h"

#include <asio/ip/multicast.hpp>
#include <asio/post.hpp>
#include <asio/steady_timer.hpp>

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <unordered_set>

namespace corvane::discovery {

using asio::ip::udp;

bool CallbackSlot::replaces(bool bNull, void *context) const
{
    // A null registration from an instance that is no longer the receiver
    // must not cut off the one that is.
    return !(bNull && context != nullptr && context != m_context);
}

void CallbackSlot::set(RVNA_DISCOVERY_CALLBACK callback, void *context)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!replaces(callback == nullptr, context))
        return;
    m_callback = callback;
    m_senderCallback = nullptr;
    m_context = callback ? context : nullptr;
}

void CallbackSlot::setWithSender(RVNA_DISCOVERY_SENDER_CALLBACK callback, void *context)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!replaces(callback == nullptr, context))
        return;
    m_callback = nullptr;
    m_senderCallback = callback;
    m_context = callback ? context : nullptr;
}

void CallbackSlot::deliver(const RVNA_DEVICE_INFO &info, uint32_t sender)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callback)
        m_callback(&info, m_context);
    else if (m_senderCallback)
        m_senderCallback(&info, sender, m_context);
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

using Clock = std::chrono::steady_clock;

struct DiscoveryEngine::ProbeJob
{
    explicit ProbeJob(asio::io_context &io) : timer(io) {}
    wire::DiscoveryMessage probe;
    std::vector<uint8_t> datagram;
    bool multicast = true;
    bool reprobed = false;
    std::vector<udp::endpoint> targets;  // range probe: the addresses of this probe
    std::unordered_set<uint32_t> silent; // range probe: no answer yet; m_jobMutex
    int round = 0;
    std::size_t next = 0;                // first target of the next chunk
    Clock::time_point started;
    Clock::time_point roundStarted;
    asio::steady_timer timer;
};

// Answers of one recvmmsg() call; used on the receive thread only.
struct DiscoveryEngine::ReceiveBatch
{
    ReceiveBatch()
    {
        for (int i = 0; i < kReceiveBatch; ++i) {
            iov[i].iov_base = buffers[i].data();
            iov[i].iov_len = buffers[i].size();
        }
    }
    int receive(int fd)
    {
        for (int i = 0; i < kReceiveBatch; ++i) {
            std::memset(&headers[i], 0, sizeof headers[i]);
            headers[i].msg_hdr.msg_iov = &iov[i];
            headers[i].msg_hdr.msg_iovlen = 1;
            headers[i].msg_hdr.msg_name = &senders[i];
            headers[i].msg_hdr.msg_namelen = sizeof senders[i];
        }
        return ::recvmmsg(fd, headers.data(), kReceiveBatch, MSG_DONTWAIT, nullptr);
    }
    std::array<std::array<uint8_t, wire::kMaxDiscoveryDatagram + 1>, kReceiveBatch> buffers{};
    std::array<iovec, kReceiveBatch> iov{};
    std::array<sockaddr_in, kReceiveBatch> senders{};
    std::array<mmsghdr, kReceiveBatch> headers{};
};

DiscoveryEngine::DiscoveryEngine()
    : m_work(asio::make_work_guard(m_io))
    , m_batch(std::make_unique<ReceiveBatch>())
    , m_sendWork(asio::make_work_guard(m_sendIo))
{
    m_thread = std::thread([this] { m_io.run(); });
    m_sendThread = std::thread([this] { m_sendIo.run(); });
}

DiscoveryEngine::~DiscoveryEngine()
{
    // Senders first: they open the sockets the receive side reads.
    m_sendWork.reset();
    m_sendIo.stop();
    if (m_sendThread.joinable())
        m_sendThread.join();
    m_work.reset();
    m_io.stop();
    if (m_thread.joinable())
        m_thread.join();
}

void DiscoveryEngine::sendMulticastProbe()
{
    auto job = std::make_shared<ProbeJob>(m_sendIo);
    job->probe.type = wire::DiscoveryType::Probe;
    job->probe.probeKind = wire::ProbeKind::Multicast;
    startJob(job);
}

void DiscoveryEngine::sendRangeProbe(uint32_t firstIp, uint32_t lastIp)
{
    if (firstIp > lastIp)
        std::swap(firstIp, lastIp);
    auto job = std::make_shared<ProbeJob>(m_sendIo);
    job->multicast = false;
    const uint16_t port = wire::discoveryPort();
    const uint64_t count = std::min<uint64_t>(uint64_t(lastIp) - firstIp + 1, kMaxRangeAddresses);
    for (uint64_t i = 0; i < count; ++i) {
        const uint32_t ip = uint32_t(firstIp + i);
        if (wire::destinationAllowed(ip)) {
            job->targets.emplace_back(asio::ip::address_v4(ip), port);
            job->silent.insert(ip);
        }
    }
    if (job->targets.empty())
        return;
    job->probe.type = wire::DiscoveryType::Probe;
    job->probe.probeKind = wire::ProbeKind::Range;
    startJob(job);
}

void DiscoveryEngine::startJob(const std::shared_ptr<ProbeJob> &job)
{
    job->probe.id = newProbeId();
    job->datagram = wire::encodeDiscovery(job->probe);
    if (!job->multicast) {
        std::lock_guard<std::mutex> lock(m_jobMutex);
        m_rangeJobs.push_back(job);
    }
    asio::post(m_sendIo, [this, job] {
        job->started = Clock::now();
        runJob(job);
    });
}

// One round of a probe, or one chunk of a range round; schedules what follows.
void DiscoveryEngine::runJob(const std::shared_ptr<ProbeJob> &job)
{
    if (job->multicast) {
        job->roundStarted = Clock::now();
        const udp::endpoint group(asio::ip::make_address_v4(wire::kDiscoveryGroup), wire::discoveryPort());
        for (ReceiveSocket *receiver : multicastSockets())
            sendTo(receiver->socket.native_handle(), job->datagram, group);
    } else if (!sendRangeChunk(*job)) {
        job->timer.expires_after(std::chrono::milliseconds(1));
        job->timer.async_wait([this, job](const asio::error_code &error) {
            if (!error)
                runJob(job);
        });
        return;
    }
    if (++job->round < kProbeRounds) {
        job->timer.expires_at(std::max(Clock::now(), job->roundStarted + std::chrono::milliseconds(kRoundIntervalMs)));
        job->timer.async_wait([this, job](const asio::error_code &error) {
            if (!error)
                runJob(job);
        });
    } else if (!job->reprobed) {
        job->timer.expires_at(job->started + std::chrono::milliseconds(kReprobeAfterMs));
        job->timer.async_wait([this, job](const asio::error_code &error) {
            if (!error)
                reprobe(job);
        });
    } else {
        finishJob(job);
    }
}

// Sends the next chunk of the current range round to the addresses that have
// not answered yet; true when the round is complete.
bool DiscoveryEngine::sendRangeChunk(ProbeJob &job)
{
    if (job.next == 0)
        job.roundStarted = Clock::now();
    const std::size_t end = std::min(job.next + kRangeChunk, job.targets.size());
    std::vector<const udp::endpoint *> chunk;
    chunk.reserve(end - job.next);
    {
        std::lock_guard<std::mutex> lock(m_jobMutex);
        for (std::size_t i = job.next; i < end; ++i) {
            if (job.silent.count(job.targets[i].address().to_v4().to_uint()))
                chunk.push_back(&job.targets[i]);
        }
    }
    if (ReceiveSocket *receiver = unicastSocket()) {
        for (const udp::endpoint *target : chunk)
            sendTo(receiver->socket.native_handle(), job.datagram, *target);
    }
    job.next = end < job.targets.size() ? end : 0;
    return job.next == 0;
}

void DiscoveryEngine::sendTo(int fd, const std::vector<uint8_t> &datagram, const udp::endpoint &to)
{
    // The receive side keeps the socket non-blocking; a full send buffer
    // gets one short wait.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::sendto(fd, datagram.data(), datagram.size(), MSG_DONTWAIT, to.data(), to.size()) >= 0)
            return;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != ENOBUFS)
            return;
        pollfd pfd{fd, POLLOUT, 0};
        ::poll(&pfd, 1, 10);
    }
}

void DiscoveryEngine::reprobe(const std::shared_ptr<ProbeJob> &job)
{
    job->reprobed = true;
    job->round = 0;
    job->next = 0;
    if (!job->multicast) {
        std::lock_guard<std::mutex> lock(m_jobMutex);
        std::vector<udp::endpoint> silent;
        for (const udp::endpoint &target : job->targets) {
            if (job->silent.count(target.address().to_v4().to_uint()))
                silent.push_back(target);
        }
        job->targets.swap(silent);
    }
    if (job->targets.empty() && !job->multicast) {
        finishJob(job);
        return;
    }
    job->probe.id = newProbeId();
    job->datagram = wire::encodeDiscovery(job->probe);
    runJob(job);
}

void DiscoveryEngine::finishJob(const std::shared_ptr<ProbeJob> &job)
{
    std::lock_guard<std::mutex> lock(m_jobMutex);
    m_rangeJobs.erase(std::remove(m_rangeJobs.begin(), m_rangeJobs.end(), job), m_rangeJobs.end());
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
            ReceiveSocket *raw = receiver.get();
            asio::post(m_io, [this, raw] { startReceive(raw); });
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
        if (m_unicast) {
            ReceiveSocket *raw = m_unicast.get();
            asio::post(m_io, [this, raw] { startReceive(raw); });
        }
    }
    return m_unicast.get();
}

namespace {

int requestedReceiveBuffer(int fallback)
{
    const char *value = std::getenv("CORVANE_DISCOVERY_RCVBUF");
    if (value == nullptr || *value == '\0')
        return fallback;
    char *end = nullptr;
    const long bytes = std::strtol(value, &end, 10);
    return (*end == '\0' && bytes > 0 && bytes <= fallback) ? int(bytes) : fallback;
}

} // namespace

// Opened on the send thread; its reads are started on the receive thread.
std::unique_ptr<DiscoveryEngine::ReceiveSocket> DiscoveryEngine::openSocket(const asio::ip::address_v4 &local)
{
    auto receiver = std::make_unique<ReceiveSocket>(m_io);
    asio::error_code ec;
    receiver->socket.open(udp::v4(), ec);
    if (ec)
        return nullptr;
    // A large buffer rides out a stall of the receive thread; the system caps
    // it, and the re-probe recovers what a small one loses.
    receiver->socket.set_option(asio::socket_base::receive_buffer_size(requestedReceiveBuffer(kReceiveBufferBytes)),
                                ec);
    receiver->socket.bind(udp::endpoint(local, 0), ec);
    if (ec)
        return nullptr;
    return receiver;
}

void DiscoveryEngine::startReceive(ReceiveSocket *receiver)
{
    receiver->socket.async_wait(udp::socket::wait_read, [this, receiver](const asio::error_code &error) {
        if (error == asio::error::operation_aborted || !receiver->socket.is_open())
            return;
        if (!error)
            drain(receiver->socket.native_handle());
        startReceive(receiver);
    });
}

// Reads until the socket is empty, a batch per system call.
void DiscoveryEngine::drain(int fd)
{
    std::vector<uint32_t> answered;
    for (;;) {
        const int count = m_batch->receive(fd);
        if (count <= 0)
            break;
        for (int i = 0; i < count; ++i) {
            const mmsghdr &header = m_batch->headers[std::size_t(i)];
            if (header.msg_hdr.msg_flags & MSG_TRUNC)
                continue;
            // An answer is only believed together with the address it came from.
            if (header.msg_hdr.msg_namelen < sizeof(sockaddr_in))
                continue;
            const uint32_t sender = ntohl(m_batch->senders[std::size_t(i)].sin_addr.s_addr);
            if (handleDatagram(m_batch->buffers[std::size_t(i)].data(), header.msg_len, sender))
                answered.push_back(sender);
        }
        if (count < kReceiveBatch)
            break;
    }
    if (!answered.empty())
        noteAnswers(answered);
}

void DiscoveryEngine::noteAnswers(const std::vector<uint32_t> &senders)
{
    std::lock_guard<std::mutex> lock(m_jobMutex);
    for (const std::shared_ptr<ProbeJob> &job : m_rangeJobs) {
        for (const uint32_t sender : senders)
            job->silent.erase(sender);
    }
}

bool DiscoveryEngine::handleDatagram(const uint8_t *data, std::size_t size, uint32_t sender)
{
    const std::optional<wire::DiscoveryMessage> message = wire::decodeDiscovery(data, size);
    if (!message || message->type != wire::DiscoveryType::Answer || !isOurProbe(message->id))
        return false;
    if (!m_answerFilter.accept(*message, sender))
        return false;
    RVNA_DEVICE_INFO info;
    std::memset(&info, 0, sizeof info);
    char *slots[wire::AnswerTextCount] = {info.szIp, info.szModel, info.szSerial,
                                          info.szMac, info.szReserved, info.szVersion};
    for (int i = 0; i < wire::AnswerTextCount; ++i)
        wire::fillSlot(slots[i], RVNA_TEXT_LEN, message->texts[i]); // at most 63 bytes: NUL stays
    callbackSlot().deliver(info, sender);
    return true;
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
