#include "ipcdevice.h"

#include "filebytes.h"
#include "firmware.h"
#include "ipcpicture.h"
#include "simdevice.h"
#include "simfleet.h"
#include "tgz.h"
#include "zeltproto.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <thread>

using namespace corvane;

namespace {

// True when the list names the command (and, for the encoder, the stream the structure is for).
bool refused(const std::vector<std::pair<uint32_t, int>> &list, uint32_t cmd, const std::vector<uint8_t> &data)
{
    for (const auto &entry : list) {
        const bool stream = entry.second < 0
                            || (data.size() == ZELT_ENC_SIZE
                                && zelt_get_u32(data.data(), ZELT_ENC_STREAM) == uint32_t(entry.second));
        if (entry.first == cmd && stream)
            return true;
    }
    return false;
}

} // namespace

namespace {

constexpr std::size_t kMaxSessions = 256;
// A session nobody used for this long is gone.
constexpr std::chrono::minutes kSessionIdle {30};
constexpr std::size_t kMaxLogLines = 500;

std::string textAt(const std::vector<uint8_t> &data, std::size_t off, std::size_t len)
{
    const char *p = reinterpret_cast<const char *>(data.data() + off);
    return std::string(p, strnlen(p, len));
}

std::string describeStructures(const IpcConfig &config)
{
    std::ostringstream out;
    for (uint32_t cmd : {2u, 12u, 13u, 18u, 19u, 20u, 21u, 22u, 28u, 30u, 31u, 32u}) {
        for (uint32_t index = 0; index < 3; ++index) {
            const std::vector<uint8_t> data = config.structure(cmd, index);
            if (data.empty())
                continue;
            out << "command " << cmd << " index " << index << ":";
            // Texts of the network structures hold account data; print numbers only.
            for (std::size_t off = 0; off + 4 <= data.size(); off += 4) {
                if (cmd == ZELT_MW_NETWORK_INTERFACE_CFG || cmd == ZELT_MW_NTX_CFG || cmd == ZELT_MW_DNS_SERVER_CFG)
                    break;
                out << ' ' << zelt_get_u32(data.data(), off);
            }
            out << '\n';
        }
    }
    return out.str();
}

} // namespace

IpcDevice::IpcDevice(SimDevice &device, SimFleet &fleet, asio::io_context &io, const IpcTiming &timing)
    : m_device(device), m_fleet(fleet), m_timing(timing),
      m_created(std::chrono::steady_clock::now()), m_bootTime(std::chrono::system_clock::now()),
      m_config(findIpcModel(device.model) ? *findIpcModel(device.model) : ipcModels().front(), device.currentIp()),
      m_upgradeTimer(io), m_restartTimer(io)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint8_t> state;
    const std::string path = statePath();
    if (!path.empty() && wire::readFileBytes(path, state, zelt::kMaxConfigFileSize) == wire::FileReadResult::Ok) {
        std::string version;
        if (!m_config.loadState(state, version))
            note("saved settings unreadable, factory settings used");
    }
    syncAddress();
    note("started");
}

bool IpcDevice::online() const
{
    return m_device.online.load();
}

uint64_t IpcDevice::boot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boot;
}

void IpcDevice::note(const std::string &event)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &tm);
    m_log.push_back(std::string(stamp) + " " + logSafe(event));
    if (m_log.size() > kMaxLogLines)
        m_log.pop_front();
}

void IpcDevice::syncAddress()
{
    std::lock_guard<std::mutex> lock(m_device.mutex);
    m_config.setAddress(m_device.ip, m_device.mask, m_device.gateway);
}

std::string IpcDevice::statePath() const
{
    if (m_fleet.stateDir().empty())
        return {};
    return (std::filesystem::path(m_fleet.stateDir()) / ("ipc-" + m_device.serial + ".cfg")).string();
}

void IpcDevice::saveState()
{
    const std::string path = statePath();
    if (path.empty())
        return;
    std::error_code ec;
    std::filesystem::create_directories(m_fleet.stateDir(), ec);
    std::string version;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        version = m_device.version;
    }
    wire::writeFileBytes(path, m_config.exportFile(version));
}

