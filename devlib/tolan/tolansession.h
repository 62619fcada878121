#ifndef TOLANSESSION_H
#define TOLANSESSION_H

// The library's side of the maintenance protocol: device exchanges and the
// tables that map the caller's 32-bit handles to device sessions.

#include "devtypes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace corvane::wire {
class FrameClient;
}

namespace corvane::tolan {

struct Session
{
    std::string ip;
    uint16_t port = 0;
    std::vector<uint8_t> token;
    // Keys the proof of every request; known to both ends, never sent.
    std::vector<uint8_t> key;
    // The last request counter; shared by every copy of the session.
    std::shared_ptr<std::atomic<uint64_t>> counter = std::make_shared<std::atomic<uint64_t>>(0);
};

struct Upgrade
{
    Session session;
    uint32_t id = 0;
};

// The payload of a session request: token, the next counter and the proof
// over them and fields, then fields.
std::vector<uint8_t> sessionPayload(const Session &session, uint16_t op, const std::vector<uint8_t> &fields);

// One exchange: request op with payload, check the leading result code and
// hand back the rest of the reply. Returns a TLSDK_* code.
DWORD exchange(wire::FrameClient &client, uint16_t op, const std::vector<uint8_t> &payload,
               std::vector<uint8_t> &rest);
// Opens a connection to the session's device, bounded by the timeout.
DWORD connectTo(wire::FrameClient &client, const std::string &ip, uint16_t port);
// Connects and runs one session request with the fields in extra.
DWORD sessionCall(const Session &session, uint16_t op, const std::vector<uint8_t> &extra,
                  std::vector<uint8_t> &rest);
// The same, bounded by limit when that is shorter than the library timeout;
// for best-effort goodbyes whose result nobody waits for.
DWORD sessionCall(const Session &session, uint16_t op, const std::vector<uint8_t> &extra,
                  std::vector<uint8_t> &rest, std::chrono::milliseconds limit);

std::chrono::milliseconds timeout();
void setTimeout(std::chrono::milliseconds value);

// Handle tables. Handles count up from 1 and are never handed out twice.
class HandleTable
{
public:
    DWORD addSession(const Session &session);
    bool session(DWORD handle, Session &out);
    bool removeSession(DWORD handle, Session *removed = nullptr);

    DWORD addUpgrade(const Upgrade &upgrade);
    bool upgrade(DWORD handle, Upgrade &out);
    bool removeUpgrade(DWORD handle, Upgrade *removed = nullptr);

    static HandleTable &instance();

private:
    DWORD nextHandle();

    std::mutex m_mutex;
    DWORD m_lastHandle = 0;
    std::map<DWORD, Session> m_sessions;
    std::map<DWORD, Upgrade> m_upgrades;
};

} // namespace corvane::tolan

#endif // TOLANSESSION_H
