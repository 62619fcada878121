#include "nvrservice.h"

#include "TolanNetSDK.h"

#include "frame.h"
#include "nvrdevice.h"
#include "simfleet.h"
#include "simoptions.h"
#include "tolanproto.h"

#include <iostream>
#include <map>

using namespace corvane;

namespace {

// One connection: holds the pending login challenge of that connection.
class NvrHandler : public wire::FrameHandler
{
public:
    NvrHandler(NvrDevice &device, std::string source)
        : m_device(device), m_source(std::move(source)), m_trusted(m_device.hasSessionFrom(m_source))
    {
    }

    // Every request names its session; a connection counts as authenticated
    // once one of them did.
    bool authenticated() const override { return m_authenticated; }
    bool trustedSource() const override { return m_trusted; }
    // Strangers get a few KiB until they name a session; a logged-in
    // operator's address may send a whole call at once.
    uint32_t payloadLimit() const override
    {
        if (m_authenticated)
            return kMaxRequest;
        return m_trusted ? kMaxFirstRequest : kMaxStrangerRequest;
    }

    bool handle(const wire::Frame &request, wire::Frame &reply) override
    {
        // A restarting device answers nothing; the connection just ends.
        if (!m_device.online())
            return false;
        wire::WireWriter out;
        const uint32_t result = dispatch(request, out);
        std::vector<uint8_t> body = out.take();
        reply.payload = wire::WireWriter().u32(result).take();
        if (result == TLSDK_OK)
            reply.payload.insert(reply.payload.end(), body.begin(), body.end());
        return true;
    }

private:
    uint32_t dispatch(const wire::Frame &request, wire::WireWriter &out)
    {
        const uint16_t op = request.type;
        wire::WireReader in(request.payload);
        if (op == tolan::OpChallenge) {
            std::string user;
            if (!in.str(user, wire::kMaxUserNameSize) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            std::vector<uint8_t> nonce;
            const uint32_t result = m_device.challenge(user, m_source, m_challenge, nonce);
            out.bytes(nonce);
            return result;
        }
        if (op == tolan::OpLogin) {
            std::string user;
            std::vector<uint8_t> proof, clientNonce, token, info;
            if (!in.str(user, wire::kMaxUserNameSize) || !in.bytes(proof, 64)
                || !in.bytes(clientNonce, wire::kNonceSize) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            const uint32_t result = m_device.login(user, m_source, proof, clientNonce, m_challenge, token, info);
            out.bytes(token).bytes(info);
            m_authenticated = m_authenticated || result == TLSDK_OK;
            return result;
        }

        std::vector<uint8_t> token, proof;
        uint64_t counter = 0;
        if (!in.bytes(token, tolan::kTokenSize) || !in.u64(counter) || !in.bytes(proof, wire::kProofSize))
            return TLSDK_ERR_PROTOCOL;
        const std::size_t fields = in.position();
        const uint32_t check = m_device.checkRequest(token, m_source, op, counter, proof,
                                                     request.payload.data() + fields, request.payload.size() - fields);
        if (check != TLSDK_OK)
            return check;
        m_authenticated = true;

        switch (op) {
        case tolan::OpLogout:
            m_device.logout(token);
            return TLSDK_OK;
        case tolan::OpRestart:
            return in.atEnd() ? m_device.restart() : TLSDK_ERR_PROTOCOL;
        case tolan::OpGetDevCfg: {
            uint32_t command = 0;
            if (!in.u32(command) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            std::vector<uint8_t> structure;
            const uint32_t result = m_device.deviceConfig(command, structure);
            out.bytes(structure);
            return result;
        }
        case tolan::OpUpgradeBegin: {
            uint64_t size = 0;
            uint32_t id = 0;
            if (!in.u64(size) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            const uint32_t result = m_device.upgradeBegin(size, id);
            out.u32(id);
            return result;
        }
        case tolan::OpUpgradeData: {
            uint32_t id = 0;
            uint64_t offset = 0;
            std::vector<uint8_t> chunk;
            if (!in.u32(id) || !in.u64(offset) || !in.bytes(chunk, tolan::kUpgradeChunk) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            return m_device.upgradeData(id, offset, chunk);
        }
        case tolan::OpUpgradeEnd:
        case tolan::OpUpgradeStatus:
        case tolan::OpUpgradeClose: {
            uint32_t id = 0;
            if (!in.u32(id) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            if (op == tolan::OpUpgradeEnd)
                return m_device.upgradeEnd(id);
            if (op == tolan::OpUpgradeClose)
                return m_device.upgradeClose(id);
            uint32_t state = 0, progress = 0;
            const uint32_t result = m_device.upgradeStatus(id, state, progress);
            out.u32(state).u32(progress);
            return result;
        }
        case tolan::OpExportMtInfo:
        case tolan::OpExportCfg: {
            if (!in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            std::vector<uint8_t> file;
            const uint32_t result = op == tolan::OpExportCfg ? m_device.exportConfig(file)
                                                              : m_device.exportDiagnostics(file);
            out.bytes(file);
            return result;
        }
        case tolan::OpImportCfg: {
            std::vector<uint8_t> file;
            if (!in.bytes(file, tolan::kMaxConfigFileSize) || !in.atEnd())
                return TLSDK_ERR_PROTOCOL;
            return m_device.importConfig(file);
        }
        default:
            return TLSDK_ERR_UNSUPPORTED;
        }
    }

    // A connection opened for one call carries its whole request at once
    // (a configuration file, an upgrade chunk); only a session goes further.
    static constexpr uint32_t kMaxFirstRequest = tolan::kMaxConfigFileSize + 4096;
    static constexpr uint32_t kMaxRequest = tolan::kUpgradeChunk + tolan::kMaxConfigFileSize;
    static constexpr uint32_t kMaxStrangerRequest = 4096;

    NvrDevice &m_device;
    const std::string m_source;
    const bool m_trusted;
    wire::Challenge m_challenge;
    bool m_authenticated = false;
};

// Owns the NVRs and their listeners for the lifetime of the io_context: as an
// io_context service it is shut down before the io_context's own services, so
// timers and sockets go while their reactor still exists.
class NvrRegistry : public asio::execution_context::service
{
public:
    using key_type = NvrRegistry;
    static asio::execution_context::id id;

    explicit NvrRegistry(asio::execution_context &context) : asio::execution_context::service(context) {}

    void start(SimFleet &fleet, asio::io_context &io, const SimOptions &options)
    {
        NvrTiming timing;
        timing.upgrade = std::chrono::milliseconds(options.upgradeMs);
        timing.restart = std::chrono::milliseconds(options.restartMs);
        timing.rebootAfterUpgrade = std::chrono::milliseconds(options.rebootAfterUpgradeMs);

        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto &device : fleet.devices()) {
            if (device->type != "NVR")
                continue;
            auto nvr = std::make_unique<NvrDevice>(*device, fleet, io, timing);
            listen(io, *nvr, device->currentIp());
            m_devices[device.get()] = std::move(nvr);
        }
        fleet.addMoveListener([this, &io](SimDevice &device, const std::string &) {
            if (device.type != "NVR")
                return;
            asio::post(io, [this, &io, &device] {
                std::lock_guard<std::mutex> lock(m_mutex);
                const auto it = m_devices.find(&device);
                if (it != m_devices.end())
                    listen(io, *it->second, device.currentIp());
            });
        });
    }

private:
    void shutdown() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto &entry : m_servers)
            entry.second->stop();
        m_servers.clear();
        m_devices.clear();
    }

    // m_mutex held
    void listen(asio::io_context &io, NvrDevice &nvr, const std::string &ip)
    {
        auto old = m_servers.find(&nvr);
        if (old != m_servers.end()) {
            old->second->stop();
            m_servers.erase(old);
        }
        auto server = wire::FrameServer::create(
            io, [&nvr](const asio::ip::address &peer) -> std::unique_ptr<wire::FrameHandler> {
                if (!nvr.online())
                    return nullptr;
                return std::make_unique<NvrHandler>(nvr, peer.to_string());
            });
        server->setIdentity(nvr.simDevice().tls);
        asio::error_code ec;
        const asio::ip::address address = asio::ip::make_address(ip, ec);
        if (!ec)
            ec = server->listen({address, tolan::kDefaultPort});
        if (ec) {
            std::cerr << "corvane-devsim: NVR " << ip << ": cannot listen on port " << tolan::kDefaultPort
                      << ": " << ec.message() << '\n';
            return;
        }
        m_servers[&nvr] = server;
    }

    std::mutex m_mutex;
    std::map<const SimDevice *, std::unique_ptr<NvrDevice>> m_devices;
    std::map<const NvrDevice *, std::shared_ptr<wire::FrameServer>> m_servers;
};

asio::execution_context::id NvrRegistry::id;

} // namespace

void startNvrServices(SimFleet &fleet, asio::io_context &io, const SimOptions &options)
{
    asio::use_service<NvrRegistry>(io).start(fleet, io, options);
}
