// The simulated NVR's side of the maintenance protocol: frames cut from the
// input go to a connection handler, before a login or after a real one.
//
// Input: byte 0 mode (bit 0: log in first; bit 1: put the session token in
// front of every later body), then frames of u16 type, u16 length, body.
// The handler lives in an anonymous namespace, hence the include.
#include "../../devsim/nvrservice.cpp"

#include "simharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static simharness::World<NvrDevice, NvrTiming> world(true);
    if (size == 0)
        return 0;
    NvrHandler handler(*world.device, "127.0.0.1");
    std::vector<uint8_t> token;
    if (data[0] & 1) {
        const std::vector<uint8_t> body = simharness::logIn(handler, tolan::OpChallenge, tolan::OpLogin);
        wire::WireReader reader(body);
        reader.bytes(token, tolan::kTokenSize);
    }
    const bool bToken = (data[0] & 2) && !token.empty();
    simharness::feedFrames(handler, data, size, [&] {
        return bToken ? wire::WireWriter().bytes(token).take() : std::vector<uint8_t>();
    });
    world.runTimers();
    return 0;
}
