// The simulated IPC's side of the configuration protocol: frames cut from
// the input go to a connection handler, before a login or after a real one.
//
// Input: byte 0 mode (bit 0: log in first), then frames of u16 type,
// u16 length, body. The connection handler lives in an anonymous
// namespace, hence the include of its source.
#include "../../devsim/ipcserver.cpp"

#include "simfleet.h"
#include "simoptions.h"

namespace {

struct World
{
    World() : fleet(options())
    {
        std::string error;
        if (!fleet.init(error))
            std::abort();
        IpcTiming timing;
        timing.restart = std::chrono::milliseconds(0);
        timing.upgrade = std::chrono::milliseconds(0);
        device = std::make_shared<IpcDevice>(*fleet.devices().front(), fleet, io, timing);
    }

    static SimOptions options()
    {
        SimOptions o;
        o.ipcCount = 1;
        o.seed = 7;
        o.lockoutMs = 0; // guesses of the fuzzer must not lock out the login that follows
        return o;
    }

    SimFleet fleet;
    asio::io_context io;
    std::shared_ptr<IpcDevice> device;
};

bool ask(IpcConnection &connection, uint16_t type, std::vector<uint8_t> payload, std::vector<uint8_t> &body)
{
    wire::Frame request;
    request.type = type;
    request.payload = std::move(payload);
    wire::Frame reply;
    if (!connection.handle(request, reply))
        return false;
    wire::WireReader reader(reply.payload);
    uint32_t result = 0;
    if (!reader.u32(result) || result != 0)
        return false;
    body.assign(reply.payload.begin() + 4, reply.payload.end());
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static World world;
    if (size == 0)
        return 0;
    IpcConnection connection(world.device, "127.0.0.1");
    if (data[0] & 1) {
        std::vector<uint8_t> body;
        std::vector<uint8_t> nonce;
        if (ask(connection, OpChallenge, wire::WireWriter().str("admin").take(), body)) {
            wire::WireReader reader(body);
            if (reader.bytes(nonce, 64))
                ask(connection, OpLogin,
                    wire::WireWriter().str("admin").bytes(wire::loginProof("vorpe", nonce, "admin")).take(), body);
        }
    }
    std::size_t pos = 1;
    while (pos + 4 <= size) {
        wire::Frame request;
        request.type = uint16_t(data[pos] | (data[pos + 1] << 8));
        const std::size_t length = std::min<std::size_t>(data[pos + 2] | (data[pos + 3] << 8), size - pos - 4);
        request.payload.assign(data + pos + 4, data + pos + 4 + length);
        pos += 4 + length;
        if (request.payload.size() > connection.payloadLimit())
            break; // the server closes the connection here
        wire::Frame reply;
        if (!connection.handle(request, reply) || reply.payload.size() > wire::kMaxFramePayload)
            break;
    }
    // Timers of reboots and upgrades run out at once.
    world.io.restart();
    world.io.poll();
    return 0;
}
