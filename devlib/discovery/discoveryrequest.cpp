#include "discoveryrequest.h"

#include "Discovery.h"
#include "loopbackguard.h"

#include <asio/io_context.hpp>
#include <asio/ip/udp.hpp>

#include <poll.h>

#include <array>
#include <chrono>
#include <random>

namespace corvane::discovery {

using asio::ip::udp;

int DiscoveryRequest::transact(uint32_t deviceIp, wire::DiscoveryMessage request, wire::DiscoveryType replyType)
{
    if (!wire::destinationAllowed(deviceIp))
        return RVNA_ERR_REFUSED;

    thread_local std::mt19937 generator{std::random_device{}()};
    request.id = generator();
    const std::vector<uint8_t> datagram = wire::encodeDiscovery(request);
    if (datagram.empty())
        return RVNA_ERR_PARAM;

    asio::io_context io;
    udp::socket socket(io);
    asio::error_code ec;
    socket.open(udp::v4(), ec);
    if (!ec)
        socket.non_blocking(true, ec);
    if (ec)
        return RVNA_ERR_NETWORK;
    const udp::endpoint device(asio::ip::address_v4(deviceIp), wire::discoveryPort());

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kTimeoutMs);
    Clock::time_point nextSend = Clock::now();
    std::array<uint8_t, wire::kMaxDiscoveryDatagram + 1> buffer{};
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return RVNA_ERR_TIMEOUT;
        if (now >= nextSend) {
            socket.send_to(asio::buffer(datagram), device, 0, ec);
            if (ec && ec != asio::error::would_block && ec != asio::error::no_buffer_space)
                return RVNA_ERR_NETWORK;
            nextSend = now + std::chrono::milliseconds(kResendIntervalMs);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(nextSend, deadline) - now);
        pollfd pfd{socket.native_handle(), POLLIN, 0};
        if (::poll(&pfd, 1, int(wait.count()) + 1) <= 0)
            continue;
        udp::endpoint sender;
        const std::size_t size = socket.receive_from(asio::buffer(buffer), sender, 0, ec);
        if (ec || sender != device)
            continue;
        const std::optional<wire::DiscoveryMessage> reply = wire::decodeDiscovery(buffer.data(), size);
        if (reply && reply->type == replyType && reply->id == request.id)
            return int(reply->result);
    }
}

} // namespace corvane::discovery
