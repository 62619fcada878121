#include "onvifhost.h"

#include "simfleet.h"
#include "simoptions.h"

#include <asio/post.hpp>
#include <asio/steady_timer.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

namespace {

const char *const StateFileName = "onvif-state.tsv";
const char *const StateHeader = "corvane-devsim onvif 1";

std::string newEndpoint(std::mt19937 &rng)
{
    std::uniform_int_distribution<uint32_t> number;
    char text[64];
    std::snprintf(text, sizeof text, "urn:uuid:%08x-%04x-4%03x-%04x-%08x%04x", number(rng), number(rng) & 0xFFFF,
                  number(rng) & 0xFFF, (number(rng) & 0x3FFF) | 0x8000, number(rng), number(rng) & 0xFFFF);
    return text;
}

} // namespace

OnvifHost::OnvifHost(asio::io_context &io, SimFleet &fleet, const SimOptions &options)
    : m_io(io)
    , m_fleet(fleet)
    , m_options(options)
    , m_discovery(io, options)
    , m_garbage(io)
{
}

OnvifHost::~OnvifHost()
{
    for (const auto &unit : m_units)
        unit->server.reset();
}

bool OnvifHost::start(std::string &error)
{
    std::vector<std::string> encodings;
    for (const auto &simDevice : m_fleet.devices()) {
        if (!simDevice->onvif())
            continue;
        auto unit = std::make_unique<Unit>();
        Unit *raw = unit.get();
        OnvifDevice::Hooks hooks;
        hooks.reboot = [this, raw] { asio::post(m_io, [this, raw] { reboot(*raw); }); };
        hooks.changed = [this] { saveState(); };
        hooks.passwordChanged = [this, raw] { asio::post(m_io, [this, raw] { m_rtsp.cut(*raw->media); }); };
        unit->device = std::make_unique<OnvifDevice>(*simDevice, m_fleet, m_options, hooks);
        unit->server = std::make_unique<OnvifHttpServer>(*unit->device, m_options.onvifHttps, hooks.reboot);
        unit->media = std::make_unique<OnvifMedia>(*simDevice, m_options, unit->device->videoSources());
        unit->media->setHooks({[this, raw](int profile) { m_rtsp.encoderChanged(*raw->media, profile); },
                               [this, raw] { m_rtsp.imagingChanged(*raw->media); }});
        if (encodings.empty())
            encodings = OnvifRtsp::encodings();
        unit->media->setEncodings(encodings);
        unit->device->setMedia(unit->media.get());
        m_rtsp.add(*simDevice, *unit->media);
        m_units.push_back(std::move(unit));
    }
    if (m_units.empty())
        return true;
    loadState();
    std::vector<OnvifDevice *> devices;
    for (const auto &unit : m_units) {
        if (!unit->server->start(unit->device->device().currentIp(), error))
            return false;
        devices.push_back(unit->device.get());
    }
    if (!m_discovery.start(devices, error))
        return false;
    if (m_options.onvifRtspGarbage) {
        for (const auto &unit : m_units) {
            if (m_options.onvifRtspPort != 0
                && !m_garbage.listen(unit->device->device().currentIp(), m_options.onvifRtspPort, error))
                return false;
        }
    } else if (!m_rtsp.start(m_options.onvifRtspPort, m_options.onvifStreamStopMs, error)) {
        return false;
    }
    m_fleet.addMoveListener([this](SimDevice &device, const std::string &) {
        if (Unit *unit = find(device))
            asio::post(m_io, [this, unit] { moved(*unit); });
    });
    saveState();
    return true;
}

void OnvifHost::shutdown()
{
    // Every Bye first: stopping a server waits for its connections, and the process may not outlive that.
    for (const auto &unit : m_units) {
        if (unit->device->device().online)
            m_discovery.bye(*unit->device);
    }
    for (const auto &unit : m_units)
        unit->server->stop();
    m_rtsp.stop();
    m_garbage.stop();
    saveState();
}

