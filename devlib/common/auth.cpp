#include "auth.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <iterator>

namespace corvane::wire {

namespace {
constexpr std::size_t kMaxEntries = 4096;
}

std::vector<uint8_t> randomBytes(std::size_t size)
{
    std::vector<uint8_t> out(size);
    if (size && RAND_bytes(out.data(), int(size)) != 1)
        out.clear();
    return out;
}

std::vector<uint8_t> makeNonce()
{
    return randomBytes(kNonceSize);
}

std::vector<uint8_t> loginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                                const std::string &user)
{
    std::vector<uint8_t> message(nonce);
    message.insert(message.end(), user.begin(), user.end());
    std::vector<uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned int outSize = 0;
    // An empty password is a valid (if poor) key; HMAC needs a non-null pointer.
    static const char emptyKey = 0;
    const void *key = password.empty() ? static_cast<const void *>(&emptyKey) : password.data();
    if (!HMAC(EVP_sha256(), key, int(password.size()), message.data(), message.size(), out.data(),
              &outSize))
        outSize = 0;
    out.resize(outSize);
    return out;
}

bool checkLoginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                     const std::string &user, const std::vector<uint8_t> &proof)
{
    const std::vector<uint8_t> expected = loginProof(password, nonce, user);
    return !expected.empty() && proof.size() == expected.size()
        && CRYPTO_memcmp(proof.data(), expected.data(), expected.size()) == 0;
}

const std::vector<uint8_t> &Challenge::issue(const std::string &user)
{
    m_user = user;
    m_nonce = makeNonce();
    return m_nonce;
}

std::optional<std::vector<uint8_t>> Challenge::consume(const std::string &user)
{
    if (m_nonce.empty() || user != m_user)
        return std::nullopt;
    std::vector<uint8_t> nonce;
    nonce.swap(m_nonce);
    m_user.clear();
    return nonce;
}

LoginLockout::LoginLockout(int maxFailures, std::chrono::milliseconds lockTime)
    : m_maxFailures(maxFailures > 0 ? maxFailures : 1), m_lockTime(lockTime)
{
}

std::chrono::milliseconds LoginLockout::remaining(const std::string &user, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_entries.find(user);
    if (it == m_entries.end() || it->second.lockedUntil <= now)
        return std::chrono::milliseconds(0);
    return std::chrono::duration_cast<std::chrono::milliseconds>(it->second.lockedUntil - now)
        + std::chrono::milliseconds(1);
}

bool LoginLockout::recordFailure(const std::string &user, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // Every new user name adds an entry; a flood of invented names must not
    // grow the table without bound, so unlocked counts go first.
    if (m_entries.size() >= kMaxEntries && !m_entries.count(user)) {
        for (auto it = m_entries.begin(); it != m_entries.end();)
            it = it->second.lockedUntil > now ? std::next(it) : m_entries.erase(it);
        if (m_entries.size() >= kMaxEntries)
            return false;
    }
    Entry &entry = m_entries[user];
    if (entry.lockedUntil != Clock::time_point() && entry.lockedUntil <= now) {
        // A lock that ran out starts a fresh count.
        entry = Entry();
    }
    if (++entry.failures < m_maxFailures)
        return false;
    entry.failures = 0;
    entry.lockedUntil = now + m_lockTime;
    return true;
}

void LoginLockout::recordSuccess(const std::string &user)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.erase(user);
}

void LoginLockout::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}

std::string toHex(const std::vector<uint8_t> &data)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(data.size() * 2);
    for (uint8_t b : data) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

std::vector<uint8_t> sha256(const void *data, std::size_t size)
{
    std::vector<uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned int outSize = 0;
    if (!EVP_Digest(data, size, out.data(), &outSize, EVP_sha256(), nullptr))
        outSize = 0;
    out.resize(outSize);
    return out;
}

} // namespace corvane::wire
