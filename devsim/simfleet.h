#ifndef SIMFLEET_H
#define SIMFLEET_H

// The simulated devices, their address index and their saved state.
#include "simdevice.h"
#include "simoptions.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SimFleet
{
public:
    using MoveListener = std::function<void(SimDevice &device, const std::string &oldIp)>;
    enum class MoveResult { Moved, Unchanged, Conflict, Invalid };

    explicit SimFleet(const SimOptions &options);
    SimFleet(const SimFleet &) = delete;
    SimFleet &operator=(const SimFleet &) = delete;

    // Loads the devices from the state folder, or creates them; false with a message.
    bool init(std::string &error);

    const std::vector<std::unique_ptr<SimDevice>> &devices() const { return m_devices; }
    SimDevice *findByIp(const std::string &ip) const;
    const std::string &stateDir() const { return m_options.stateDir; }

    // Called after every address change, on the thread that made it.
    void addMoveListener(MoveListener listener);

    // Gives the device a new address (and mask and gateway). Conflict when
    // another device holds it, Invalid for an address that is no host
    // address. onAccepted runs once the change is decided, before the
    // listeners (the discovery side replies from the old address there).
    MoveResult moveDevice(SimDevice &device, const std::string &newIp, const std::string &mask,
                          const std::string &gateway, const std::function<void()> &onAccepted = {});
    // Gives the account a new password and ends its sessions on every service.
    void changePassword(SimDevice &device, const std::string &user, const std::string &password);
    // Restores the factory account.
    void restoreFactoryPassword(SimDevice &device);

    // Writes the state file when a state folder is set. Safe from any thread.
    void save() const;

    // Dotted IPv4 text in canonical form ("192.168.001.010" -> "192.168.1.10");
    // false for text that is no address, or (with hostAddress) whose last number is 0.
    static bool canonicalIp(const std::string &text, std::string &canonical, bool hostAddress);
    static bool validMask(const std::string &text);
    // State files are tab-separated; fields keep tabs and line ends escaped.
    static std::string escapeField(const std::string &text);
    static std::string unescapeField(const std::string &text);
    static std::vector<std::string> splitTabs(const std::string &line);

private:
    void create();
    // The type the device at this place in the fleet has.
    std::string typeAt(int index) const;
    bool load(std::string &error);
    bool assignKeys(std::string &error);
    std::string statePath() const;

    SimOptions m_options;
    std::vector<std::unique_ptr<SimDevice>> m_devices;
    mutable std::mutex m_mutex; // m_byIp and m_listeners
    std::map<std::string, SimDevice *> m_byIp;
    std::vector<MoveListener> m_listeners;
    mutable std::mutex m_saveMutex;
};

#endif // SIMFLEET_H
