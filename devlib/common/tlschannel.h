#ifndef CORVANE_TLSCHANNEL_H
#define CORVANE_TLSCHANNEL_H

// TLS 1.3 under the framed protocol. A device presents a self-signed
// certificate of its own Ed25519 key; clients do not check it against any
// authority but pin the key the first time they meet a device (per address
// and port) and refuse a different one afterwards.
// The pins are devicepins' store.

#include "devicepins.h"

#include <asio/ip/tcp.hpp>
#include <asio/ssl/context.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane::wire {

class TlsIdentity
{
public:
    // A key derived from 32 secret bytes: the same bytes give the same key.
    static std::shared_ptr<TlsIdentity> fromSeed(const std::vector<uint8_t> &seed);
    // The key kept in path (PEM), created there on first use; nullptr with error when neither works.
    static std::shared_ptr<TlsIdentity> loadOrCreate(const std::string &path, std::string &error);
    // A fresh key for this process, for servers nobody gave one.
    static std::shared_ptr<TlsIdentity> processDefault();

    ~TlsIdentity();
    TlsIdentity(const TlsIdentity &) = delete;
    TlsIdentity &operator=(const TlsIdentity &) = delete;

    asio::ssl::context &context() { return m_context; }
    // SHA-256 of the public key (DER), what clients pin.
    const std::vector<uint8_t> &fingerprint() const { return m_fingerprint; }

private:
    explicit TlsIdentity(struct evp_pkey_st *key);

    asio::ssl::context m_context;
    std::vector<uint8_t> m_fingerprint;
};

// The context every client connection uses (TLS 1.3, resumes earlier sessions
// with the same device).
asio::ssl::context &clientTlsContext();
// Offers the session kept for peer, and keeps the one the peer issues.
void prepareClientSession(struct ssl_st *ssl, const std::string &peer);

// SHA-256 of the public key the peer presented; empty when there is none.
std::vector<uint8_t> peerFingerprint(struct ssl_st *ssl);

// Blocking-style next layer for a client's TLS stream over a non-blocking
// socket: every read and write waits in poll() until the deadline, then
// fails with asio::error::timed_out.
class DeadlineStream
{
public:
    using lowest_layer_type = asio::ip::tcp::socket::lowest_layer_type;
    using executor_type = asio::ip::tcp::socket::executor_type;

    explicit DeadlineStream(asio::ip::tcp::socket &socket) : m_socket(socket) {}

    void setDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }
    lowest_layer_type &lowest_layer() { return m_socket.lowest_layer(); }
    const lowest_layer_type &lowest_layer() const { return m_socket.lowest_layer(); }
    executor_type get_executor() { return m_socket.get_executor(); }

    template <typename Buffers>
    std::size_t read_some(const Buffers &buffers, std::error_code &ec)
    {
        for (;;) {
            const std::size_t n = m_socket.read_some(buffers, ec);
            if (!retry(ec, false))
                return n;
        }
    }

    template <typename Buffers>
    std::size_t write_some(const Buffers &buffers, std::error_code &ec)
    {
        for (;;) {
            const std::size_t n = m_socket.write_some(buffers, ec);
            if (!retry(ec, true))
                return n;
        }
    }

private:
    // Waits when the socket would block; false when the call is done (ec set on failure).
    bool retry(std::error_code &ec, bool forWrite);

    asio::ip::tcp::socket &m_socket;
    std::chrono::steady_clock::time_point m_deadline {};
};

} // namespace corvane::wire

#endif // CORVANE_TLSCHANNEL_H