uint32_t IpcDevice::challenge(const std::string &user, wire::Challenge &challenge, std::vector<uint8_t> &nonce)
{
    if (user.empty() || user.size() > wire::kMaxUserNameSize)
        return ZELT_MW_ERR_PARAM;
    nonce = challenge.issue(user);
    return nonce.empty() ? ZELT_MW_ERR_PROTOCOL : ZELT_MW_OK;
}

uint32_t IpcDevice::login(const std::string &user, const std::vector<uint8_t> &proof, wire::Challenge &challenge,
                          const std::string &source, uint64_t &token, uint32_t &lockSeconds)
{
    const std::optional<std::vector<uint8_t>> nonce = challenge.consume(user);
    if (!nonce)
        return ZELT_MW_ERR_PROTOCOL;
    std::lock_guard<std::mutex> lock(m_mutex);
    wire::LoginLockout &lockout = *m_device.lockout;
    const auto lockLeft = [&lockout, &user, &source] {
        return uint32_t((lockout.remaining(user, source).count() + 999) / 1000);
    };
    if (lockout.remaining(user, source).count() > 0) {
        note("login of " + user + " refused: account locked");
        lockSeconds = lockLeft();
        return ZELT_MW_ERR_LOCKED;
    }
    const SimDevice::Account account = m_device.account();
    if (user != account.user || !wire::checkLoginProof(account.password, *nonce, user, proof)) {
        const bool locked = lockout.recordFailure(user, source);
        note("login of " + user + " failed" + (locked ? ", account locked" : ""));
        if (!locked)
            return ZELT_MW_ERR_PASSWORD;
        lockSeconds = lockLeft();
        return ZELT_MW_ERR_LOCKED;
    }
    lockout.recordSuccess(user, source);
    const std::vector<uint8_t> random = wire::randomBytes(sizeof token);
    if (random.size() != sizeof token)
        return ZELT_MW_ERR_PROTOCOL;
    std::memcpy(&token, random.data(), sizeof token);
    if (m_sessions.size() >= kMaxSessions) {
        m_sessions.erase(std::min_element(m_sessions.begin(), m_sessions.end(), [](const auto &a, const auto &b) {
            return a.second.lastUse < b.second.lastUse;
        }));
    }
    m_sessions[token] = Session {std::chrono::steady_clock::now(), source, account.epoch};
    note("login of " + user);
    return ZELT_MW_OK;
}

bool IpcDevice::validSession(uint64_t token, const std::string &source)
{
    const uint64_t epoch = m_device.account().epoch;
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end() || it->second.source != source)
        return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - it->second.lastUse > kSessionIdle || it->second.accountEpoch != epoch) {
        m_sessions.erase(it);
        return false;
    }
    it->second.lastUse = now;
    return true;
}

bool IpcDevice::hasSessionFrom(const std::string &source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &entry : m_sessions) {
        if (entry.second.source == source)
            return true;
    }
    return false;
}

void IpcDevice::logout(uint64_t token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sessions.erase(token))
        note("logout");
}

void IpcDevice::setFaults(const IpcFaults &faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
}

void IpcDevice::closeSessions()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    note("address changed, sessions closed");
    ++m_boot;
    m_sessions.clear();
}

bool IpcDevice::ignores(uint16_t op) const
{
    return m_timing.cfgSilent && (op == zelt::OpGetConfig || op == zelt::OpSetConfig);
}

uint32_t IpcDevice::getConfig(uint32_t cmd, const std::vector<uint8_t> &request, std::vector<uint8_t> &out)
{
    // The whole simulator waits with it, as for the other delays.
    if (m_timing.cfgReadDelay.count() > 0)
        std::this_thread::sleep_for(m_timing.cfgReadDelay);
    if (refused(m_timing.refusedGets, cmd, request))
        return ZELT_MW_ERR_PARAM;
    if (m_timing.unreadableImageCmd != 0 && cmd == m_timing.unreadableImageCmd)
        return ZELT_MW_ERR_UNSUPPORTED;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (cmd == ZELT_MW_VIDEO_INPUT_MODE_CFG && m_timing.videoInputFail)
        return ZELT_MW_ERR_BUSY;
    if (m_faults.unreadableCfg.count(cmd))
        return ZELT_MW_ERR_UNSUPPORTED;
    if (cmd == ZELT_MW_NETWORK_INTERFACE_CFG)
        syncAddress();
    const uint32_t result = m_config.get(cmd, request, out);
    if (result == ZELT_MW_OK && cmd == ZELT_MW_VIDEO_ENCODER_CFG && m_timing.encAnswerIndex >= 0)
        zelt_put_u32(out.data(), ZELT_ENC_STREAM, uint32_t(m_timing.encAnswerIndex));
    return result;
}

