// The simulated IPC's side of the configuration protocol: frames cut from
// the input go to a connection handler, before a login or after a real one.
//
// Input: byte 0 mode (bit 0: log in first), then frames of u16 type,
// u16 length, body. The connection handler lives in an anonymous
// namespace, hence the include of its source.
#include "../../devsim/ipcserver.cpp"

#include "simharness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static simharness::World<IpcDevice, IpcTiming> world(false);
    if (size == 0)
        return 0;
    IpcConnection connection(world.device, "127.0.0.1");
    if (data[0] & 1)
        simharness::logIn(connection, OpChallenge, OpLogin);
    simharness::feedFrames(connection, data, size, [](uint16_t, std::vector<uint8_t> body) { return body; });
    world.runTimers();
    return 0;
}
