#ifndef CORVANE_DISCOVERYENGINE_H
#define CORVANE_DISCOVERYENGINE_H

#include "Discovery.h"
#include "DiscoverySender.h"
#include "answerfilter.h"
#include "discovery_wire.h"

#include <asio/executor_work_guard.hpp>
#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane::discovery {

// Where answers go. Held apart from the engine so that a callback can be
// registered before or after initialisation. Delivery happens under the
// lock, so once set(nullptr, ...) returns no callback is running.
class CallbackSlot
{
public:
    void set(RVNA_DISCOVERY_CALLBACK callback, void *context);
    void setWithSender(RVNA_DISCOVERY_SENDER_CALLBACK callback, void *context);
    void deliver(const RVNA_DEVICE_INFO &info, uint32_t sender);

private:
    // False when a null registration must leave the current receiver alone.
    bool replaces(bool bNull, void *context) const;

    std::mutex m_mutex;
    RVNA_DISCOVERY_CALLBACK m_callback = nullptr;
    RVNA_DISCOVERY_SENDER_CALLBACK m_senderCallback = nullptr;
    void *m_context = nullptr;
};

CallbackSlot &callbackSlot();

// Receives answers on a thread of its own and sends probes from another, so
// that a long range burst never keeps the answers from being drained.
class DiscoveryEngine
{
public:
    DiscoveryEngine();
    ~DiscoveryEngine();
    DiscoveryEngine(const DiscoveryEngine &) = delete;
    DiscoveryEngine &operator=(const DiscoveryEngine &) = delete;

    void sendMulticastProbe();
    void sendRangeProbe(uint32_t firstIp, uint32_t lastIp);

    // Repetitions of a probe under one id, spread over the first 100 ms.
    static constexpr int kProbeRounds = 6;
    static constexpr int kRoundIntervalMs = 20;
    // A range round leaves in chunks, one per millisecond.
    static constexpr std::size_t kRangeChunk = 128;
    // Devices answer an id once, so an answer lost to a full receive buffer
    // only comes back for a new id: a second probe follows this long after the
    // first (a range probe asks only the addresses that stayed silent).
    static constexpr int kReprobeAfterMs = 250;
    // A range probe covers at most this many addresses.
    static constexpr uint32_t kMaxRangeAddresses = 65536;
    // Asked for, capped by the system; CORVANE_DISCOVERY_RCVBUF overrides it.
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;
    static constexpr int kReceiveBatch = 64;

private:
    struct ReceiveSocket
    {
        explicit ReceiveSocket(asio::io_context &io) : socket(io) {}
        asio::ip::udp::socket socket;
    };
    struct ProbeJob;
    struct ReceiveBatch;

    std::vector<ReceiveSocket *> multicastSockets();
    ReceiveSocket *unicastSocket();
    std::unique_ptr<ReceiveSocket> openSocket(const asio::ip::address_v4 &local);
    void startReceive(ReceiveSocket *receiver);
    void drain(int fd);
    bool handleDatagram(const uint8_t *data, std::size_t size, uint32_t sender);
    void noteAnswers(const std::vector<uint32_t> &senders);
    void startJob(const std::shared_ptr<ProbeJob> &job);
    void runJob(const std::shared_ptr<ProbeJob> &job);
    bool sendRangeChunk(ProbeJob &job);
    void sendTo(int fd, const std::vector<uint8_t> &datagram, const asio::ip::udp::endpoint &to);
    void reprobe(const std::shared_ptr<ProbeJob> &job);
    void finishJob(const std::shared_ptr<ProbeJob> &job);
    uint32_t newProbeId();
    bool isOurProbe(uint32_t id);

    // Receiving side: the answer sockets belong to this context.
    asio::io_context m_io;
    asio::executor_work_guard<asio::io_context::executor_type> m_work;
    std::unique_ptr<ReceiveBatch> m_batch;
    // Sending side: probe jobs and socket creation.
    asio::io_context m_sendIo;
    asio::executor_work_guard<asio::io_context::executor_type> m_sendWork;
    std::map<uint32_t, std::unique_ptr<ReceiveSocket>> m_multicast; // by interface address
    std::unique_ptr<ReceiveSocket> m_unicast;
    std::mutex m_idMutex;
    std::deque<uint32_t> m_recentIds;
    AnswerFilter m_answerFilter;
    std::mutex m_jobMutex;
    std::vector<std::shared_ptr<ProbeJob>> m_rangeJobs; // waiting for their answers
    std::thread m_thread;
    std::thread m_sendThread;
};

} // namespace corvane::discovery

#endif // CORVANE_DISCOVERYENGINE_H
