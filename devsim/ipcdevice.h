#ifndef IPCDEVICE_H
#define IPCDEVICE_H

// Behaviour of one simulated IPC behind the configuration and media
// protocol: account with lockout, sessions, configuration, reboot, firmware
// upgrade, configuration files, diagnostics and the live picture.
// Thread-safe; results are ZELT_MW_* codes.
//
// Upgrade behaviour: a damaged image or one for another model fails halfway
// through the upgrade time, as does an image whose version ends in "-fail";
// otherwise the device runs the new version once the time has passed.
#include "auth.h"
#include "ipcconfig.h"

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class SimFleet;
struct SimDevice;

struct IpcTiming
{
    std::chrono::milliseconds restart {std::chrono::seconds(3)};
    std::chrono::milliseconds upgrade {std::chrono::seconds(5)};
};

class IpcDevice
{
public:
    IpcDevice(SimDevice &device, SimFleet &fleet, asio::io_context &io, const IpcTiming &timing);

    SimDevice &simDevice() { return m_device; }
    bool online() const;
    // Changes at every reboot; connections of an earlier boot are dropped.
    uint64_t boot() const;

    uint32_t challenge(const std::string &user, corvane::wire::Challenge &challenge, std::vector<uint8_t> &nonce);
    // source: the peer's address, counted by the lockout.
    uint32_t login(const std::string &user, const std::vector<uint8_t> &proof, corvane::wire::Challenge &challenge,
                   const std::string &source, uint64_t &token);
    bool validSession(uint64_t token);
    void logout(uint64_t token);

    uint32_t getConfig(uint32_t cmd, const std::vector<uint8_t> &request, std::vector<uint8_t> &out);
    uint32_t setConfig(uint32_t cmd, const std::vector<uint8_t> &data);
    uint32_t queryInfo(uint32_t query, std::vector<uint8_t> &out);
    uint32_t capability(uint32_t kind, std::string &xml) const;
    uint32_t reboot();
    uint32_t restoreImage();
    uint32_t exportConfig(std::vector<uint8_t> &file);
    uint32_t importConfig(const std::vector<uint8_t> &file);
    uint32_t exportDiagnostics(std::vector<uint8_t> &archive);

    uint32_t upgradeBegin(uint32_t size);
    uint32_t upgradeData(uint32_t offset, const std::vector<uint8_t> &chunk);
    uint32_t upgradeEnd();
    void upgradeState(uint32_t &state, uint32_t &progress, uint32_t &failure) const;

    uint32_t openStream(uint32_t streamId, bool &hasAudio) const;
    std::vector<uint8_t> picture() const;

private:
    void note(const std::string &event);     // m_mutex held
    void syncAddress();                       // m_mutex held
    uint32_t checkInterface(const std::vector<uint8_t> &data);
    void saveState();                         // m_mutex held
    std::string statePath() const;
    void applyUpgrade();
    void finishUpgrade();

    SimDevice &m_device;
    SimFleet &m_fleet;
    IpcTiming m_timing;
    const std::chrono::steady_clock::time_point m_created;
    std::chrono::system_clock::time_point m_bootTime;

    mutable std::mutex m_mutex;
    IpcConfig m_config;
    uint64_t m_boot = 1;
    std::map<uint64_t, std::chrono::steady_clock::time_point> m_sessions;
    std::deque<std::string> m_log;

    uint32_t m_upgradeState = 0;
    uint32_t m_upgradeFailure = 0;
    uint32_t m_uploadSize = 0;
    std::vector<uint8_t> m_upload;
    std::string m_pendingVersion;
    std::chrono::steady_clock::time_point m_upgradeStart;
    asio::steady_timer m_upgradeTimer;
    asio::steady_timer m_restartTimer;
};

#endif // IPCDEVICE_H
