#ifndef TOLANSESSION_H
#define TOLANSESSION_H

// The library's side of the maintenance protocol: device exchanges and the
// tables that map the caller's 32-bit handles to device sessions.

#include "devtypes.h"

#include <chrono>
#include <cstdint>
#include <map>
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
};

struct Upgrade
{
    Session session;
    uint32_t id = 0;
};

// One exchange: request op with payload, check the leading result code and
// hand back the rest of the reply. Returns a TLSDK_* code.
DWORD exchange(wire::FrameClient &client, uint16_t op, const std::vector<uint8_t> &payload,
               std::vector<uint8_t> &rest);
// Opens a connection to the session's device, bounded by the timeout.
DWORD connectTo(wire::FrameClient &client, const std::string &ip, uint16_t port);
// Connects and runs one exchange whose payload is the token followed by extra.
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
