#include "simfleet.h"

#include <asio/ip/address_v4.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <regex>
#include <set>
#include <sstream>

namespace {

const char *const StateFileName = "discovery-fleet.tsv";
const char *const StateHeader = "corvane-devsim fleet 1";

// A handful of models; several devices share each.
const std::vector<std::string> IpcModelNames = {"ZC-5330", "ZC-2320", "ZC-2320N", "ZC-1210D", "ZC-2330F"};
const std::vector<std::string> NvrModelNames = {"ZN-3108", "ZN-5216", "ZN-7432"};
const std::vector<std::string> IpcVersions = {"V2.6.3 build 240315", "V2.6.5 build 240902", "V2.5.9 build 231120"};
const std::vector<std::string> NvrVersions = {"V4.1.2 build 240611", "V4.0.8 build 231205"};
const std::vector<std::string> HardwareIds = {"HW-A1", "HW-A2", "HW-B1"};

template <typename T>
const T &pick(const std::vector<T> &list, std::mt19937 &rng)
{
    return list[std::uniform_int_distribution<std::size_t>(0, list.size() - 1)(rng)];
}

} // namespace

std::string SimFleet::escapeField(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string SimFleet::unescapeField(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> SimFleet::splitTabs(const std::string &line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.emplace_back();
    return fields;
}

SimFleet::SimFleet(const SimOptions &options)
    : m_options(options)
{
}

bool SimFleet::init(std::string &error)
{
    bool loaded = false;
    if (!m_options.stateDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(m_options.stateDir, ec);
        if (ec) {
            error = "cannot create " + m_options.stateDir + ": " + ec.message();
            return false;
        }
        std::string loadError;
        loaded = load(loadError);
        if (!loaded && !loadError.empty())
            std::cerr << "corvane-devsim: " << loadError << "; starting a fresh fleet\n";
    }
    if (!loaded)
        create();

    std::mt19937 rng(m_options.seed ? m_options.seed + 1 : std::random_device{}());
    std::vector<SimDevice *> order;
    for (const auto &device : m_devices)
        order.push_back(device.get());
    std::shuffle(order.begin(), order.end(), rng);
    for (int i = 0; i < m_options.silentCount && i < int(order.size()); ++i)
        order[std::size_t(i)]->silent = true;

    for (const auto &device : m_devices)
        device->lockout = std::make_unique<corvane::wire::LoginLockout>(
            m_options.lockoutTries, std::chrono::milliseconds(m_options.lockoutMs));
    if (!assignKeys(error))
        return false;

    std::lock_guard<std::mutex> lock(m_mutex);
    m_byIp.clear();
    for (const auto &device : m_devices) {
        if (!m_byIp.emplace(device->ip, device.get()).second) {
            error = "two devices share the address " + device->ip;
            return false;
        }
    }
    if (!loaded)
        save();
    return true;
}

// Each device keeps its TLS key in the state folder. Without one a key
// follows from the address the device starts at, so that a fleet started
// again on the same addresses shows the keys clients pinned before.
bool SimFleet::assignKeys(std::string &error)
{
    for (const auto &device : m_devices) {
        if (m_options.stateDir.empty()) {
            const std::string label = "corvane-devsim device key " + device->ip;
            device->tls = corvane::wire::TlsIdentity::fromSeed(corvane::wire::sha256(label.data(), label.size()));
        } else {
            const std::string path = (std::filesystem::path(m_options.stateDir) / ("key-" + device->serial + ".pem")).string();
            device->tls = corvane::wire::TlsIdentity::loadOrCreate(path, error);
        }
        if (!device->tls) {
            if (error.empty())
                error = "cannot make a TLS key for " + device->ip;
            return false;
        }
    }
    return true;
}

void SimFleet::create()
{
    std::mt19937 rng(m_options.seed ? m_options.seed : std::random_device{}());
    std::set<std::string> serials;
    std::set<std::string> macs;
    const uint32_t first = asio::ip::make_address_v4(m_options.firstIp).to_uint();
    const int total = m_options.ipcCount + m_options.nvrCount + m_options.onvifCount + m_options.onvifNvrCount;
    m_devices.clear();
    for (int i = 0; i < total; ++i) {
        auto device = std::make_unique<SimDevice>();
        device->index = i;
        device->type = typeAt(i);
        const bool ipc = device->type == "IPC" || device->type == "ONVIF";
        device->ip = asio::ip::address_v4(first + uint32_t(i)).to_string();
        device->model = pick(ipc ? IpcModelNames : NvrModelNames, rng);
        if (device->type == "IPC" && !m_options.ipcModels.empty())
            device->model = m_options.ipcModels[std::size_t(i) % m_options.ipcModels.size()];
        device->version = pick(ipc ? IpcVersions : NvrVersions, rng);
        device->reserved = pick(HardwareIds, rng);
        // Serial: production year and month, line letter, seven digits.
        char text[32];
        do {
            std::snprintf(text, sizeof text, "%02d%02d%c%07d", std::uniform_int_distribution<int>(19, 26)(rng),
                          std::uniform_int_distribution<int>(1, 12)(rng),
                          char('A' + std::uniform_int_distribution<int>(0, 7)(rng)),
                          std::uniform_int_distribution<int>(0, 9999999)(rng));
        } while (!serials.insert(text).second);
        device->serial = text;
        // Locally administered MAC prefix: never a real maker's.
        do {
            std::snprintf(text, sizeof text, "02c3a7%06x", std::uniform_int_distribution<int>(0, 0xFFFFFF)(rng));
        } while (!macs.insert(text).second);
        device->mac = text;
        std::snprintf(text, sizeof text, "%08d", std::uniform_int_distribution<int>(0, 99999999)(rng));
        device->securityCode = text;
        m_devices.push_back(std::move(device));
    }
}

std::string SimFleet::typeAt(int index) const
{
    if (index < m_options.ipcCount)
        return "IPC";
    index -= m_options.ipcCount;
    if (index < m_options.nvrCount)
        return "NVR";
    index -= m_options.nvrCount;
    return index < m_options.onvifCount ? "ONVIF" : "ONVIF-NVR";
}

std::string SimFleet::statePath() const
{
    return m_options.stateDir + "/" + StateFileName;
}

// The saved fleet is used when it has the requested number of each type.
bool SimFleet::load(std::string &error)
{
    std::ifstream in(statePath());
    if (!in)
        return false;
    std::string line;
    if (!std::getline(in, line) || line != StateHeader) {
        error = statePath() + " is not a fleet state file";
        return false;
    }
    std::vector<std::unique_ptr<SimDevice>> devices;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        const std::vector<std::string> f = splitTabs(line);
        if (f.size() != 12) {
            error = statePath() + ": malformed line " + std::to_string(devices.size() + 2);
            return false;
        }
        auto device = std::make_unique<SimDevice>();
        device->index = int(devices.size());
        device->type = f[0];
        device->ip = f[1];
        device->mask = f[2];
        device->gateway = f[3];
        device->model = unescapeField(f[4]);
        device->serial = unescapeField(f[5]);
        device->mac = f[6];
        device->version = unescapeField(f[7]);
        device->reserved = unescapeField(f[8]);
        device->userName = unescapeField(f[9]);
        device->password = unescapeField(f[10]);
        device->securityCode = unescapeField(f[11]);
        std::string canonical;
        if (device->type != typeAt(device->index) || !canonicalIp(device->ip, canonical, true)) {
            error = statePath() + " does not match --ipc/--nvr/--onvif/--onvif-nvr";
            return false;
        }
        devices.push_back(std::move(device));
    }
    if (int(devices.size()) != m_options.ipcCount + m_options.nvrCount + m_options.onvifCount + m_options.onvifNvrCount) {
        error = statePath() + " holds " + std::to_string(devices.size()) + " devices, not the requested number";
        return false;
    }
    m_devices = std::move(devices);
    return true;
}

void SimFleet::save() const
{
    if (m_options.stateDir.empty())
        return;
    std::ostringstream out;
    out << StateHeader << '\n';
    for (const auto &device : m_devices) {
        std::lock_guard<std::mutex> lock(device->mutex);
        out << device->type << '\t' << device->ip << '\t' << device->mask << '\t' << device->gateway << '\t'
            << escapeField(device->model) << '\t' << escapeField(device->serial) << '\t' << device->mac << '\t'
            << escapeField(device->version) << '\t' << escapeField(device->reserved) << '\t'
            << escapeField(device->userName) << '\t' << escapeField(device->password) << '\t'
            << escapeField(device->securityCode) << '\n';
    }
    std::lock_guard<std::mutex> lock(m_saveMutex);
    const std::string path = statePath();
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::trunc);
        file << out.str();
        if (!file.flush()) {
            std::cerr << "corvane-devsim: cannot write " << temp << '\n';
            return;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        std::cerr << "corvane-devsim: cannot replace " << path << '\n';
}

SimDevice *SimFleet::findByIp(const std::string &ip) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_byIp.find(ip);
    return it == m_byIp.end() ? nullptr : it->second;
}

