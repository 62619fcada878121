#include "ipcserver.h"

#include "simdevice.h"
#include "zeltproto.h"

#include "zelt_mw_sdk.h"

using namespace corvane;
using namespace corvane::zelt;

namespace {

// One connection. It is bound to a session by Login or Attach; a reboot of
// the device ends it.
class IpcConnection : public wire::FrameHandler
{
public:
    IpcConnection(std::shared_ptr<IpcDevice> device, std::string source)
        : m_device(std::move(device)), m_boot(m_device->boot()), m_source(std::move(source)),
          m_trusted(m_device->hasSessionFrom(m_source))
    {
    }

    bool authenticated() const override { return m_token != 0; }
    bool trustedSource() const override { return m_trusted; }
    // Before a login only the small login requests make sense.
    uint32_t payloadLimit() const override { return m_token != 0 ? kIpcMaxRequest : kLoginRequestLimit; }

    ~IpcConnection() override
    {
        if (m_streaming)
            m_device->streamClosed();
    }

    bool answers() const override { return m_answers; }

    bool handle(const wire::Frame &request, wire::Frame &reply) override
    {
        if (!m_device->online() || m_device->boot() != m_boot)
            return false;
        m_answers = !m_device->ignores(request.type);
        if (!m_answers)
            return true;
        wire::WireReader in(request.payload);
        wire::WireWriter body;
        const uint32_t result = dispatch(request.type, in, body);
        std::vector<uint8_t> rest = body.take();
        reply.payload = wire::WireWriter().u32(result).take();
        // A refused login tells how long the account stays locked.
        if (result == ZELT_MW_OK || result == ZELT_MW_ERR_LOCKED)
            reply.payload.insert(reply.payload.end(), rest.begin(), rest.end());
        return true;
    }

private:
    uint32_t dispatch(uint16_t op, wire::WireReader &in, wire::WireWriter &out)
    {
        switch (op) {
        case OpChallenge: {
            std::string user;
            std::vector<uint8_t> nonce;
            if (!in.str(user, wire::kMaxUserNameSize) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            const uint32_t result = m_device->challenge(user, m_challenge, nonce);
            out.bytes(nonce);
            return result;
        }
        case OpLogin: {
            std::string user;
            std::vector<uint8_t> proof;
            if (!in.str(user, wire::kMaxUserNameSize) || !in.bytes(proof, wire::kProofSize) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            uint64_t token = 0;
            uint32_t lockSeconds = 0;
            const uint32_t result = m_device->login(user, proof, m_challenge, m_source, token, lockSeconds);
            if (result == ZELT_MW_OK)
                m_token = token;
            if (result == ZELT_MW_ERR_LOCKED)
                out.u32(lockSeconds);
            else
                out.u64(token);
            return result;
        }
        case OpAttach: {
            uint64_t token = 0;
            if (!in.u64(token) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            if (!m_device->validSession(token, m_source))
                return ZELT_MW_ERR_USERID;
            m_token = token;
            return ZELT_MW_OK;
        }
        default:
            break;
        }
        if (m_token == 0 || !m_device->validSession(m_token, m_source))
            return ZELT_MW_ERR_USERID;
        return sessionRequest(op, in, out);
    }

    uint32_t sessionRequest(uint16_t op, wire::WireReader &in, wire::WireWriter &out)
    {
        uint32_t a = 0, b = 0;
        std::vector<uint8_t> data;
        switch (op) {
        case OpLogout:
            if (!in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            m_device->logout(m_token);
            m_token = 0;
            return ZELT_MW_OK;
        case OpGetConfig: {
            if (!in.u32(a) || !in.u32(b) || !in.bytes(data, 4096) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            std::vector<uint8_t> structure;
            const uint32_t result = b != 0 ? uint32_t(ZELT_MW_ERR_PARAM) : m_device->getConfig(a, data, structure);
            out.bytes(structure);
            return result;
        }
        case OpSetConfig:
            if (!in.u32(a) || !in.u32(b) || !in.bytes(data, 4096) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            return b != 0 ? uint32_t(ZELT_MW_ERR_PARAM) : m_device->setConfig(a, data);
        case OpQueryInfo: {
            if (!in.u32(a) || !in.u32(b) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            const uint32_t result = m_device->queryInfo(a, data);
            out.bytes(data);
            return result;
        }
        case OpCapability: {
            if (!in.u32(a) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            std::string xml;
            const uint32_t result = m_device->capability(a, xml);
            out.str(xml);
            return result;
        }
        case OpReboot:
            return in.atEnd() ? m_device->reboot() : uint32_t(ZELT_MW_ERR_PROTOCOL);
        case OpRestoreImage:
            if (!in.u32(a) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            return a != 0 ? uint32_t(ZELT_MW_ERR_PARAM) : m_device->restoreImage();
        case OpExportConfig: {
            if (!in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            const uint32_t result = m_device->exportConfig(data);
            out.bytes(data);
            return result;
        }
        case OpImportConfig:
            if (!in.bytes(data, kMaxConfigFileSize) || !in.atEnd())
                return ZELT_MW_ERR_CONFIG_FILE;
            return m_device->importConfig(data);
        case OpExportDiag: {
            if (!in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            const uint32_t result = m_device->exportDiagnostics(data);
            out.bytes(data);
            return result;
        }
        case OpUpgradeBegin:
            if (!in.u32(a) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            return m_device->upgradeBegin(a);
        case OpUpgradeData:
            if (!in.u32(a) || !in.bytes(data, kUpgradeChunk) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            return m_device->upgradeData(a, data);
        case OpUpgradeEnd:
            return in.atEnd() ? m_device->upgradeEnd() : uint32_t(ZELT_MW_ERR_PROTOCOL);
        case OpUpgradeState: {
            if (!in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            uint32_t state = 0, progress = 0, failure = 0;
            m_device->upgradeState(state, progress, failure);
            out.u32(state).u32(progress).u32(failure);
            return ZELT_MW_OK;
        }
        case OpStreamOpen: {
            bool audio = false;
            uint32_t frameRate = 0;
            if (!in.u32(a) || !in.atEnd())
                return ZELT_MW_ERR_PROTOCOL;
            const uint32_t result = m_device->openStream(a, audio, frameRate);
            if (result == ZELT_MW_OK) {
                if (!m_streaming)
                    m_device->streamOpened();
                m_streaming = true;
                m_streamId = a;
            }
            out.u32(audio ? 1 : 0).u32(frameRate);
            return result;
        }
        case OpStreamFrame: {
            if (!m_streaming)
                return ZELT_MW_ERR_STREAM;
            const std::vector<uint8_t> jpeg = m_device->picture(m_streamId);
            const auto sent = std::chrono::steady_clock::now().time_since_epoch();
            out.u32(++m_sequence).bytes(jpeg).u64(uint64_t(std::chrono::nanoseconds(sent).count()));
            return ZELT_MW_OK;
        }
        default:
            return ZELT_MW_ERR_UNSUPPORTED;
        }
    }

    static constexpr uint32_t kLoginRequestLimit = 4096;

    std::shared_ptr<IpcDevice> m_device;
    const uint64_t m_boot;
    const std::string m_source;
    const bool m_trusted;
    wire::Challenge m_challenge;
    uint64_t m_token = 0;
    bool m_streaming = false;
    bool m_answers = true;
    uint32_t m_streamId = 0;
    uint32_t m_sequence = 0;
};

} // namespace

IpcServer::IpcServer(std::shared_ptr<IpcDevice> device, asio::io_context &io, uint16_t port)
    : m_device(std::move(device)), m_io(io), m_port(port)
{
}

IpcServer::~IpcServer()
{
    if (m_server)
        m_server->stop();
}

bool IpcServer::listen(std::string &error)
{
    if (m_server)
        m_server->stop();
    std::shared_ptr<IpcDevice> device = m_device;
    m_server = wire::FrameServer::create(
        m_io,
        [device](const asio::ip::address &peer) -> std::unique_ptr<wire::FrameHandler> {
            if (!device->online())
                return nullptr;
            return std::make_unique<IpcConnection>(device, peer.to_string());
        },
        kIpcMaxRequest);
    m_server->setIdentity(m_device->simDevice().tls);
    asio::error_code ec;
    const asio::ip::address address = asio::ip::make_address(m_device->simDevice().currentIp(), ec);
    if (!ec)
        ec = m_server->listen(asio::ip::tcp::endpoint(address, m_port));
    if (ec) {
        error = "IPC " + m_device->simDevice().currentIp() + ": " + ec.message();
        return false;
    }
    return true;
}
