#ifndef ZELTSESSION_H
#define ZELTSESSION_H

// Sessions of the configuration library: one per successful login, named by
// its user-ID. A session keeps one connection to the device for the calls
// and can open further connections bound to it (streams, upgrades).
#include "frame.h"

#include "devtypes.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace corvane::zelt {

// Timeout of one call; CORVANE_ZELT_TIMEOUT_MS overrides the default of 5 s.
std::chrono::milliseconds callTimeout();
DWORD frameErrorCode(wire::FrameError error);

// The result code at the head of a reply, and the body after it.
DWORD replyResult(const wire::Frame &reply, std::vector<uint8_t> &body);
// One request on a connection: the reply's result code and the body after it.
// frameError, when given, receives the outcome of the exchange itself.
DWORD exchange(wire::FrameClient &client, uint16_t op, const std::vector<uint8_t> &payload,
               std::vector<uint8_t> &body, wire::FrameError *frameError = nullptr);

class Session
{
public:
    Session(std::string userId, std::string ip, uint16_t port, uint64_t token,
            std::unique_ptr<wire::FrameClient> client);

    const std::string &userId() const { return m_userId; }
    const std::string &ip() const { return m_ip; }

    // Sends one request, reconnecting to the session first when the
    // connection was lost (a device that rebooted no longer knows it).
    DWORD call(uint16_t op, const std::vector<uint8_t> &payload, std::vector<uint8_t> &body);
    // A last request (logout) that gives up after limit, connection included.
    DWORD goodbye(uint16_t op, std::chrono::milliseconds limit);
    // A further connection bound to this session.
    DWORD openAttached(std::chrono::milliseconds timeout, std::unique_ptr<wire::FrameClient> &client) const;
    // Ends the connection; after a logout the device accepted (loggedOut) it
    // stays open for the next login to the same device.
    void close(bool loggedOut = false);

private:
    DWORD reattach(); // m_mutex held

    const std::string m_userId;
    const std::string m_ip;
    const uint16_t m_port;
    const uint64_t m_token;
    std::mutex m_mutex;
    std::unique_ptr<wire::FrameClient> m_client;
};

struct CallResult
{
    DWORD result = 0;
    std::vector<uint8_t> body;
};

// Logs in and registers the session; fills userId on success. The requests in
// after travel right behind the login request, so their replies come back in
// the login's round trip; afterResults gets them only when the login succeeded.
// Seconds the device named when the last login on this thread met a locked account; 0 otherwise.
DWORD lastLockSeconds();
DWORD login(const std::string &user, const std::string &password, const std::string &ip, uint16_t port,
            std::string &userId, const std::vector<wire::FrameClient::Request> &after = {},
            std::vector<CallResult> *afterResults = nullptr);
std::shared_ptr<Session> findSession(const char *userId);
// Removes the session: its user-ID is refused from now on.
std::shared_ptr<Session> takeSession(const char *userId);

} // namespace corvane::zelt

#endif // ZELTSESSION_H
