#include "auth.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <algorithm>

namespace corvane::wire {

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

std::vector<uint8_t> hmacSha256(const std::string &key, const uint8_t *data, std::size_t size)
{
    std::vector<uint8_t> out(EVP_MAX_MD_SIZE);
    unsigned int outSize = 0;
    // An empty password is a valid (if poor) key; HMAC needs non-null pointers.
    static const uint8_t empty = 0;
    const void *keyData = key.empty() ? static_cast<const void *>(&empty) : key.data();
    if (!HMAC(EVP_sha256(), keyData, int(key.size()), size ? data : &empty, size, out.data(), &outSize))
        outSize = 0;
    out.resize(outSize);
    return out;
}

bool sameProof(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
{
    return !a.empty() && a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

std::vector<uint8_t> loginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                                const std::string &user)
{
    std::vector<uint8_t> message(nonce);
    message.insert(message.end(), user.begin(), user.end());
    return hmacSha256(password, message.data(), message.size());
}

bool checkLoginProof(const std::string &password, const std::vector<uint8_t> &nonce,
                     const std::string &user, const std::vector<uint8_t> &proof)
{
    return sameProof(loginProof(password, nonce, user), proof);
}

bool isUtf8(const std::string &text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        std::size_t extra = 0;
        uint32_t value = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            value = c & 0x07;
        } else {
            return false;
        }
        if (extra > n - i - 1)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i + k] & 0x3F);
        }
        static const uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string passwordProblem(const std::string &password)
{
    if (password.size() > kMaxPasswordSize)
        return "password longer than " + std::to_string(kMaxPasswordSize) + " bytes";
    if (!isUtf8(password))
        return "password is not UTF-8 text";
    return {};
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

namespace {

std::chrono::milliseconds timeLeft(LoginLockout::Clock::time_point until, LoginLockout::Clock::time_point now)
{
    if (until <= now)
        return std::chrono::milliseconds(0);
    return std::chrono::duration_cast<std::chrono::milliseconds>(until - now) + std::chrono::milliseconds(1);
}

} // namespace

LoginLockout::Table::Table(int limit, std::chrono::milliseconds lockTime, std::size_t capacity, bool grows)
    : m_limit(limit > 0 ? limit : 1), m_lockTime(lockTime), m_grows(grows), m_capacity(capacity > 0 ? capacity : 1)
{
}

std::chrono::milliseconds LoginLockout::Table::remaining(const std::string &key, Clock::time_point now) const
{
    const auto it = m_entries.find(key);
    if (it != m_entries.end())
        return timeLeft(it->second.lockedUntil, now);
    if (m_entries.size() < m_capacity)
        return std::chrono::milliseconds(0);
    // No room to count this key: it waits for the first lock to run out.
    Clock::time_point firstFree = Clock::time_point::max();
    for (const auto &entry : m_entries) {
        if (entry.second.lockedUntil <= now)
            return std::chrono::milliseconds(0);
        firstFree = std::min(firstFree, entry.second.lockedUntil);
    }
    return timeLeft(firstFree, now);
}

bool LoginLockout::Table::makeRoom(Clock::time_point now)
{
    auto oldest = m_entries.end();
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->second.lockedUntil > now)
            continue;
        if (oldest == m_entries.end() || it->second.lastFailure < oldest->second.lastFailure)
            oldest = it;
    }
    if (oldest == m_entries.end())
        return false;
    m_entries.erase(oldest);
    return true;
}

bool LoginLockout::Table::fail(const std::string &key, Clock::time_point now)
{
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        if (m_entries.size() >= m_capacity && !makeRoom(now))
            return true;
        it = m_entries.emplace(key, Entry()).first;
    }
    Entry &entry = it->second;
    if (entry.lockedUntil > now)
        return true;
    if (entry.lockedUntil != Clock::time_point()) {
        // A lock that ran out starts a fresh count; the next lock lasts longer.
        const int locks = entry.locks;
        entry = Entry();
        entry.locks = locks;
    }
    entry.lastFailure = now;
    if (++entry.failures < m_limit)
        return false;
    entry.failures = 0;
    entry.lockedUntil = now + m_lockTime * (m_grows ? 1 << std::min(entry.locks, kMaxGrowth) : 1);
    ++entry.locks;
    return true;
}

LoginLockout::LoginLockout(int maxFailures, std::chrono::milliseconds lockTime, std::size_t capacity)
    : m_accounts((maxFailures > 0 ? maxFailures : 1) * kAccountSources, lockTime / 4, capacity, false),
      m_sources(maxFailures, lockTime, capacity, true)
{
}

std::chrono::milliseconds LoginLockout::remaining(const std::string &account, const std::string &source,
                                                  Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::chrono::milliseconds forAccount =
        account.empty() ? std::chrono::milliseconds(0) : m_accounts.remaining(account, now);
    const std::chrono::milliseconds forSource =
        source.empty() ? std::chrono::milliseconds(0) : m_sources.remaining(source, now);
    return std::max(forAccount, forSource);
}

bool LoginLockout::recordFailure(const std::string &account, const std::string &source, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool accountLocked = !account.empty() && m_accounts.fail(account, now);
    const bool sourceLocked = !source.empty() && m_sources.fail(source, now);
    return accountLocked || sourceLocked;
}

void LoginLockout::recordSuccess(const std::string &account, const std::string &source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_accounts.clear(account);
    if (!source.empty())
        m_sources.clear(source);
}

void LoginLockout::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_accounts.clearAll();
    m_sources.clearAll();
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
