#include "devservices.h"

#include "ipcserver.h"
#include "nvrservice.h"
#include "simfleet.h"
#include "simoptions.h"
#include "zeltproto.h"

#include <iostream>
#include <map>

namespace {

// The services live as long as the simulator process. They are never
// destroyed: their sockets and timers belong to main's io_context, which is
// gone by the time static objects are destroyed.
std::map<SimDevice *, std::unique_ptr<IpcServer>> &ipcServers()
{
    static auto *servers = new std::map<SimDevice *, std::unique_ptr<IpcServer>>;
    return *servers;
}

void startIpcServices(SimFleet &fleet, asio::io_context &io, const SimOptions &options)
{
    IpcTiming timing;
    timing.restart = std::chrono::milliseconds(options.restartMs);
    timing.upgrade = std::chrono::milliseconds(options.upgradeMs);
    timing.rebootAfterUpgrade = std::chrono::milliseconds(options.rebootAfterUpgradeMs);
    timing.capFailKind = options.capFailKind;
    timing.capGarbledKind = options.capGarbledKind;
    timing.capFullKind = options.capFullKind;
    timing.videoInputFail = options.videoInputFail;
    timing.streamFail = options.streamFail;
    timing.mainStreamRefused = options.mainStreamRefused;
    timing.cfgDelay = std::chrono::milliseconds(options.cfgDelayMs);
    timing.cfgReadDelay = std::chrono::milliseconds(options.cfgReadDelayMs);
    timing.unreadableImageCmd = options.unreadableImageCmd;
    timing.encAnswerIndex = options.encAnswerIndex;
    timing.refuseAfterMain = options.refuseAfterMain;
    IpcFaults faults;
    faults.unreadableCfg = options.unreadableCfg;
    faults.refusedCfg = options.refusedCfg;
    for (const auto &device : fleet.devices()) {
        if (device->type != "IPC")
            continue;
        timing.refusedSets.clear();
        timing.refusedGets.clear();
        timing.cfgSilent = options.cfgSilentIps.count(device->ip) != 0;
        for (const SimOptions::RefusedSet &refused : options.refusedSets) {
            if (refused.ip == device->ip)
                timing.refusedSets.emplace_back(refused.cmd, refused.stream);
        }
        for (const SimOptions::RefusedSet &refused : options.refusedGets) {
            if (refused.ip == device->ip)
                timing.refusedGets.emplace_back(refused.cmd, refused.stream);
        }
        auto ipc = std::make_shared<IpcDevice>(*device, fleet, io, timing);
        ipc->setFaults(faults);
        auto server = std::make_unique<IpcServer>(ipc, io, corvane::zelt::kDefaultPort);
        std::string error;
        if (!server->listen(error))
            std::cerr << "corvane-devsim: " << error << '\n';
        ipcServers()[device.get()] = std::move(server);
    }
    fleet.addMoveListener([](SimDevice &device, const std::string &) {
        const auto it = ipcServers().find(&device);
        if (it == ipcServers().end())
            return;
        // A camera whose interface moves drops every connection it had.
        it->second->device().closeSessions();
        std::string error;
        if (!it->second->listen(error))
            std::cerr << "corvane-devsim: " << error << '\n';
    });
}

} // namespace

void startDeviceServices(SimFleet &fleet, asio::io_context &io, const SimOptions &options)
{
    startIpcServices(fleet, io, options);
    startNvrServices(fleet, io, options);
}
