#include "nvrdevice.h"

#include "TolanNetSDK.h"
#include "tolan_cfg.h"

#include "filebytes.h"
#include "firmware.h"
#include "simdevice.h"
#include "simfleet.h"
#include "tgz.h"
#include "tolanproto.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sstream>

using namespace corvane;

namespace {

constexpr std::size_t kMaxLogLines = 200;

void putText(std::vector<uint8_t> &buffer, std::size_t offset, std::size_t field, const std::string &text)
{
    // Always leaves room for the terminating zero.
    std::memcpy(buffer.data() + offset, text.data(), std::min(text.size(), field - 1));
}

void putU32(std::vector<uint8_t> &buffer, std::size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        buffer[offset + std::size_t(i)] = uint8_t(value >> (8 * i));
}

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string clockText(std::chrono::system_clock::time_point when)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm parts {};
    localtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

} // namespace

NvrDevice::NvrDevice(SimDevice &device, SimFleet &fleet, asio::io_context &io, const NvrTiming &timing)
    : m_device(device), m_fleet(fleet), m_timing(timing),
      m_bootTime(std::chrono::system_clock::now()),
      m_upgradeTimer(io), m_restartTimer(io)
{
    m_settings = NvrSettings::defaultsFor(device.model, device.serial);
    const std::string path = settingsPath();
    std::vector<uint8_t> file;
    if (!path.empty() && wire::readFileBytes(path, file, tolan::kMaxConfigFileSize) == wire::FileReadResult::Ok) {
        std::string reason;
        readNvrSettings(file, device.model, m_settings, reason);
    }
    note("system started, firmware " + device.version);
}

NvrDevice::~NvrDevice() = default;

bool NvrDevice::online() const
{
    return m_device.online.load();
}

void NvrDevice::note(const std::string &event)
{
    m_log.push_back(clockText(std::chrono::system_clock::now()) + " " + logSafe(event));
    if (m_log.size() > kMaxLogLines)
        m_log.pop_front();
}

uint32_t NvrDevice::channels() const
{
    // Models end in their channel count: ZN-3108 has 8, ZN-5216 16.
    const std::string &model = m_device.model;
    if (model.size() >= 2) {
        const int count = std::atoi(model.c_str() + model.size() - 2);
        if (count > 0)
            return uint32_t(count);
    }
    return 16;
}

std::string NvrDevice::settingsPath() const
{
    if (m_fleet.stateDir().empty())
        return {};
    return m_fleet.stateDir() + "/nvr-" + m_device.serial + ".cfg";
}

void NvrDevice::saveSettings()
{
    const std::string path = settingsPath();
    if (!path.empty())
        wire::writeFileBytes(path, writeNvrSettings(m_settings, m_device.model, m_device.serial));
}

uint32_t NvrDevice::challenge(const std::string &user, const std::string &source, wire::Challenge &challenge,
                             std::vector<uint8_t> &nonce)
{
    if (user.empty() || user.size() > wire::kMaxUserNameSize)
        return TLSDK_ERR_PARAM;
    if (m_device.lockout->remaining(user, source).count() > 0)
        return TLSDK_ERR_LOCKED;
    nonce = challenge.issue(user);
    return nonce.empty() ? TLSDK_ERR_PROTOCOL : TLSDK_OK;
}

uint32_t NvrDevice::login(const std::string &user, const std::string &source, const std::vector<uint8_t> &proof,
                          const std::vector<uint8_t> &clientNonce, wire::Challenge &challenge,
                          std::vector<uint8_t> &token, std::vector<uint8_t> &info)
{
    const std::optional<std::vector<uint8_t>> nonce = challenge.consume(user);
    if (!nonce || clientNonce.size() != wire::kNonceSize)
        return TLSDK_ERR_PROTOCOL;
    wire::LoginLockout &lockout = *m_device.lockout;
    if (lockout.remaining(user, source).count() > 0)
        return TLSDK_ERR_LOCKED;
    const SimDevice::Account account = m_device.account();
    // An unknown user costs the same as a wrong password and says nothing more.
    const bool good = wire::checkLoginProof(account.password, *nonce, user, proof) && user == account.user;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!good) {
        const bool locked = lockout.recordFailure(user, source);
        note("login failed for user " + user + (locked ? ", account locked" : ""));
        return locked ? TLSDK_ERR_LOCKED : TLSDK_ERR_PASSWORD;
    }
    lockout.recordSuccess(user, source);
    token = m_sessions.open(source, account.epoch, wire::sessionKey(account.password, *nonce, clientNonce, user));
    if (token.empty())
        return TLSDK_ERR_PROTOCOL;
    note("user " + user + " logged in");
    info = loginInfo();
    return TLSDK_OK;
}

