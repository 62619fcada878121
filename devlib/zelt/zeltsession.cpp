#include "zeltsession.h"

#include "auth.h"
#include "idleconnections.h"
#include "loopbackguard.h"
#include "zeltlog.h"
#include "zeltproto.h"

#include "zelt_mw_sdk.h"

#include <atomic>
#include <cstdlib>

namespace corvane::zelt {

namespace {

struct SessionRegistry
{
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<Session>> sessions;
};

// Never destroyed, like the library threads that may use it at exit.
SessionRegistry &registry()
{
    static SessionRegistry *r = new SessionRegistry;
    return *r;
}
// User-IDs carry a number that only grows, so a closed session's ID is never handed out again.
std::atomic<uint64_t> g_nextSession {1};

// Up to this many devices keep their connection after a logout, each for at
// most kMaxIdle (devices close idle connections themselves after a minute).
constexpr std::size_t kIdleCapacity = 256;
constexpr std::chrono::seconds kMaxIdle {20};

wire::IdleConnections &idleConnections()
{
    static auto *idle = new wire::IdleConnections(kIdleCapacity, kMaxIdle);
    return *idle;
}

std::string peerName(const std::string &ip, uint16_t port)
{
    return ip + ':' + std::to_string(port);
}

// Asks the challenge for user on a connection to the device: the one an
// earlier logout left open while the device still holds it, else a new one.
DWORD challengeOn(const std::string &ip, uint16_t port, const std::string &user,
                  std::unique_ptr<wire::FrameClient> &client, std::vector<uint8_t> &body)
{
    const std::vector<uint8_t> request = wire::WireWriter().str(user).take();
    client = idleConnections().take(peerName(ip, port));
    if (client) {
        client->setTimeout(callTimeout());
        wire::FrameError error = wire::FrameError::None;
        const DWORD result = exchange(*client, OpChallenge, request, body, &error);
        if (error == wire::FrameError::None)
            return result;
    }
    client = std::make_unique<wire::FrameClient>(callTimeout());
    const wire::FrameError error = client->connect(ip, port);
    if (error != wire::FrameError::None) {
        logLine(LogError, "login to " + ip + ": " + wire::frameErrorText(error));
        return frameErrorCode(error);
    }
    return exchange(*client, OpChallenge, request, body);
}

DWORD attach(wire::FrameClient &client, uint64_t token)
{
    std::vector<uint8_t> body;
    return exchange(client, OpAttach, wire::WireWriter().u64(token).take(), body);
}

} // namespace

std::chrono::milliseconds callTimeout()
{
    static const std::chrono::milliseconds timeout = [] {
        const char *text = std::getenv("CORVANE_ZELT_TIMEOUT_MS");
        const long value = text ? std::strtol(text, nullptr, 10) : 0;
        return std::chrono::milliseconds(value > 0 ? value : 5000);
    }();
    return timeout;
}

DWORD frameErrorCode(wire::FrameError error)
{
    switch (error) {
    case wire::FrameError::None:
        return ZELT_MW_OK;
    case wire::FrameError::Timeout:
        return ZELT_MW_ERR_TIMEOUT;
    case wire::FrameError::IdentityChanged:
        return ZELT_MW_ERR_IDENTITY;
    case wire::FrameError::Refused:
    case wire::FrameError::Closed:
    case wire::FrameError::Io:
        return ZELT_MW_ERR_CONNECT;
    default:
        return ZELT_MW_ERR_PROTOCOL;
    }
}

DWORD exchange(wire::FrameClient &client, uint16_t op, const std::vector<uint8_t> &payload,
               std::vector<uint8_t> &body, wire::FrameError *frameError)
{
    wire::Frame reply;
    const wire::FrameError error = client.request(op, payload, reply);
    if (frameError)
        *frameError = error;
    if (error != wire::FrameError::None)
        return frameErrorCode(error);
    return replyResult(reply, body);
}

DWORD replyResult(const wire::Frame &reply, std::vector<uint8_t> &body)
{
    if (reply.payload.size() < 4)
        return ZELT_MW_ERR_PROTOCOL;
    uint32_t result = 0;
    wire::WireReader reader(reply.payload);
    reader.u32(result);
    body.assign(reply.payload.begin() + 4, reply.payload.end());
    return result;
}

Session::Session(std::string userId, std::string ip, uint16_t port, uint64_t token,
                 std::unique_ptr<wire::FrameClient> client)
    : m_userId(std::move(userId)), m_ip(std::move(ip)), m_port(port), m_token(token), m_client(std::move(client))
{
}

DWORD Session::reattach()
{
    const wire::FrameError error = m_client->connect(m_ip, m_port);
    if (error != wire::FrameError::None)
        return frameErrorCode(error);
    const DWORD result = attach(*m_client, m_token);
    if (result != ZELT_MW_OK)
        m_client->close();
    return result;
}

DWORD Session::call(uint16_t op, const std::vector<uint8_t> &payload, std::vector<uint8_t> &body)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool reused = m_client->isOpen();
    if (!reused) {
        const DWORD result = reattach();
        if (result != ZELT_MW_OK)
            return result;
    }
    wire::FrameError error = wire::FrameError::None;
    const DWORD result = exchange(*m_client, op, payload, body, &error);
    // A device closes a connection that stayed idle; the request then never
    // reached it, so it goes once more on a new connection.
    if (reused && error == wire::FrameError::Closed) {
        const DWORD again = reattach();
        return again == ZELT_MW_OK ? exchange(*m_client, op, payload, body) : again;
    }
    return result;
}

