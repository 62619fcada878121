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
// Passwords are UTF-8 text of at most this many bytes on every path.
constexpr std::size_t kMaxPasswordSize = 64;

// Well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
bool isUtf8(const std::string &text);
// Empty when the password may be used; otherwise why not, for the library log.
std::string passwordProblem(const std::string &password);

// Cryptographically strong random bytes (OpenSSL RAND_bytes). The crypto
// helpers return an empty vector if the library fails; callers treat that as
// a failed login.
std::vector<uint8_t> randomBytes(std::size_t size);
std::vector<uint8_t> makeNonce();

std::vector<uint8_t> loginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                                const std::string &user);
// HMAC-SHA256 of data keyed with key (an empty key is allowed).
std::vector<uint8_t> hmacSha256(const std::string &key, const uint8_t *data, std::size_t size);
// Constant-time comparison of two proofs; false when either is empty.
bool sameProof(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b);

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

// Device side: counts failed proofs (passwords, security codes) per source
// address and per account, for every way in (logins, discovery requests).
// A source locks after maxFailures, whatever names it tries, for the lock
// time, doubled with every further lock up to kMaxGrowth doublings; a success
// from it starts it afresh. An account locks only after kAccountSources times
// as many failures, which takes that many sources at once since each is
// locked after its own share, and then for a quarter of the lock time: one
// source cannot lock the operator out. Failures that name no account (a
// wrong security code) count against their source only. Both tables are
// bounded: a full table drops its oldest unlocked entry, never a running
// lock, and an account or source it has no room for is refused as locked
// until room frees, so invented names cannot flush a lock or escape counting.
class LoginLockout
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kAccountSources = 4;
    static constexpr int kMaxGrowth = 4;
    static constexpr std::size_t kDefaultCapacity = 4096;

    LoginLockout(int maxFailures, std::chrono::milliseconds lockTime, std::size_t capacity = kDefaultCapacity);

    // Time left on the lock of account or source, zero when the attempt may go ahead.
    // An empty source is not counted.
    std::chrono::milliseconds remaining(const std::string &account, const std::string &source,
                                        Clock::time_point now = Clock::now());
    // Counts a failure; returns true when the account or the source is locked afterwards.
    bool recordFailure(const std::string &account, const std::string &source, Clock::time_point now = Clock::now());
    void recordSuccess(const std::string &account, const std::string &source);
    void reset();

private:
    class Table
    {
    public:
        Table(int limit, std::chrono::milliseconds lockTime, std::size_t capacity, bool grows);
        std::chrono::milliseconds remaining(const std::string &key, Clock::time_point now) const;
        bool fail(const std::string &key, Clock::time_point now);
        void clear(const std::string &key) { m_entries.erase(key); }
        void clearAll() { m_entries.clear(); }

    private:
        struct Entry
        {
            int failures = 0;
            int locks = 0;
            Clock::time_point lockedUntil {};
            Clock::time_point lastFailure {};
        };
        bool makeRoom(Clock::time_point now);

        std::map<std::string, Entry> m_entries;
        int m_limit;
        std::chrono::milliseconds m_lockTime;
        bool m_grows;
        std::size_t m_capacity;
    };

    std::mutex m_mutex;
    Table m_accounts;
    Table m_sources;
};

// Lower-case hexadecimal text of bytes (used for checksums in files).
std::string toHex(const std::vector<uint8_t> &data);
std::vector<uint8_t> sha256(const void *data, std::size_t size);

} // namespace corvane::wire

#endif // CORVANE_AUTH_H