// Everything of an interface write but the address, which the move checks.
uint32_t IpcDevice::checkInterface(const std::vector<uint8_t> &data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    syncAddress();
    std::vector<uint8_t> probe = data;
    const std::vector<uint8_t> current = m_config.structure(ZELT_MW_NETWORK_INTERFACE_CFG);
    std::memcpy(probe.data() + ZELT_NETIF_IP, current.data() + ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN);
    IpcConfig trial(m_config);
    const uint32_t result = trial.set(ZELT_MW_NETWORK_INTERFACE_CFG, probe);
    if (result != ZELT_MW_OK)
        return result;
    return SimFleet::validMask(textAt(data, ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN)) ? ZELT_MW_OK : ZELT_MW_ERR_RANGE;
}

uint32_t IpcDevice::setConfig(uint32_t cmd, const std::vector<uint8_t> &data)
{
    // The whole simulator waits with it: a slow device, not a fair scheduler.
    if (m_timing.cfgDelay.count() > 0)
        std::this_thread::sleep_for(m_timing.cfgDelay);
    if (refused(m_timing.refusedSets, cmd, data))
        return ZELT_MW_ERR_RANGE;
    if (cmd == ZELT_MW_VIDEO_ENCODER_CFG && m_timing.mainStreamRefused && data.size() == ZELT_ENC_SIZE
        && zelt_get_u32(data.data(), ZELT_ENC_STREAM) == 0)
        return ZELT_MW_ERR_RANGE;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_faults.refusedCfg.count(cmd)) {
            note("configuration " + std::to_string(cmd) + " refused (fault option)");
            return ZELT_MW_ERR_READ_ONLY;
        }
        if (cmd == ZELT_MW_VIDEO_ENCODER_CFG && m_timing.refuseAfterMain > 0 && m_mainWritten && !m_afterMainRefused
            && data.size() == ZELT_ENC_SIZE
            && zelt_get_u32(data.data(), ZELT_ENC_STREAM) == uint32_t(m_timing.refuseAfterMain)) {
            m_afterMainRefused = true;
            note("encoder stream " + std::to_string(m_timing.refuseAfterMain) + " refused after the main stream (fault option)");
            return ZELT_MW_ERR_RANGE;
        }
    }
    if (cmd == ZELT_MW_NETWORK_INTERFACE_CFG && data.size() == ZELT_NETIF_SIZE
        && zelt_get_u32(data.data(), ZELT_NETIF_MODE) == 0) {
        // A static address of its own moves the device, like a real camera.
        const uint32_t result = checkInterface(data);
        if (result != ZELT_MW_OK)
            return result;
        const SimFleet::MoveResult moved =
            m_fleet.moveDevice(m_device, textAt(data, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN),
                               textAt(data, ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN),
                               textAt(data, ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN));
        if (moved == SimFleet::MoveResult::Conflict || moved == SimFleet::MoveResult::Invalid)
            return ZELT_MW_ERR_RANGE;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (cmd == ZELT_MW_NETWORK_INTERFACE_CFG)
        syncAddress();
    const uint32_t result = m_config.set(cmd, data);
    note("configuration " + std::to_string(cmd) + " written, result " + std::to_string(result));
    if (result == ZELT_MW_OK && cmd == ZELT_MW_VIDEO_ENCODER_CFG && zelt_get_u32(data.data(), ZELT_ENC_STREAM) == 0)
        m_mainWritten = true;
    if (result == ZELT_MW_OK)
        saveState();
    return result;
}

