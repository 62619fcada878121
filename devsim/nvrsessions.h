#ifndef NVRSESSIONS_H
#define NVRSESSIONS_H

// The sessions of one simulated NVR. A session belongs to the address that
// logged in and to the password it logged in with; it ends after 30 idle
// minutes, and every request proves itself with the session key and a
// counter it may use once. Thread-safe; results are TLSDK_* codes.
#include "requestproof.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class NvrSessions
{
public:
    // A new session and its token; empty when no random token could be made.
    std::vector<uint8_t> open(const std::string &source, uint64_t accountEpoch, std::vector<uint8_t> key);
    // TLSDK_ERR_SESSION unless the token names a live session of source whose
    // account epoch is still accountEpoch; TLSDK_ERR_PROTOCOL for a wrong proof
    // or a counter used before.
    uint32_t check(const std::vector<uint8_t> &token, const std::string &source, uint64_t accountEpoch,
                   uint16_t type, uint64_t counter, const std::vector<uint8_t> &proof, const uint8_t *fields,
                   std::size_t size);
    bool hasSessionFrom(const std::string &source) const;
    void close(const std::vector<uint8_t> &token);
    void clear();

private:
    struct Session
    {
        std::chrono::steady_clock::time_point lastUse;
        std::string source;
        uint64_t accountEpoch = 0;
        std::vector<uint8_t> key;
        corvane::wire::ReplayWindow counters;
    };

    mutable std::mutex m_mutex;
    // By token (hex); the least recently used goes beyond the limit.
    std::map<std::string, Session> m_sessions;
};

#endif // NVRSESSIONS_H