uint32_t NvrDevice::checkRequest(const std::vector<uint8_t> &token, const std::string &source, uint16_t type,
                                 uint64_t counter, const std::vector<uint8_t> &proof, const uint8_t *fields,
                                 std::size_t size)
{
    return m_sessions.check(token, source, m_device.account().epoch, type, counter, proof, fields, size);
}

bool NvrDevice::hasSessionFrom(const std::string &source)
{
    return m_sessions.hasSessionFrom(source);
}

void NvrDevice::logout(const std::vector<uint8_t> &token)
{
    m_sessions.close(token);
}

uint32_t NvrDevice::restart()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    note("restart requested");
    m_sessions.clear();
    cancelUpgrade();
    m_device.online = false;
    m_restartTimer.expires_after(m_timing.restart);
    m_restartTimer.async_wait([this](const std::error_code &ec) {
        if (ec)
            return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bootTime = std::chrono::system_clock::now();
        note("system started, firmware " + [this] {
            std::lock_guard<std::mutex> deviceLock(m_device.mutex);
            return m_device.version;
        }());
        m_device.online = true;
    });
    return TLSDK_OK;
}

std::vector<uint8_t> NvrDevice::loginInfo() const
{
    std::vector<uint8_t> info(TLSDK_LOGIN_INFO_SIZE, 0);
    putU32(info, TLSDK_LOGIN_INFO_CHANNELS, channels());
    putU32(info, TLSDK_LOGIN_INFO_DISKS, std::max(1u, channels() / 8));
    putText(info, TLSDK_LOGIN_INFO_SERIAL, TLSDK_LOGIN_INFO_SERIAL_LEN, m_device.serial);
    putU32(info, TLSDK_LOGIN_INFO_DEVTYPE, 2);
    return info;
}

std::vector<uint8_t> NvrDevice::deviceInfo() const
{
    std::string version;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        version = m_device.version;
    }
    // Versions read "V4.1.2 build 240611"; the build date follows from it.
    std::string buildDate = "2024-01-01";
    const std::size_t build = version.find("build ");
    if (build != std::string::npos && version.size() >= build + 12)
        buildDate = "20" + version.substr(build + 6, 2) + "-" + version.substr(build + 8, 2) + "-"
            + version.substr(build + 10, 2);

    std::vector<uint8_t> out(TLSDK_DEVICE_INFO_SIZE, 0);
    putText(out, TLSDK_DEVINFO_NAME, TLSDK_DEVINFO_NAME_LEN, m_settings.deviceName);
    putText(out, TLSDK_DEVINFO_MODEL, TLSDK_DEVINFO_MODEL_LEN, m_device.model);
    putText(out, TLSDK_DEVINFO_SERIAL, TLSDK_DEVINFO_SERIAL_LEN, m_device.serial);
    putText(out, TLSDK_DEVINFO_VERSION, TLSDK_DEVINFO_VERSION_LEN, version);
    putU32(out, TLSDK_DEVINFO_CHANNELS, channels());
    putU32(out, TLSDK_DEVINFO_DISKS, std::max(1u, channels() / 8));
    putU32(out, TLSDK_DEVINFO_ALARM_IN, channels() >= 16 ? 16 : 4);
    putU32(out, TLSDK_DEVINFO_ALARM_OUT, channels() >= 16 ? 4 : 1);
    putText(out, TLSDK_DEVINFO_BUILD_DATE, TLSDK_DEVINFO_BUILD_DATE_LEN, buildDate);
    return out;
}