uint32_t IpcDevice::queryInfo(uint32_t query, std::vector<uint8_t> &out)
{
    const std::size_t size = zelt_query_size(query);
    if (size == 0)
        return ZELT_MW_ERR_UNSUPPORTED;
    out.assign(size, 0);
    std::lock_guard<std::mutex> deviceLock(m_device.mutex);
    switch (query) {
    case ZELT_MW_QUERY_DEVICE_BASE:
        zelt_put_text(out.data(), 0, ZELT_QUERY_BASE_TEXT_LEN, "IPC");
        zelt_put_text(out.data(), ZELT_QUERY_BASE_MODEL, ZELT_QUERY_BASE_TEXT_LEN, m_device.model.c_str());
        zelt_put_text(out.data(), 512, ZELT_QUERY_BASE_TEXT_LEN, m_device.serial.c_str());
        zelt_put_text(out.data(), ZELT_QUERY_BASE_VERSION, ZELT_QUERY_BASE_TEXT_LEN, m_device.version.c_str());
        break;
    case ZELT_MW_QUERY_NETWORK:
        zelt_put_text(out.data(), ZELT_QUERY_NET_IP, ZELT_QUERY_NET_TEXT_LEN, m_device.ip.c_str());
        zelt_put_text(out.data(), ZELT_QUERY_NET_MASK, ZELT_QUERY_NET_TEXT_LEN, m_device.mask.c_str());
        zelt_put_text(out.data(), ZELT_QUERY_NET_GATEWAY, ZELT_QUERY_NET_TEXT_LEN, m_device.gateway.c_str());
        break;
    case ZELT_MW_QUERY_REGISTER:
        zelt_put_text(out.data(), 0, 64, m_device.serial.c_str());
        zelt_put_text(out.data(), ZELT_QUERY_REG_TEXT, ZELT_QUERY_REG_TEXT_LEN, m_config.model().registration.c_str());
        break;
    default:
        break;
    }
    return ZELT_MW_OK;
}

uint32_t IpcDevice::capability(uint32_t kind, std::string &xml) const
{
    // The whole simulator waits with it: a slow device, not a fair scheduler.
    if (m_timing.cfgDelay.count() > 0)
        std::this_thread::sleep_for(m_timing.cfgDelay);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (kind == m_timing.capFailKind)
        return ZELT_MW_ERR_BUSY;
    if (!ipcCapability(m_config.model(), kind, xml))
        return ZELT_MW_ERR_UNSUPPORTED;
    if (kind == m_timing.capGarbledKind)
        xml.resize(xml.size() / 2);
    if (kind == m_timing.capFullKind && xml.size() < ZELT_MW_CAP_MAX_LEN) {
        // Padding inside the root element's closing tag keeps the document well-formed.
        const std::size_t close = xml.rfind("</");
        const std::size_t end = xml.find('>', close);
        if (close != std::string::npos && end != std::string::npos)
            xml.insert(end, ZELT_MW_CAP_MAX_LEN - xml.size(), ' ');
    }
    return ZELT_MW_OK;
}

uint32_t IpcDevice::reboot()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    note("reboot");
    m_device.online = false;
    ++m_boot;
    m_sessions.clear();
    if (m_upgradeState == zelt::UpgradeRunning) {
        m_upgradeTimer.cancel();
        m_upgradeState = zelt::UpgradeFailed;
        m_upgradeFailure = zelt::UpgradeFailInterrupted;
    }
    m_restartTimer.expires_after(m_timing.restart);
    m_restartTimer.async_wait([this](const std::error_code &ec) {
        if (ec)
            return;
        std::lock_guard<std::mutex> relock(m_mutex);
        m_bootTime = std::chrono::system_clock::now();
        m_device.online = true;
        note("back online");
    });
    return ZELT_MW_OK;
}

uint32_t IpcDevice::restoreImage()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_config.restoreImageDefaults();
    note("image defaults restored");
    saveState();
    return ZELT_MW_OK;
}

uint32_t IpcDevice::exportConfig(std::vector<uint8_t> &file)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    syncAddress();
    std::lock_guard<std::mutex> deviceLock(m_device.mutex);
    file = m_config.exportFile(m_device.version);
    note("configuration exported");
    return ZELT_MW_OK;
}

