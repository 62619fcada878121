#ifndef CORVANE_DISCOVERYENGINE_H
#define CORVANE_DISCOVERYENGINE_H

#include "Discovery.h"
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
    void deliver(const RVNA_DEVICE_INFO &info);

private:
    std::mutex m_mutex;
    RVNA_DISCOVERY_CALLBACK m_callback = nullptr;
    void *m_context = nullptr;
};

CallbackSlot &callbackSlot();

// Sends probes and receives answers on a thread of its own.
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
    // A range probe covers at most this many addresses.
    static constexpr uint32_t kMaxRangeAddresses = 65536;
    static constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

private:
    struct ReceiveSocket
    {
        explicit ReceiveSocket(asio::io_context &io) : socket(io) {}
        asio::ip::udp::socket socket;
        asio::ip::udp::endpoint sender;
        std::array<uint8_t, wire::kMaxDiscoveryDatagram + 1> buffer{};
    };
    struct ProbeJob;

    std::vector<ReceiveSocket *> multicastSockets();
    ReceiveSocket *unicastSocket();
    std::unique_ptr<ReceiveSocket> openSocket(const asio::ip::address_v4 &local);
    void startReceive(ReceiveSocket *receiver);
    void handleDatagram(const uint8_t *data, std::size_t size, const asio::ip::udp::endpoint &sender);
    void runJob(const std::shared_ptr<ProbeJob> &job);
    uint32_t newProbeId();
    bool isOurProbe(uint32_t id);

    asio::io_context m_io;
    asio::executor_work_guard<asio::io_context::executor_type> m_work;
    std::map<uint32_t, std::unique_ptr<ReceiveSocket>> m_multicast; // by interface address
    std::unique_ptr<ReceiveSocket> m_unicast;
    std::mutex m_idMutex;
    std::deque<uint32_t> m_recentIds;
    AnswerFilter m_answerFilter;
    std::thread m_thread;
};

} // namespace corvane::discovery

#endif // CORVANE_DISCOVERYENGINE_H