std::vector<uint8_t> NvrDevice::networkInfo() const
{
    std::string ip, mask, gateway;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        ip = m_device.ip;
        mask = m_device.mask;
        gateway = m_device.gateway;
    }
    std::vector<uint8_t> out(TLSDK_NETWORK_INFO_SIZE, 0);
    putU32(out, TLSDK_NETINFO_DHCP, m_settings.dhcp);
    putU32(out, TLSDK_NETINFO_MTU, m_settings.mtu);
    putU32(out, TLSDK_NETINFO_HTTP_PORT, m_settings.httpPort);
    putU32(out, TLSDK_NETINFO_SERVER_PORT, tolan::kDefaultPort);
    putU32(out, TLSDK_NETINFO_RTSP_PORT, m_settings.rtspPort);
    putU32(out, TLSDK_NETINFO_HTTPS_PORT, m_settings.httpsPort);
    putText(out, TLSDK_NETINFO_HOSTNAME, TLSDK_NETINFO_HOSTNAME_LEN, m_settings.hostName);
    putText(out, TLSDK_NETINFO_DNS1, TLSDK_NETINFO_DNS_LEN, m_settings.dns1);
    putText(out, TLSDK_NETINFO_DNS2, TLSDK_NETINFO_DNS_LEN, m_settings.dns2);
    putText(out, TLSDK_NETINFO_IP, TLSDK_NETINFO_ADDR_LEN, ip);
    putText(out, TLSDK_NETINFO_MASK, TLSDK_NETINFO_ADDR_LEN, mask);
    putText(out, TLSDK_NETINFO_GATEWAY, TLSDK_NETINFO_ADDR_LEN, gateway);
    for (std::size_t i = 0; i < TLSDK_NETINFO_MAC_LEN && 2 * i + 1 < m_device.mac.size(); ++i)
        out[TLSDK_NETINFO_MAC + i] = uint8_t(std::strtoul(m_device.mac.substr(2 * i, 2).c_str(), nullptr, 16));
    return out;
}

uint32_t NvrDevice::deviceConfig(uint32_t command, std::vector<uint8_t> &structure)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (command == TLSDK_CFG_DEVICE_INFO)
        structure = deviceInfo();
    else if (command == TLSDK_CFG_NETWORK)
        structure = networkInfo();
    else
        return TLSDK_ERR_UNSUPPORTED;
    return TLSDK_OK;
}

// --- upgrade -------------------------------------------------------------------

void NvrDevice::cancelUpgrade()
{
    if (m_upgrade && m_upgrade->phase == Phase::Applying)
        note("upgrade to " + m_upgrade->version + " abandoned");
    m_upgrade.reset();
    m_upgradeTimer.cancel();
}

uint32_t NvrDevice::upgradeBegin(uint64_t size, uint32_t &id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_upgrade && m_upgrade->phase == Phase::Applying)
        return TLSDK_ERR_BUSY;
    if (size < wire::kFirmwareHeaderSize || size > tolan::kMaxFirmwareSize)
        return TLSDK_ERR_FIRMWARE;
    // An upload that was never finished is replaced.
    cancelUpgrade();
    m_upgrade = std::make_unique<Upgrade>();
    m_upgrade->id = m_nextUpgradeId++;
    m_upgrade->size = size;
    m_upgrade->image.reserve(std::size_t(size));
    id = m_upgrade->id;
    return TLSDK_OK;
}

uint32_t NvrDevice::upgradeData(uint32_t id, uint64_t offset, const std::vector<uint8_t> &chunk)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_upgrade || m_upgrade->id != id || m_upgrade->phase != Phase::Uploading)
        return TLSDK_ERR_HANDLE;
    Upgrade &upgrade = *m_upgrade;
    if (offset != upgrade.image.size() || chunk.size() > upgrade.size - upgrade.image.size())
        return TLSDK_ERR_PROTOCOL;
    upgrade.image.insert(upgrade.image.end(), chunk.begin(), chunk.end());
    return TLSDK_OK;
}