OnvifHost::Unit *OnvifHost::find(const SimDevice &device) const
{
    for (const auto &unit : m_units) {
        if (&unit->device->device() == &device)
            return unit.get();
    }
    return nullptr;
}

std::string OnvifHost::describe(const SimDevice &device) const
{
    const Unit *unit = find(device);
    if (!unit)
        return {};
    return device.type + ' ' + device.currentIp() + ' ' + std::to_string(unit->device->httpPort()) + ' '
           + device.model + ' ' + device.serial + ' ' + device.mac + ' ' + unit->device->endpoint();
}

void OnvifHost::reboot(Unit &unit)
{
    SimDevice &device = unit.device->device();
    if (!device.online)
        return;
    m_discovery.bye(*unit.device);
    device.online = false;
    unit.server->stop();
    // Its streams end with it.
    m_rtsp.cut(*unit.media);
    auto timer = std::make_shared<asio::steady_timer>(m_io, std::chrono::milliseconds(m_options.restartMs));
    timer->async_wait([this, timer, &unit](const asio::error_code &ec) {
        if (ec)
            return;
        SimDevice &device = unit.device->device();
        std::string error;
        if (!unit.server->start(device.currentIp(), error))
            std::cerr << "corvane-devsim: " << error << '\n';
        unit.device->addLog("started");
        device.online = true;
        m_discovery.hello(*unit.device);
        saveState();
    });
}

void OnvifHost::moved(Unit &unit)
{
    SimDevice &device = unit.device->device();
    m_discovery.rebind(*unit.device);
    m_rtsp.moved(*unit.media);
    if (!device.online)
        return; // a restarting device binds its new address when it comes back
    std::string error;
    if (!unit.server->start(device.currentIp(), error))
        std::cerr << "corvane-devsim: " << error << '\n';
}

std::string OnvifHost::statePath() const
{
    return m_options.stateDir + "/" + StateFileName;
}

// Saved settings by serial; new devices get a fresh endpoint reference and defaults.
void OnvifHost::loadState()
{
    std::map<std::string, std::pair<std::string, std::string>> saved; // serial -> endpoint, settings
    if (!m_options.stateDir.empty()) {
        std::ifstream in(statePath());
        std::string line;
        if (std::getline(in, line) && line == StateHeader) {
            while (std::getline(in, line)) {
                const std::size_t first = line.find('\t');
                const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
                if (second != std::string::npos)
                    saved[line.substr(0, first)] = {line.substr(first + 1, second - first - 1), line.substr(second + 1)};
            }
        }
    }
    std::mt19937 rng(m_options.seed ? m_options.seed + 4 : std::random_device{}());
    for (const auto &unit : m_units) {
        const SimDevice &device = unit->device->device();
        OnvifState state;
        state.endpoint = newEndpoint(rng);
        state.hostname = "cam-" + device.serial;
        const auto found = saved.find(device.serial);
        if (found != saved.end() && found->second.first.rfind("urn:uuid:", 0) == 0) {
            OnvifState loaded = state;
            if (loaded.applySettingsLine(found->second.second))
                state = loaded;
            state.endpoint = found->second.first;
        }
        if (m_options.onvifClockOffset != 0)
            state.clockOffset = m_options.onvifClockOffset;
        unit->device->setState(state);
    }
}

void OnvifHost::saveState() const
{
    if (m_options.stateDir.empty())
        return;
    std::ostringstream out;
    out << StateHeader << '\n';
    for (const auto &unit : m_units) {
        const OnvifState state = unit->device->state();
        out << unit->device->device().serial << '\t' << state.endpoint << '\t' << state.settingsLine() << '\n';
    }
    std::lock_guard<std::mutex> lock(m_saveMutex);
    const std::string temp = statePath() + ".tmp";
    {
        std::ofstream file(temp, std::ios::trunc);
        file << out.str();
        if (!file.flush()) {
            std::cerr << "corvane-devsim: cannot write " << temp << '\n';
            return;
        }
    }
    if (std::rename(temp.c_str(), statePath().c_str()) != 0)
        std::cerr << "corvane-devsim: cannot replace " << statePath() << '\n';
}
