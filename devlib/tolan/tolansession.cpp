#include "tolansession.h"

#include "TolanNetSDK.h"
#include "frame.h"
#include "loopbackguard.h"
#include "requestproof.h"

#include <algorithm>
#include <atomic>

namespace corvane::tolan {

namespace {

std::atomic<long long> g_timeoutMs {5000};

DWORD fromFrameError(wire::FrameError error)
{
    switch (error) {
    case wire::FrameError::None: return TLSDK_OK;
    case wire::FrameError::Timeout: return TLSDK_ERR_TIMEOUT;
    case wire::FrameError::IdentityChanged: return TLSDK_ERR_IDENTITY;
    case wire::FrameError::Refused:
    case wire::FrameError::Closed:
    case wire::FrameError::Io: return TLSDK_ERR_CONNECT;
    default: return TLSDK_ERR_PROTOCOL;
    }
}

} // namespace

std::chrono::milliseconds timeout()
{
    return std::chrono::milliseconds(g_timeoutMs.load());
}

void setTimeout(std::chrono::milliseconds value)
{
    g_timeoutMs = value.count() > 0 ? value.count() : 5000;
}

DWORD connectTo(wire::FrameClient &client, const std::string &ip, uint16_t port)
{
    std::error_code ec;
    const asio::ip::address address = asio::ip::make_address(ip, ec);
    if (ec || !address.is_v4())
        return TLSDK_ERR_PARAM;
    if (!wire::destinationAllowed(address))
        return TLSDK_ERR_REFUSED;
    return fromFrameError(client.connect(ip, port));
}

DWORD exchange(wire::FrameClient &client, uint16_t op, const std::vector<uint8_t> &payload,
               std::vector<uint8_t> &rest)
{
    wire::Frame reply;
    const wire::FrameError error = client.request(op, payload, reply);
    if (error != wire::FrameError::None)
        return fromFrameError(error);
    wire::WireReader reader(reply.payload);
    uint32_t result = 0;
    if (!reader.u32(result))
        return TLSDK_ERR_PROTOCOL;
    if (result != TLSDK_OK)
        return result;
    rest.assign(reply.payload.begin() + 4, reply.payload.end());
    return TLSDK_OK;
}

DWORD sessionCall(const Session &session, uint16_t op, const std::vector<uint8_t> &extra,
                  std::vector<uint8_t> &rest)
{
    return sessionCall(session, op, extra, rest, timeout());
}

DWORD sessionCall(const Session &session, uint16_t op, const std::vector<uint8_t> &extra,
                  std::vector<uint8_t> &rest, std::chrono::milliseconds limit)
{
    wire::FrameClient client(std::min(limit, timeout()));
    DWORD result = connectTo(client, session.ip, session.port);
    if (result != TLSDK_OK)
        return result;
    return exchange(client, op, sessionPayload(session, op, extra), rest);
}

std::vector<uint8_t> sessionPayload(const Session &session, uint16_t op, const std::vector<uint8_t> &fields)
{
    const uint64_t counter = ++*session.counter;
    const std::vector<uint8_t> proof
        = wire::requestProof(session.key, op, session.token, counter, fields.data(), fields.size());
    std::vector<uint8_t> payload = wire::WireWriter().bytes(session.token).u64(counter).bytes(proof).take();
    payload.insert(payload.end(), fields.begin(), fields.end());
    return payload;
}

HandleTable &HandleTable::instance()
{
    static HandleTable table;
    return table;
}

DWORD HandleTable::nextHandle()
{
    // 0 means "no handle" to callers; after 2^32 - 1 handles the table
    // would rather refuse than hand out a number twice.
    if (m_lastHandle == 0xffffffffu)
        return 0;
    return ++m_lastHandle;
}

DWORD HandleTable::addSession(const Session &session)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const DWORD handle = nextHandle();
    if (handle)
        m_sessions[handle] = session;
    return handle;
}

bool HandleTable::session(DWORD handle, Session &out)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(handle);
    if (it == m_sessions.end())
        return false;
    out = it->second;
    return true;
}

bool HandleTable::removeSession(DWORD handle, Session *removed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sessions.find(handle);
    if (it == m_sessions.end())
        return false;
    if (removed)
        *removed = it->second;
    m_sessions.erase(it);
    return true;
}

DWORD HandleTable::addUpgrade(const Upgrade &upgrade)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const DWORD handle = nextHandle();
    if (handle)
        m_upgrades[handle] = upgrade;
    return handle;
}

bool HandleTable::upgrade(DWORD handle, Upgrade &out)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_upgrades.find(handle);
    if (it == m_upgrades.end())
        return false;
    out = it->second;
    return true;
}

bool HandleTable::removeUpgrade(DWORD handle, Upgrade *removed)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_upgrades.find(handle);
    if (it == m_upgrades.end())
        return false;
    if (removed)
        *removed = it->second;
    m_upgrades.erase(it);
    return true;
}

} // namespace corvane::tolan