void SimFleet::addMoveListener(MoveListener listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listeners.push_back(std::move(listener));
}

SimFleet::MoveResult SimFleet::moveDevice(SimDevice &device, const std::string &newIp, const std::string &mask,
                                          const std::string &gateway, const std::function<void()> &onAccepted)
{
    std::string canonical;
    if (!canonicalIp(newIp, canonical, true))
        return MoveResult::Invalid;
    std::string oldIp;
    std::vector<MoveListener> listeners;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto holder = m_byIp.find(canonical);
        if (holder != m_byIp.end() && holder->second != &device)
            return MoveResult::Conflict;
        std::lock_guard<std::mutex> deviceLock(device.mutex);
        oldIp = device.ip;
        device.mask = mask;
        device.gateway = gateway;
        if (canonical != oldIp) {
            m_byIp.erase(oldIp);
            m_byIp.emplace(canonical, &device);
            device.ip = canonical;
            listeners = m_listeners;
        }
    }
    if (onAccepted)
        onAccepted();
    for (const MoveListener &listener : listeners)
        listener(device, oldIp);
    save();
    return canonical == oldIp ? MoveResult::Unchanged : MoveResult::Moved;
}

void SimFleet::changePassword(SimDevice &device, const std::string &user, const std::string &password)
{
    {
        std::lock_guard<std::mutex> lock(device.mutex);
        device.userName = user;
        device.password = password;
        ++device.accountEpoch;
    }
    save();
}