uint32_t IpcDevice::importConfig(const std::vector<uint8_t> &file)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    syncAddress();
    const uint32_t result = m_config.importFile(file);
    note("configuration import, result " + std::to_string(result));
    if (result == ZELT_MW_OK)
        saveState();
    return result;
}

uint32_t IpcDevice::exportDiagnostics(std::vector<uint8_t> &archive)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::ostringstream info;
    {
        std::lock_guard<std::mutex> deviceLock(m_device.mutex);
        const std::time_t boot = std::chrono::system_clock::to_time_t(m_bootTime);
        info << "type IPC\nmodel " << m_device.model << "\nserial " << m_device.serial << "\nmac " << m_device.mac
             << "\nversion " << m_device.version << "\naddress " << m_device.ip << "\nmask " << m_device.mask
             << "\ngateway " << m_device.gateway << "\nstreams " << m_openStreams.load() << "\nbooted "
             << std::ctime(&boot);
    }
    std::string log;
    for (const std::string &line : m_log)
        log += line + "\n";
    wire::TgzWriter writer;
    writer.addFile("system/info.txt", info.str());
    writer.addFile("system/settings.txt", describeStructures(m_config));
    writer.addFile("log/events.log", log);
    archive = writer.finish();
    note("diagnostics exported");
    return archive.empty() ? ZELT_MW_ERR_FILE : ZELT_MW_OK;
}

uint32_t IpcDevice::upgradeBegin(uint32_t size)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_upgradeState == zelt::UpgradeRunning)
        return ZELT_MW_ERR_BUSY;
    if (size == 0 || size > zelt::kMaxFirmwareSize)
        return ZELT_MW_ERR_FIRMWARE;
    m_upgradeState = zelt::UpgradeIdle;
    m_upgradeFailure = 0;
    m_uploadSize = size;
    m_upload.clear();
    m_upload.reserve(size);
    return ZELT_MW_OK;
}

uint32_t IpcDevice::upgradeData(uint32_t offset, const std::vector<uint8_t> &chunk)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_upgradeState == zelt::UpgradeRunning || m_uploadSize == 0)
        return ZELT_MW_ERR_BUSY;
    if (offset != m_upload.size() || chunk.size() > m_uploadSize - m_upload.size())
        return ZELT_MW_ERR_PARAM;
    m_upload.insert(m_upload.end(), chunk.begin(), chunk.end());
    return ZELT_MW_OK;
}

uint32_t IpcDevice::upgradeEnd()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_upgradeState == zelt::UpgradeRunning || m_uploadSize == 0 || m_upload.size() != m_uploadSize)
        return ZELT_MW_ERR_PARAM;
    m_uploadSize = 0;
    m_upgradeState = zelt::UpgradeRunning;
    m_rebootScheduled = false;
    m_upgradeStart = std::chrono::steady_clock::now();
    note("firmware upload of " + std::to_string(m_upload.size()) + " bytes accepted");
    m_upgradeTimer.expires_after(m_timing.upgrade / 2);
    m_upgradeTimer.async_wait([this](const std::error_code &ec) {
        if (!ec)
            applyUpgrade();
    });
    return ZELT_MW_OK;
}

// Halfway through, the image is checked as it would be written to flash.
void IpcDevice::applyUpgrade()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    wire::FirmwareInfo info;
    const wire::FirmwareStatus status = wire::checkFirmwareFor(m_upload, m_device.model, info);
    m_upload.clear();
    m_upload.shrink_to_fit();
    const std::string failSuffix = "-fail";
    const bool failVersion = info.version.size() >= failSuffix.size()
                             && info.version.compare(info.version.size() - failSuffix.size(), failSuffix.size(), failSuffix) == 0;
    if (status != wire::FirmwareStatus::Ok || failVersion) {
        m_upgradeState = zelt::UpgradeFailed;
        m_upgradeFailure = status == wire::FirmwareStatus::WrongModel ? zelt::UpgradeFailModel : zelt::UpgradeFailCorrupt;
        note(std::string("upgrade failed: ") + (failVersion ? "image refused" : wire::firmwareStatusText(status)));
        return;
    }
    m_pendingVersion = info.version;
    m_upgradeTimer.expires_after(m_timing.upgrade - m_timing.upgrade / 2);
    m_upgradeTimer.async_wait([this](const std::error_code &ec) {
        if (!ec)
            finishUpgrade();
    });
}

