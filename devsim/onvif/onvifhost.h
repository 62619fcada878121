#ifndef ONVIFHOST_H
#define ONVIFHOST_H

// The fleet's ONVIF devices: their SOAP servers, WS-Discovery, restarts,
// address moves and the state file beside the fleet's.
#include "onvifdevice.h"
#include "onvifhttp.h"
#include "wsdiscovery.h"

#include <asio/io_context.hpp>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SimFleet;
struct SimDevice;
struct SimOptions;

class OnvifHost
{
public:
    OnvifHost(asio::io_context &io, SimFleet &fleet, const SimOptions &options);
    ~OnvifHost();
    OnvifHost(const OnvifHost &) = delete;
    OnvifHost &operator=(const OnvifHost &) = delete;

    bool start(std::string &error);
    // Says Bye for every device and stops the servers.
    void shutdown();
    // "ONVIF <ip> <http port> <model> <serial> <mac> <endpoint>", empty for a native device.
    std::string describe(const SimDevice &device) const;

private:
    struct Unit
    {
        std::unique_ptr<OnvifDevice> device;
        std::unique_ptr<OnvifHttpServer> server;
    };

    Unit *find(const SimDevice &device) const;
    void loadState();
    void saveState() const;
    std::string statePath() const;
    void reboot(Unit &unit);
    void moved(Unit &unit);

    asio::io_context &m_io;
    SimFleet &m_fleet;
    const SimOptions &m_options;
    WsDiscovery m_discovery;
    std::vector<std::unique_ptr<Unit>> m_units;
    mutable std::mutex m_saveMutex;
};

#endif // ONVIFHOST_H