uint32_t NvrDevice::upgradeEnd(uint32_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_upgrade || m_upgrade->id != id || m_upgrade->phase != Phase::Uploading)
        return TLSDK_ERR_HANDLE;
    Upgrade &upgrade = *m_upgrade;
    wire::FirmwareInfo info;
    const wire::FirmwareStatus status = upgrade.image.size() == upgrade.size
        ? wire::checkFirmwareFor(upgrade.image, m_device.model, info)
        : wire::FirmwareStatus::SizeMismatch;
    if (status != wire::FirmwareStatus::Ok) {
        note(std::string("firmware refused: ") + wire::firmwareStatusText(status));
        m_upgrade.reset();
        return TLSDK_ERR_FIRMWARE;
    }
    upgrade.image.clear();
    upgrade.image.shrink_to_fit();
    upgrade.version = info.version;
    upgrade.behaviour = endsWith(info.version, "-fail")  ? Behaviour::Fail
                      : endsWith(info.version, "-stall") ? Behaviour::Stall
                      : endsWith(info.version, "-hang")  ? Behaviour::Hang
                                                         : Behaviour::Normal;
    upgrade.phase = Phase::Applying;
    upgrade.started = std::chrono::steady_clock::now();
    note("upgrading to firmware " + info.version);
    if (upgrade.behaviour == Behaviour::Normal || upgrade.behaviour == Behaviour::Fail) {
        m_upgradeTimer.expires_after(upgrade.behaviour == Behaviour::Normal ? m_timing.upgrade
                                                                            : m_timing.upgrade / 2);
        m_upgradeTimer.async_wait([this, id](const std::error_code &ec) {
            if (!ec)
                finishUpgrade(id);
        });
    }
    return TLSDK_OK;
}

void NvrDevice::finishUpgrade(uint32_t id)
{
    bool saveFleet = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_upgrade || m_upgrade->id != id || m_upgrade->phase != Phase::Applying)
            return;
        if (m_upgrade->behaviour == Behaviour::Normal) {
            m_upgrade->phase = Phase::Done;
            {
                std::lock_guard<std::mutex> deviceLock(m_device.mutex);
                m_device.version = m_upgrade->version;
            }
            note("upgrade to firmware " + m_upgrade->version + " finished");
            saveFleet = true;
        } else {
            m_upgrade->phase = Phase::Failed;
            note("upgrade to firmware " + m_upgrade->version + " failed: flash write error");
        }
    }
    if (saveFleet)
        m_fleet.save();
}

uint32_t NvrDevice::progressOf(const Upgrade &upgrade) const
{
    switch (upgrade.phase) {
    case Phase::Uploading: return 0;
    case Phase::Done: return 100;
    case Phase::Failed: return 50;
    case Phase::Applying: break;
    }
    if (upgrade.behaviour == Behaviour::Stall)
        return 0;
    const auto total = std::max<long long>(1, m_timing.upgrade.count());
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - upgrade.started).count();
    // Never 0 once applying has begun, so that a slow poll still sees progress.
    const uint32_t percent = uint32_t(std::clamp<long long>(elapsed * 100 / total, 1, 99));
    if (upgrade.behaviour == Behaviour::Hang)
        return std::min<uint32_t>(percent, 90);
    if (upgrade.behaviour == Behaviour::Fail)
        return std::min<uint32_t>(percent, 49);
    return percent;
}

uint32_t NvrDevice::upgradeStatus(uint32_t id, uint32_t &state, uint32_t &progress)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_upgrade || m_upgrade->id != id)
        return TLSDK_ERR_HANDLE;
    state = m_upgrade->phase == Phase::Done     ? TLSDK_UPGRADE_FINISHED
          : m_upgrade->phase == Phase::Failed   ? TLSDK_UPGRADE_FAILED
                                                : TLSDK_UPGRADE_RUNNING;
    progress = progressOf(*m_upgrade);
    // Once the tool knows the upgrade finished, the recorder restarts into the
    // new firmware (only with --reboot-after-upgrade).
    if (m_upgrade->phase == Phase::Done && m_timing.rebootAfterUpgrade.count() >= 0 && !m_upgrade->rebootScheduled) {
        m_upgrade->rebootScheduled = true;
        m_restartTimer.expires_after(m_timing.rebootAfterUpgrade);
        m_restartTimer.async_wait([this](const std::error_code &ec) {
            if (!ec)
                restart();
        });
    }
    return TLSDK_OK;
}

