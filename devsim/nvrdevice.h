#ifndef NVRDEVICE_H
#define NVRDEVICE_H

// Behaviour of one simulated NVR behind the maintenance protocol: accounts
// with lockout, sessions, restart, firmware upgrade, configuration and
// diagnostic export. Thread-safe; results are TLSDK_* codes.
//
// Upgrade behaviour follows the version text inside the firmware image:
//   ends in "-fail"   applying fails (state 3) halfway through the upgrade time
//   ends in "-stall"  progress stays 0 and the upgrade never finishes
//   ends in "-hang"   progress climbs to 90 and the upgrade never finishes
//   anything else     progress reaches 100 after the upgrade time, state 1,
//                     and the device reports the new version
#include "auth.h"
#include "nvrsessions.h"
#include "nvrsettings.h"

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class SimFleet;
struct SimDevice;

struct NvrTiming
{
    std::chrono::milliseconds upgrade {std::chrono::seconds(20)};
    std::chrono::milliseconds restart {std::chrono::seconds(5)};
    // Restart this long after a finished upgrade was reported; negative: never.
    std::chrono::milliseconds rebootAfterUpgrade {-1};
};

class NvrDevice
{
public:
    NvrDevice(SimDevice &device, SimFleet &fleet, asio::io_context &io, const NvrTiming &timing);
    ~NvrDevice();

    SimDevice &simDevice() { return m_device; }
    bool online() const;

    // source: the peer's address, counted by the lockout.
    uint32_t challenge(const std::string &user, const std::string &source, corvane::wire::Challenge &challenge,
                       std::vector<uint8_t> &nonce);
    // clientNonce: the client's share of the session key.
    uint32_t login(const std::string &user, const std::string &source, const std::vector<uint8_t> &proof,
                   const std::vector<uint8_t> &clientNonce, corvane::wire::Challenge &challenge,
                   std::vector<uint8_t> &token, std::vector<uint8_t> &info);
    // Whether a request belongs to a live session (NvrSessions::check).
    uint32_t checkRequest(const std::vector<uint8_t> &token, const std::string &source, uint16_t type,
                          uint64_t counter, const std::vector<uint8_t> &proof, const uint8_t *fields,
                          std::size_t size);
    bool hasSessionFrom(const std::string &source);
    void logout(const std::vector<uint8_t> &token);

    uint32_t restart();
    uint32_t deviceConfig(uint32_t command, std::vector<uint8_t> &structure);

    uint32_t upgradeBegin(uint64_t size, uint32_t &id);
    uint32_t upgradeData(uint32_t id, uint64_t offset, const std::vector<uint8_t> &chunk);
    uint32_t upgradeEnd(uint32_t id);
    uint32_t upgradeStatus(uint32_t id, uint32_t &state, uint32_t &progress);
    uint32_t upgradeClose(uint32_t id);

    uint32_t exportDiagnostics(std::vector<uint8_t> &archive);
    uint32_t exportConfig(std::vector<uint8_t> &file);
    uint32_t importConfig(const std::vector<uint8_t> &file);

private:
    enum class Phase { Uploading, Applying, Done, Failed };
    enum class Behaviour { Normal, Fail, Stall, Hang };
    struct Upgrade
    {
        uint32_t id = 0;
        Phase phase = Phase::Uploading;
        Behaviour behaviour = Behaviour::Normal;
        uint64_t size = 0;
        std::vector<uint8_t> image;
        std::string version;
        std::chrono::steady_clock::time_point started;
        bool rebootScheduled = false;
    };

    void note(const std::string &event);     // m_mutex held
    void cancelUpgrade();                     // m_mutex held
    void finishUpgrade(uint32_t id);
    uint32_t progressOf(const Upgrade &upgrade) const;
    std::string settingsPath() const;
    void saveSettings();                      // m_mutex held
    std::vector<uint8_t> loginInfo() const;
    std::vector<uint8_t> deviceInfo() const;
    std::vector<uint8_t> networkInfo() const;
    uint32_t channels() const;

    SimDevice &m_device;
    SimFleet &m_fleet;
    NvrTiming m_timing;
    std::chrono::system_clock::time_point m_bootTime;

    mutable std::mutex m_mutex;
    NvrSettings m_settings;
    NvrSessions m_sessions;
    std::unique_ptr<Upgrade> m_upgrade;
    uint32_t m_nextUpgradeId = 1;
    std::deque<std::string> m_log;
    asio::steady_timer m_upgradeTimer;
    asio::steady_timer m_restartTimer;
};

#endif // NVRDEVICE_H
