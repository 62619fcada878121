// The simulated NVR's side of the maintenance protocol: frames cut from the
// input go to a connection handler, before a login or after a real one.
//
// Input: byte 0 mode (bit 0: log in first; bit 1: put the session token in
// front of every later body), then frames of u16 type, u16 length, body.
// The handler lives in an anonymous namespace, hence the include.
#include "../../devsim/nvrservice.cpp"

namespace {

struct World
{
    World() : fleet(options())
    {
        std::string error;
        if (!fleet.init(error))
            std::abort();
        NvrTiming timing;
        timing.restart = std::chrono::milliseconds(0);
        timing.upgrade = std::chrono::milliseconds(0);
        device = std::make_unique<NvrDevice>(*fleet.devices().front(), fleet, io, timing);
    }

    static SimOptions options()
    {
        SimOptions o;
        o.nvrCount = 1;
        o.seed = 7;
        o.lockoutMs = 0; // guesses of the fuzzer must not lock out the login that follows
        return o;
    }

    SimFleet fleet;
    asio::io_context io;
    std::unique_ptr<NvrDevice> device;
};

bool ask(NvrHandler &handler, uint16_t type, std::vector<uint8_t> payload, std::vector<uint8_t> &body)
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static World world;
    if (size == 0)
        return 0;
    NvrHandler handler(*world.device, "127.0.0.1");
    std::vector<uint8_t> token;
    if (data[0] & 1) {
        std::vector<uint8_t> body;
        std::vector<uint8_t> nonce;
        if (ask(handler, tolan::OpChallenge, wire::WireWriter().str("admin").take(), body)) {
            wire::WireReader reader(body);
            if (reader.bytes(nonce, 64)
                && ask(handler, tolan::OpLogin,
                       wire::WireWriter().str("admin").bytes(wire::loginProof("vorpe", nonce, "admin")).take(),
                       body)) {
                wire::WireReader tokenReader(body);
                tokenReader.bytes(token, tolan::kTokenSize);
            }
        }
    }
    std::size_t pos = 1;
    while (pos + 4 <= size) {
        wire::Frame request;
        request.type = uint16_t(data[pos] | (data[pos + 1] << 8));
        const std::size_t length = std::min<std::size_t>(data[pos + 2] | (data[pos + 3] << 8), size - pos - 4);
        if ((data[0] & 2) && !token.empty())
            request.payload = wire::WireWriter().bytes(token).take();
        request.payload.insert(request.payload.end(), data + pos + 4, data + pos + 4 + length);
        pos += 4 + length;
        if (request.payload.size() > handler.payloadLimit())
            break; // the server closes the connection here
        wire::Frame reply;
        if (!handler.handle(request, reply) || reply.payload.size() > wire::kMaxFramePayload)
            break;
    }
    world.io.restart();
    world.io.poll();
    return 0;
}