void SimFleet::restoreFactoryPassword(SimDevice &device)
{
    changePassword(device, SimDevice::FactoryUser, SimDevice::FactoryPassword);
}

bool SimFleet::canonicalIp(const std::string &text, std::string &canonical, bool hostAddress)
{
    // The address entry's own pattern: four numbers 0-255, leading zeros allowed.
    static const std::regex pattern(R"(((2[0-4]\d|25[0-5]|[01]?\d\d?)\.){3}(2[0-4]\d|25[0-5]|[01]?\d\d?))");
    if (!std::regex_match(text, pattern))
        return false;
    int parts[4] = {0, 0, 0, 0};
    std::sscanf(text.c_str(), "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]);
    if (hostAddress && parts[3] == 0)
        return false;
    canonical = std::to_string(parts[0]) + '.' + std::to_string(parts[1]) + '.' + std::to_string(parts[2]) + '.'
                + std::to_string(parts[3]);
    return true;
}

bool SimFleet::validMask(const std::string &text)
{
    std::string canonical;
    if (!canonicalIp(text, canonical, false))
        return false;
    const uint32_t mask = asio::ip::make_address_v4(canonical).to_uint();
    // Contiguous ones from the top.
    return mask != 0 && ((~mask + 1) & ~mask) == 0;
}
