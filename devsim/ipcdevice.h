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

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class SimFleet;
struct SimDevice;

struct IpcTiming
{
    std::chrono::milliseconds restart {std::chrono::seconds(3)};
    std::chrono::milliseconds upgrade {std::chrono::seconds(5)};
    // Reboot this long after a finished upgrade was reported; negative: never.
    std::chrono::milliseconds rebootAfterUpgrade {-1};
    // Faults of the configuration opening (see SimOptions).
    uint32_t capFailKind = 0;
    uint32_t capGarbledKind = 0;
    uint32_t capFullKind = 0;
    bool videoInputFail = false;
    bool streamFail = false;
    bool mainStreamRefused = false;
    std::chrono::milliseconds cfgDelay {0};
    std::chrono::milliseconds cfgReadDelay {0};
    // Fault: configuration reads and writes are never answered.
    bool cfgSilent = false;
    // Configuration writes and reads refused: command and stream (-1 any).
    std::vector<std::pair<uint32_t, int>> refusedSets;
    std::vector<std::pair<uint32_t, int>> refusedGets;
    // Fault: reading this image group (20, 21, 22 or 28) fails; 0 for none.
    uint32_t unreadableImageCmd = 0;
    // Encoder faults: the stream index encoder answers name (-1: the one asked
    // for); the stream whose first write after a main-stream write is refused.
    int encAnswerIndex = -1;
    int refuseAfterMain = -1;
};

// Fault options: configuration commands the device cannot read or refuses to write.
struct IpcFaults
{
    std::set<uint32_t> unreadableCfg;
    std::set<uint32_t> refusedCfg;
};

class IpcDevice
{
public:
    IpcDevice(SimDevice &device, SimFleet &fleet, asio::io_context &io, const IpcTiming &timing);

    SimDevice &simDevice() { return m_device; }
    void setFaults(const IpcFaults &faults);
    bool online() const;
    // Changes at every reboot; connections of an earlier boot are dropped.
    uint64_t boot() const;

    uint32_t challenge(const std::string &user, corvane::wire::Challenge &challenge, std::vector<uint8_t> &nonce);
    // source: the peer's address, counted by the lockout. A locked account
    // also gives the seconds left on its lock (rounded up).
    uint32_t login(const std::string &user, const std::vector<uint8_t> &proof, corvane::wire::Challenge &challenge,
                   const std::string &source, uint64_t &token, uint32_t &lockSeconds);
    // A session is valid only for the address that logged in, until the
    // account's password changes.
    bool validSession(uint64_t token, const std::string &source);
    bool hasSessionFrom(const std::string &source);
    void logout(uint64_t token);
    // Ends every session and connection, as when the interface moves.
    void closeSessions();
    // Fault: this configuration request gets no answer at all.
    bool ignores(uint16_t op) const;

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
    void upgradeState(uint32_t &state, uint32_t &progress, uint32_t &failure);

    // frameRate: the stream's encoder frame rate, at which it sends pictures.
    uint32_t openStream(uint32_t streamId, bool &hasAudio, uint32_t &frameRate) const;
    // Connections that stream pictures now (shown in the diagnostics).
    void streamOpened() { ++m_openStreams; }
    void streamClosed() { --m_openStreams; }
    // One picture of the stream at its encoder size, with the current image settings.
    std::vector<uint8_t> picture(uint32_t streamId) const;

private:
    void note(const std::string &event);     // m_mutex held
    void syncAddress();                       // m_mutex held
    uint32_t checkInterface(const std::vector<uint8_t> &data);
    void saveState();                         // m_mutex held
    std::string statePath() const;
    void applyUpgrade();
    void finishUpgrade();
    void scheduleRebootAfterUpgrade(); // m_mutex held

    SimDevice &m_device;
    SimFleet &m_fleet;
    IpcTiming m_timing;
    const std::chrono::steady_clock::time_point m_created;
    std::chrono::system_clock::time_point m_bootTime;

    mutable std::mutex m_mutex;
    std::atomic<int> m_openStreams {0};
    IpcConfig m_config;
    IpcFaults m_faults;
    uint64_t m_boot = 1;
    struct Session
    {
        std::chrono::steady_clock::time_point lastUse;
        std::string source;        // the address that logged in
        uint64_t accountEpoch = 0; // of the password it logged in with
    };
    std::map<uint64_t, Session> m_sessions;
    std::deque<std::string> m_log;

    // The one-shot refusal of --refuse-after-main: armed by a main-stream write.
    bool m_mainWritten = false;
    bool m_afterMainRefused = false;

    uint32_t m_upgradeState = 0;
    uint32_t m_upgradeFailure = 0;
    uint32_t m_uploadSize = 0;
    std::vector<uint8_t> m_upload;
    std::string m_pendingVersion;
    std::chrono::steady_clock::time_point m_upgradeStart;
    asio::steady_timer m_upgradeTimer;
    asio::steady_timer m_restartTimer;
    bool m_rebootScheduled = false;
};

#endif // IPCDEVICE_H
