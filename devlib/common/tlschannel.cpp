#include "tlschannel.h"

#include "auth.h"
#include "devicepins.h"
#include "socketwait.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace corvane::wire {

namespace {

// No clean-up at exit: a logout thread the program left running may still be
// inside OpenSSL then, and a thread ending after that clean-up never gets
// its own state freed.
[[maybe_unused]] const bool g_noExitCleanup = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;

struct KeyFree
{
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyFree>;

// A certificate only carries the key here: nobody checks its names or dates.
X509 *selfSigned(EVP_PKEY *key)
{
    X509 *cert = X509_new();
    if (!cert)
        return nullptr;
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -24 * 3600);
    X509_time_adj_ex(X509_getm_notAfter(cert), 36500, 0, nullptr);
    X509_NAME *name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>("corvane device"),
                               -1, -1, 0);
    X509_set_issuer_name(cert, name);
    if (X509_set_pubkey(cert, key) != 1 || X509_sign(cert, key, nullptr) <= 0) {
        X509_free(cert);
        return nullptr;
    }
    return cert;
}

void tls13Only(asio::ssl::context &context)
{
    SSL_CTX_set_min_proto_version(context.native_handle(), TLS1_3_VERSION);
}

// Resumable sessions of the client, one per device address and port.
struct SessionCache
{
    std::mutex mutex;
    std::map<std::string, SSL_SESSION *> sessions;
    int peerIndex = -1;
};

SessionCache &sessionCache()
{
    static SessionCache *cache = new SessionCache;
    return *cache;
}

int keepSession(SSL *ssl, SSL_SESSION *session)
{
    SessionCache &cache = sessionCache();
    const auto *peer = static_cast<const std::string *>(SSL_get_ex_data(ssl, cache.peerIndex));
    if (!peer)
        return 0;
    std::lock_guard<std::mutex> lock(cache.mutex);
    SSL_SESSION *&slot = cache.sessions[*peer];
    if (slot)
        SSL_SESSION_free(slot);
    slot = session;
    return 1;
}

void freePeer(void *, void *data, CRYPTO_EX_DATA *, int, long, void *)
{
    delete static_cast<std::string *>(data);
}

} // namespace

TlsIdentity::TlsIdentity(EVP_PKEY *key) : m_context(asio::ssl::context::tls_server)
{
    tls13Only(m_context);
    SSL_CTX *ctx = m_context.native_handle();
    X509 *cert = selfSigned(key);
    if (cert) {
        SSL_CTX_use_certificate(ctx, cert);
        X509_free(cert);
    }
    SSL_CTX_use_PrivateKey(ctx, key);
    // One ticket per handshake is enough for the next connection to resume.
    SSL_CTX_set_num_tickets(ctx, 1);
    m_fingerprint = keyFingerprint(key);
}

TlsIdentity::~TlsIdentity() = default;

std::shared_ptr<TlsIdentity> TlsIdentity::fromSeed(const std::vector<uint8_t> &seed)
{
    if (seed.size() != 32)
        return nullptr;
    KeyPtr key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()));
    if (!key)
        return nullptr;
    return std::shared_ptr<TlsIdentity>(new TlsIdentity(key.get()));
}

std::shared_ptr<TlsIdentity> TlsIdentity::loadOrCreate(const std::string &path, std::string &error)
{
    if (FILE *file = std::fopen(path.c_str(), "rb")) {
        KeyPtr key(PEM_read_PrivateKey(file, nullptr, nullptr, nullptr));
        std::fclose(file);
        if (!key) {
            error = path + ": not a private key";
            return nullptr;
        }
        return std::shared_ptr<TlsIdentity>(new TlsIdentity(key.get()));
    }
    const std::vector<uint8_t> seed = randomBytes(32);
    KeyPtr key(seed.size() == 32 ? EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size())
                                 : nullptr);
    const int fd = key ? ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600) : -1;
    FILE *file = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    const bool written = file && PEM_write_PrivateKey(file, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    if (file)
        std::fclose(file);
    else if (fd >= 0)
        ::close(fd);
    if (!written) {
        error = path + ": cannot write the device key";
        return nullptr;
    }
    return std::shared_ptr<TlsIdentity>(new TlsIdentity(key.get()));
}

std::shared_ptr<TlsIdentity> TlsIdentity::processDefault()
{
    static const std::shared_ptr<TlsIdentity> identity = fromSeed(randomBytes(32));
    return identity;
}

asio::ssl::context &clientTlsContext()
{
    static asio::ssl::context *context = [] {
        auto *c = new asio::ssl::context(asio::ssl::context::tls_client);
        tls13Only(*c);
        // The key is checked against its pin instead of an authority.
        c->set_verify_mode(asio::ssl::verify_none);
        SSL_CTX *ctx = c->native_handle();
        sessionCache().peerIndex = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, freePeer);
        SSL_CTX_set_session_cache_mode(ctx, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
        SSL_CTX_sess_set_new_cb(ctx, keepSession);
        return c;
    }();
    return *context;
}

void prepareClientSession(SSL *ssl, const std::string &peer)
{
    SessionCache &cache = sessionCache();
    SSL_set_ex_data(ssl, cache.peerIndex, new std::string(peer));
    std::lock_guard<std::mutex> lock(cache.mutex);
    const auto it = cache.sessions.find(peer);
    if (it != cache.sessions.end()) {
        // A ticket is good for one resumption; the device sends a new one.
        SSL_set_session(ssl, it->second);
        SSL_SESSION_free(it->second);
        cache.sessions.erase(it);
    }
}

std::vector<uint8_t> peerFingerprint(SSL *ssl)
{
    X509 *cert = SSL_get1_peer_certificate(ssl);
    if (!cert)
        return {};
    // The certificate's own encoding of the key: the same bytes as
    // keyFingerprint() hashes, without a trip through OpenSSL's encoders.
    unsigned char *der = nullptr;
    const int size = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(cert), &der);
    X509_free(cert);
    if (size <= 0)
        return {};
    std::vector<uint8_t> digest = sha256(der, std::size_t(size));
    OPENSSL_free(der);
    return digest;
}

bool DeadlineStream::retry(std::error_code &ec, bool forWrite)
{
    if (ec == asio::error::interrupted)
        return true;
    if (ec != asio::error::would_block && ec != asio::error::try_again)
        return false;
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= m_deadline) {
            ec = asio::error::timed_out;
            return false;
        }
        // Round up so that a wait never spins on a zero timeout.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            m_deadline - now + std::chrono::microseconds(999));
        if (waitSocket(m_socket.native_handle(), forWrite, int(std::min<long long>(left.count(), 60000))))
            return true;
    }
}

} // namespace corvane::wire