// Like a real camera, the device restarts into the new firmware once it has
// told the tool the upgrade finished (only with --reboot-after-upgrade).
void IpcDevice::scheduleRebootAfterUpgrade()
{
    if (m_timing.rebootAfterUpgrade.count() < 0 || m_rebootScheduled)
        return;
    m_rebootScheduled = true;
    m_restartTimer.expires_after(m_timing.rebootAfterUpgrade);
    m_restartTimer.async_wait([this](const std::error_code &ec) {
        if (!ec)
            reboot();
    });
}

void IpcDevice::finishUpgrade()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        {
            std::lock_guard<std::mutex> deviceLock(m_device.mutex);
            m_device.version = m_pendingVersion;
        }
        m_upgradeState = zelt::UpgradeDone;
        note("upgraded to " + m_pendingVersion);
        saveState();
    }
    m_fleet.save();
}

void IpcDevice::upgradeState(uint32_t &state, uint32_t &progress, uint32_t &failure)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    state = m_upgradeState;
    failure = m_upgradeFailure;
    progress = 0;
    if (m_upgradeState == zelt::UpgradeDone) {
        progress = 100;
        scheduleRebootAfterUpgrade();
    } else if (m_upgradeState == zelt::UpgradeRunning) {
        const auto elapsed = std::chrono::steady_clock::now() - m_upgradeStart;
        const auto total = std::max<std::chrono::milliseconds>(m_timing.upgrade, std::chrono::milliseconds(1));
        progress = uint32_t(std::min<int64_t>(99, elapsed * 100 / total));
    }
}

uint32_t IpcDevice::openStream(uint32_t streamId, bool &hasAudio, uint32_t &frameRate) const
{
    if (m_timing.cfgDelay.count() > 0)
        std::this_thread::sleep_for(m_timing.cfgDelay);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_timing.streamFail)
        return ZELT_MW_ERR_STREAM;
    if (streamId >= m_config.model().streams())
        return ZELT_MW_ERR_PARAM;
    hasAudio = m_config.model().audio;
    const std::vector<uint8_t> encoder = m_config.structure(ZELT_MW_VIDEO_ENCODER_CFG, streamId);
    frameRate = encoder.empty() ? 25 : std::max<uint32_t>(1, zelt_get_u32(encoder.data(), ZELT_ENC_FPS));
    return ZELT_MW_OK;
}

std::vector<uint8_t> IpcDevice::picture(uint32_t streamId) const
{
    PictureSettings settings;
    uint32_t frameRate = 25;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        settings.brightness = m_config.enhance(ZELT_ENH_BRIGHTNESS);
        settings.contrast = m_config.enhance(ZELT_ENH_CONTRAST);
        settings.saturation = m_config.enhance(ZELT_ENH_SATURATION);
        settings.mirror = m_config.enhance(ZELT_ENH_MIRROR);
        const std::vector<uint8_t> exposure = m_config.structure(ZELT_MW_EXPOSURE_CFG);
        settings.exposure = exposurePercent(exposure);
        settings.monochrome = !exposure.empty() && zelt_get_u32(exposure.data(), ZELT_EXP_DAYNIGHT_MODE) == 2;
        const std::vector<uint8_t> encoder = m_config.structure(ZELT_MW_VIDEO_ENCODER_CFG, streamId);
        if (!encoder.empty()) {
            settings.width = zelt_get_u32(encoder.data(), ZELT_ENC_WIDTH);
            settings.height = zelt_get_u32(encoder.data(), ZELT_ENC_HEIGHT);
            frameRate = std::max<uint32_t>(1, zelt_get_u32(encoder.data(), ZELT_ENC_FPS));
        }
    }
    const auto frame = (std::chrono::steady_clock::now() - m_created) * frameRate / std::chrono::seconds(1);
    return renderTestPicture(settings, uint32_t(frame));
}
