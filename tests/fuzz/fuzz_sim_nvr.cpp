// The simulated NVR's side of the maintenance protocol: frames cut from the
// input go to a connection handler, before a login or after a real one.
//
// Input: byte 0 mode (bit 0: log in first; bit 1: send every later body as a
// request of that session, with its counter and proof), then frames of u16
// type, u16 length, body.
// The handler lives in an anonymous namespace, hence the include.
#include "../../devsim/nvrservice.cpp"

#include "requestproof.h"
#include "simharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static simharness::World<NvrDevice, NvrTiming> world(true);
    if (size == 0)
        return 0;
    NvrHandler handler(*world.device, "127.0.0.1");
    std::vector<uint8_t> token, key;
    std::vector<uint8_t> body, nonce;
    if ((data[0] & 1) && simharness::ask(handler, tolan::OpChallenge, wire::WireWriter().str("admin").take(), body)) {
        wire::WireReader challenge(body);
        const std::vector<uint8_t> clientNonce = wire::makeNonce();
        if (challenge.bytes(nonce, 64)
            && simharness::ask(handler, tolan::OpLogin,
                               wire::WireWriter().str("admin").bytes(wire::loginProof("vorpe", nonce, "admin"))
                                   .bytes(clientNonce).take(),
                               body)) {
            wire::WireReader reader(body);
            reader.bytes(token, tolan::kTokenSize);
            key = wire::sessionKey("vorpe", nonce, clientNonce, "admin");
        }
    }
    const bool bSession = (data[0] & 2) && !token.empty();
    uint64_t counter = 0;
    simharness::feedFrames(handler, data, size, [&](uint16_t type, std::vector<uint8_t> fields) {
        if (!bSession)
            return fields;
        ++counter;
        std::vector<uint8_t> payload = wire::WireWriter().bytes(token).u64(counter)
            .bytes(wire::requestProof(key, type, token, counter, fields.data(), fields.size())).take();
        payload.insert(payload.end(), fields.begin(), fields.end());
        return payload;
    });
    world.runTimers();
    return 0;
}
