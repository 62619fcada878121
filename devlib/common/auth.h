#ifndef CORVANE_AUTH_H
#define CORVANE_AUTH_H

// Challenge-response login shared by the device libraries and the simulator.
// The device sends a fresh random nonce; the client proves it knows the
// password with HMAC-SHA256(key = password, message = nonce || user). The
// password itself never crosses the wire, and a nonce answers one proof only.

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace corvane::wire {

constexpr std::size_t kNonceSize = 32;
constexpr std::size_t kProofSize = 32;
constexpr std::size_t kMaxUserNameSize = 64;

// Cryptographically strong random bytes (OpenSSL RAND_bytes). The crypto
// helpers return an empty vector if the library fails; callers treat that as
// a failed login.
std::vector<uint8_t> randomBytes(std::size_t size);
std::vector<uint8_t> makeNonce();

std::vector<uint8_t> loginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                                const std::string &user);
// Constant-time comparison against the expected proof.
bool checkLoginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                     const std::string &user, const std::vector<uint8_t> &proof);

// Device side: the nonce issued on one connection, consumed by the first proof.
class Challenge
{
public:
    const std::vector<uint8_t> &issue(const std::string &user);
    // Returns the pending nonce for user and forgets it, so a proof cannot be
    // replayed; nullopt when no challenge is pending for that user.
    std::optional<std::vector<uint8_t>> consume(const std::string &user);

private:
    std::string m_user;
    std::vector<uint8_t> m_nonce;
};

// Device side: locks a user name after repeated wrong passwords.
class LoginLockout
{
public:
    using Clock = std::chrono::steady_clock;

    LoginLockout(int maxFailures, std::chrono::milliseconds lockTime);

    // Time left on the lock, zero when the user may try.
    std::chrono::milliseconds remaining(const std::string &user, Clock::time_point now = Clock::now());
    // Counts a wrong password; returns true when this failure locks the user.
    bool recordFailure(const std::string &user, Clock::time_point now = Clock::now());
    void recordSuccess(const std::string &user);
    void reset();

private:
    struct Entry
    {
        int failures = 0;
        Clock::time_point lockedUntil {};
    };

    std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
    int m_maxFailures;
    std::chrono::milliseconds m_lockTime;
};

// Lower-case hexadecimal text of bytes (used for checksums in files).
std::string toHex(const std::vector<uint8_t> &data);
std::vector<uint8_t> sha256(const void *data, std::size_t size);

} // namespace corvane::wire

#endif // CORVANE_AUTH_H