uint32_t NvrDevice::upgradeClose(uint32_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_upgrade || m_upgrade->id != id)
        return TLSDK_ERR_HANDLE;
    cancelUpgrade();
    return TLSDK_OK;
}

// --- files ---------------------------------------------------------------------

uint32_t NvrDevice::exportConfig(std::vector<uint8_t> &file)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    file = writeNvrSettings(m_settings, m_device.model, m_device.serial);
    note("configuration exported");
    return TLSDK_OK;
}

uint32_t NvrDevice::importConfig(const std::vector<uint8_t> &file)
{
    NvrSettings settings;
    std::string reason;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!readNvrSettings(file, m_device.model, settings, reason)) {
        note("configuration import refused: " + reason);
        return TLSDK_ERR_CONFIG_FILE;
    }
    m_settings = settings;
    saveSettings();
    note("configuration imported");
    return TLSDK_OK;
}

uint32_t NvrDevice::exportDiagnostics(std::vector<uint8_t> &archive)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string ip, mask, gateway, version;
    {
        std::lock_guard<std::mutex> deviceLock(m_device.mutex);
        ip = m_device.ip;
        mask = m_device.mask;
        gateway = m_device.gateway;
        version = m_device.version;
    }
    const auto now = std::chrono::system_clock::now();
    const auto uptime = std::chrono::duration_cast<std::chrono::seconds>(now - m_bootTime).count();

    std::ostringstream device;
    device << "device name: " << m_settings.deviceName << "\nmodel: " << m_device.model
           << "\nserial: " << m_device.serial << "\nfirmware: " << version << "\nmac: " << m_device.mac
           << "\nchannels: " << channels() << "\nuptime seconds: " << uptime
           << "\nreport time: " << clockText(now) << '\n';
    std::ostringstream network;
    network << "address: " << ip << "\nmask: " << mask << "\ngateway: " << gateway
            << "\ndhcp: " << (m_settings.dhcp ? "on" : "off") << "\nmtu: " << m_settings.mtu
            << "\ndns: " << m_settings.dns1 << ' ' << m_settings.dns2
            << "\nports: http " << m_settings.httpPort << ", https " << m_settings.httpsPort
            << ", rtsp " << m_settings.rtspPort << ", service " << tolan::kDefaultPort << '\n';
    std::ostringstream disks;
    const uint32_t diskCount = std::max(1u, channels() / 8);
    for (uint32_t i = 0; i < diskCount; ++i)
        disks << "disk " << i + 1 << ": 4000 GB, " << (i == 0 ? "recording" : "normal")
              << ", free " << (3200 - 410 * i) << " GB, keep " << m_settings.recordDays << " days\n";
    std::ostringstream log;
    for (const std::string &line : m_log)
        log << line << '\n';
    const std::string chans = [this] {
        std::ostringstream out;
        for (uint32_t c = 1; c <= channels(); ++c)
            out << "channel " << c << ": " << (c % 5 == 0 ? "no video" : "online, 1920x1080, 25 fps, 4096 kbit/s")
                << '\n';
        return out.str();
    }();

    const std::time_t stamp = std::chrono::system_clock::to_time_t(now);
    wire::TgzWriter writer;
    writer.addFile("mtinfo/device.txt", device.str(), stamp);
    writer.addFile("mtinfo/network.txt", network.str(), stamp);
    writer.addFile("mtinfo/disks.txt", disks.str(), stamp);
    writer.addFile("mtinfo/channels.txt", chans, stamp);
    writer.addFile("mtinfo/system.log", log.str(), stamp);
    writer.addFile("mtinfo/config.cfg", writeNvrSettings(m_settings, m_device.model, m_device.serial), stamp);
    archive = writer.finish();
    if (archive.empty())
        return TLSDK_ERR_PROTOCOL;
    note("diagnostic information exported");
    return TLSDK_OK;
}