DWORD Session::openAttached(std::chrono::milliseconds timeout, std::unique_ptr<wire::FrameClient> &client) const
{
    client = std::make_unique<wire::FrameClient>(timeout);
    const wire::FrameError error = client->connect(m_ip, m_port);
    if (error != wire::FrameError::None)
        return frameErrorCode(error);
    return attach(*client, m_token);
}

DWORD Session::goodbye(uint16_t op, std::chrono::milliseconds limit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto left = [deadline] {
        return std::max(std::chrono::milliseconds(1), std::chrono::duration_cast<std::chrono::milliseconds>(
                                                          deadline - std::chrono::steady_clock::now()));
    };
    m_client->setTimeout(left());
    if (!m_client->isOpen()) {
        const DWORD result = reattach();
        if (result != ZELT_MW_OK)
            return result;
        m_client->setTimeout(left());
    }
    std::vector<uint8_t> body;
    return exchange(*m_client, op, {}, body);
}

void Session::close(bool loggedOut)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!loggedOut || !m_client->isOpen()) {
        m_client->close();
        return;
    }
    idleConnections().put(peerName(m_ip, m_port), std::move(m_client));
    // A call that still holds this session reconnects and is refused: the device ended it.
    m_client = std::make_unique<wire::FrameClient>(callTimeout());
}

static thread_local DWORD t_lockSeconds = 0;

DWORD lastLockSeconds()
{
    return t_lockSeconds;
}

DWORD login(const std::string &user, const std::string &password, const std::string &ip, uint16_t port,
            std::string &userId, const std::vector<wire::FrameClient::Request> &after,
            std::vector<CallResult> *afterResults)
{
    t_lockSeconds = 0;
    std::error_code ec;
    const asio::ip::address address = asio::ip::make_address_v4(ip, ec);
    if (ec || user.empty() || user.size() > wire::kMaxUserNameSize)
        return ZELT_MW_ERR_PARAM;
    const std::string problem = wire::passwordProblem(password);
    if (!problem.empty()) {
        logLine(LogError, "login of user " + user + " to " + ip + " refused: " + problem);
        return ZELT_MW_ERR_PARAM;
    }
    if (!wire::destinationAllowed(address)) {
        logLine(LogError, "login to " + ip + " refused: destination outside loopback");
        return ZELT_MW_ERR_REFUSED;
    }
    std::unique_ptr<wire::FrameClient> client;
    std::vector<uint8_t> body;
    DWORD result = challengeOn(ip, port, user, client, body);
    std::vector<uint8_t> nonce;
    if (result == ZELT_MW_OK) {
        wire::WireReader reader(body);
        if (!reader.bytes(nonce, 1024) || nonce.size() < wire::kNonceSize)
            result = ZELT_MW_ERR_PROTOCOL;
    }
    uint64_t token = 0;
    if (result == ZELT_MW_OK) {
        const std::vector<uint8_t> proof = wire::loginProof(password, nonce, user);
        if (proof.empty())
            return ZELT_MW_ERR_PROTOCOL;
        std::vector<wire::FrameClient::Request> requests {{OpLogin, wire::WireWriter().str(user).bytes(proof).take()}};
        requests.insert(requests.end(), after.begin(), after.end());
        std::vector<wire::Frame> replies;
        const wire::FrameError error = client->requestAll(requests, replies);
        result = error == wire::FrameError::None ? replyResult(replies.front(), body) : frameErrorCode(error);
        wire::WireReader reader(body);
        if (result == ZELT_MW_OK && !reader.u64(token))
            result = ZELT_MW_ERR_PROTOCOL;
        uint32_t lockSeconds = 0;
        if (result == ZELT_MW_ERR_LOCKED && reader.u32(lockSeconds))
            t_lockSeconds = lockSeconds;
        for (std::size_t i = 1; result == ZELT_MW_OK && afterResults && i < replies.size(); ++i) {
            CallResult call;
            call.result = replyResult(replies[i], call.body);
            afterResults->push_back(std::move(call));
        }
    }
    if (result != ZELT_MW_OK) {
        logLine(LogError, "login of user " + user + " to " + ip + " failed, code " + std::to_string(result));
        return result;
    }
    userId = "Z" + std::to_string(g_nextSession++) + "@" + ip + ":" + std::to_string(port);
    auto session = std::make_shared<Session>(userId, ip, port, token, std::move(client));
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        registry().sessions[userId] = session;
    }
    logLine(LogInfo, "login of user " + user + " to " + ip + " as " + userId);
    return ZELT_MW_OK;
}

std::shared_ptr<Session> findSession(const char *userId)
{
    if (!userId)
        return nullptr;
    std::lock_guard<std::mutex> lock(registry().mutex);
    const auto it = registry().sessions.find(userId);
    return it == registry().sessions.end() ? nullptr : it->second;
}

std::shared_ptr<Session> takeSession(const char *userId)
{
    if (!userId)
        return nullptr;
    std::lock_guard<std::mutex> lock(registry().mutex);
    const auto it = registry().sessions.find(userId);
    if (it == registry().sessions.end())
        return nullptr;
    std::shared_ptr<Session> session = it->second;
    registry().sessions.erase(it);
    return session;
}

} // namespace corvane::zelt
