// What the two device-side harnesses share: a fleet of one simulated device
// whose restarts and upgrades take no time, a request helper, and the loop
// that cuts frames from the input. Include it after the handler's source.
#ifndef SIMHARNESS_H
#define SIMHARNESS_H

#include "simfleet.h"
#include "simoptions.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace simharness {

// Device is IpcDevice or NvrDevice, Timing its timing structure.
template <typename Device, typename Timing>
struct World
{
    explicit World(bool bNvr) : fleet(options(bNvr))
    {
        std::string error;
        if (!fleet.init(error))
            std::abort();
        Timing timing;
        timing.restart = std::chrono::milliseconds(0);
        timing.upgrade = std::chrono::milliseconds(0);
        device = std::make_shared<Device>(*fleet.devices().front(), fleet, io, timing);
    }

    static SimOptions options(bool bNvr)
    {
        SimOptions o;
        (bNvr ? o.nvrCount : o.ipcCount) = 1;
        o.seed = 7;
        o.lockoutMs = 0; // guesses of the fuzzer must not lock out the login that follows
        return o;
    }

    // Timers of restarts and upgrades run out at once.
    void runTimers()
    {
        io.restart();
        io.poll();
    }

    SimFleet fleet;
    asio::io_context io;
    std::shared_ptr<Device> device;
};

// One request through the handler; true and the body after the result code
// when the device answers 0.
template <typename Handler>
bool ask(Handler &handler, uint16_t type, std::vector<uint8_t> payload, std::vector<uint8_t> &body)
{
    wire::Frame request;
    request.type = type;
    request.payload = std::move(payload);
    wire::Frame reply;
    if (!handler.handle(request, reply))
        return false;
    wire::WireReader reader(reply.payload);
    uint32_t result = 0;
    if (!reader.u32(result) || result != 0)
        return false;
    body.assign(reply.payload.begin() + 4, reply.payload.end());
    return true;
}

// Logs in as the fleet's administrator: challenge, then proof. The login's
// answer body (empty on failure).
template <typename Handler>
std::vector<uint8_t> logIn(Handler &handler, uint16_t challengeOp, uint16_t loginOp)
{
    std::vector<uint8_t> body;
    std::vector<uint8_t> nonce;
    if (!ask(handler, challengeOp, wire::WireWriter().str("admin").take(), body))
        return {};
    wire::WireReader reader(body);
    if (!reader.bytes(nonce, 64))
        return {};
    if (!ask(handler, loginOp, wire::WireWriter().str("admin").bytes(wire::loginProof("vorpe", nonce, "admin")).take(),
             body))
        return {};
    return body;
}

// Frames of u16 type, u16 length and body from data[1..]; payload(type, body)
// makes each request's payload (it may put a session in front) for the
// handler, until the input ends or the connection would be closed.
template <typename Handler, typename MakePayload>
void feedFrames(Handler &handler, const uint8_t *data, std::size_t size, MakePayload payload)
{
    std::size_t pos = 1;
    while (pos + 4 <= size) {
        wire::Frame request;
        request.type = uint16_t(data[pos] | (data[pos + 1] << 8));
        const std::size_t length = std::min<std::size_t>(data[pos + 2] | (data[pos + 3] << 8), size - pos - 4);
        request.payload = payload(request.type, std::vector<uint8_t>(data + pos + 4, data + pos + 4 + length));
        pos += 4 + length;
        if (request.payload.size() > handler.payloadLimit())
            break; // the device closes the connection here
        wire::Frame reply;
        if (!handler.handle(request, reply) || reply.payload.size() > wire::kMaxFramePayload)
            break;
    }
}

} // namespace simharness

#endif // SIMHARNESS_H
