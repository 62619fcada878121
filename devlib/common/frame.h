#ifndef CORVANE_FRAME_H
#define CORVANE_FRAME_H

// Length-prefixed message framing shared by the device libraries and the
// simulator. Every message is a 16-byte little-endian header followed by the
// payload:
//
//   offset 0  u32  magic        'C' 'V' 'N' 'W'
//   offset 4  u8   version      kFrameVersion
//   offset 5  u8   flags        0 (reserved)
//   offset 6  u16  type         request type; a reply carries type | kReplyBit
//   offset 8  u32  transaction  chosen by the client, echoed by the reply
//   offset 12 u32  length       payload bytes that follow (<= the peer's maximum)
//
// A receiver checks magic, version and length before it reads the payload, so
// a bad or oversized header never makes it allocate or wait for the body; it
// then grows its buffer with the bytes that really arrive, never by the
// length a header merely claims.

#include "tlschannel.h"

#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/ssl/stream.hpp>
#include <asio/steady_timer.hpp>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace corvane::wire {

constexpr uint32_t kFrameMagic = 0x574E5643u; // "CVNW" as little-endian bytes
constexpr uint8_t kFrameVersion = 1;
constexpr std::size_t kFrameHeaderSize = 16;
constexpr uint32_t kMaxFramePayload = 4u * 1024u * 1024u;
constexpr uint16_t kReplyBit = 0x8000;
// A payload buffer grows by at most this much per read.
constexpr std::size_t kFrameReadStep = 64u * 1024u;

struct Frame
{
    uint16_t type = 0;
    uint32_t transaction = 0;
    std::vector<uint8_t> payload;
};

struct FrameHeader
{
    uint16_t type = 0;
    uint32_t transaction = 0;
    uint32_t length = 0;
};

enum class FrameError {
    None,
    BadMagic,
    BadVersion,
    TooLarge,
    Truncated,   // the peer closed the connection inside a message
    Closed,      // the peer closed the connection between messages
    Mismatch,    // a reply that does not answer the request
    Timeout,
    Refused,     // destination not allowed, or connection refused
    Io,
    IdentityChanged, // the device shows another key than the one pinned for its address
};

const char *frameErrorText(FrameError error);

std::vector<uint8_t> encodeFrame(const Frame &frame);
// Checks a received header (exactly kFrameHeaderSize bytes).
FrameError decodeFrameHeader(const uint8_t *data, FrameHeader &header,
                             uint32_t maxPayload = kMaxFramePayload);

// Little-endian payload writer.
class WireWriter
{
public:
    WireWriter &u8(uint8_t value);
    WireWriter &u16(uint16_t value);
    WireWriter &u32(uint32_t value);
    WireWriter &u64(uint64_t value);
    WireWriter &raw(const void *data, std::size_t size);
    WireWriter &bytes(const std::vector<uint8_t> &data);   // u32 length + bytes
    WireWriter &str(const std::string &text);              // u32 length + bytes
    std::vector<uint8_t> take() { return std::move(m_data); }

private:
    std::vector<uint8_t> m_data;
};

// Little-endian payload reader. Every read is bounds-checked; after the first
// failed read ok() stays false and further reads fail too.
class WireReader
{
public:
    explicit WireReader(const std::vector<uint8_t> &data) : m_data(data) {}

    bool u8(uint8_t &value);
    bool u16(uint16_t &value);
    bool u32(uint32_t &value);
    bool u64(uint64_t &value);
    bool raw(void *out, std::size_t size);
    bool bytes(std::vector<uint8_t> &out, std::size_t maxSize);
    bool str(std::string &out, std::size_t maxSize);
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_ok && m_pos == m_data.size(); }
    // Bytes read so far.
    std::size_t position() const { return m_pos; }

private:
    bool take(std::size_t size);

    const std::vector<uint8_t> &m_data;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

// Blocking client of one TLS connection. Every operation is bounded by the
// timeout given at construction; after an error or a timeout the connection is
// closed, because the stream may no longer be in step. Calls from several
// threads on one client are serialised.
class FrameClient
{
public:
    explicit FrameClient(std::chrono::milliseconds timeout,
                         uint32_t maxPayload = kMaxFramePayload);
    ~FrameClient();
    FrameClient(const FrameClient &) = delete;
    FrameClient &operator=(const FrameClient &) = delete;

    // host is a dotted IPv4 or IPv6 literal; no name resolution happens here.
    FrameError connect(const std::string &host, uint16_t port);
    struct Request
    {
        uint16_t type;
        std::vector<uint8_t> payload;
    };

    // Sends one request and waits for the reply with the same transaction and
    // type | kReplyBit.
    FrameError request(uint16_t type, const std::vector<uint8_t> &payload, Frame &reply);
    // Sends the requests back to back and reads their replies in order, all
    // within one timeout: one round trip instead of one per request.
    FrameError requestAll(const std::vector<Request> &requests, std::vector<Frame> &replies);
    bool isOpen();
    void close();
    // Bound of the following operations.
    void setTimeout(std::chrono::milliseconds timeout);
    // Ends a call in progress on another thread at once (it fails); safe from any thread.
    void interrupt();

private:
    static FrameError fromError(const std::error_code &ec, bool midMessage);
    void closeSocket(); // m_mutex held
    bool waitUntil(bool forWrite, std::chrono::steady_clock::time_point deadline);
    FrameError handshake(const std::string &peer, std::chrono::steady_clock::time_point deadline);
    FrameError writeAll(const uint8_t *data, std::size_t size,
                        std::chrono::steady_clock::time_point deadline);
    FrameError readExactly(uint8_t *data, std::size_t size,
                           std::chrono::steady_clock::time_point deadline, bool midMessage);

    std::mutex m_mutex;
    // The descriptor interrupt() may shut down; cleared before the socket closes.
    std::mutex m_fdMutex;
    int m_fd = -1;
    asio::io_context m_io; // owns the socket's service; never run
    asio::ip::tcp::socket m_socket;
    std::unique_ptr<asio::ssl::stream<DeadlineStream>> m_tls;
    std::chrono::milliseconds m_timeout;
    uint32_t m_maxPayload;
    uint32_t m_nextTransaction = 1;
};

// Server side: one handler object per accepted connection, called for each
// complete request. Requests of one connection are handled in order.
class FrameHandler
{
public:
    virtual ~FrameHandler() = default;
    // Fill reply.payload (type and transaction are set by the caller).
    // Returning false closes the connection without a reply.
    virtual bool handle(const Frame &request, Frame &reply) = 0;
    // Until a connection is authenticated it counts against its source's
    // allowance of such connections and must log in within a deadline.
    virtual bool authenticated() const { return false; }
    // Largest request payload the handler takes in its current state.
    virtual uint32_t payloadLimit() const { return kMaxFramePayload; }
    // True when the peer's address holds a live session: its connections are
    // calls of a logged-in operator and do not count against the allowance
    // of connections before a login.
    virtual bool trustedSource() const { return false; }
    // Asked after handle() returned true: false leaves that request without
    // a reply (a hanging peer) while the connection stays open.
    virtual bool answers() const { return true; }
};

class PeerAllowance;

class FrameServer : public std::enable_shared_from_this<FrameServer>
{
public:
    // The factory may return nullptr to turn a connection away (it is closed
    // at once), e.g. while the simulated device is offline. It gets the
    // peer's address.
    using HandlerFactory = std::function<std::unique_ptr<FrameHandler>(const asio::ip::address &peer)>;

    // Connections not yet authenticated: per source address, in all, the
    // time they get to authenticate and the requests they may make before.
    static constexpr std::size_t kMaxUnauthenticatedPerSource = 4;
    static constexpr std::size_t kMaxUnauthenticated = 512;
    static constexpr std::chrono::seconds kLoginTime {5};
    static constexpr int kMaxUnauthenticatedRequests = 16;
    // Pause of the accept loop after a failure (e.g. out of descriptors), doubling up to the maximum.
    static constexpr std::chrono::milliseconds kAcceptBackoff {50};
    static constexpr std::chrono::milliseconds kMaxAcceptBackoff {1000};

    static std::shared_ptr<FrameServer> create(asio::io_context &io, HandlerFactory factory,
                                               uint32_t maxPayload = kMaxFramePayload,
                                               std::chrono::seconds idleTimeout = std::chrono::seconds(60));
    ~FrameServer();

    // The key the server presents; a fresh key of the process unless set before listen().
    void setIdentity(std::shared_ptr<TlsIdentity> identity) { m_identity = std::move(identity); }
    std::error_code listen(const asio::ip::tcp::endpoint &endpoint);
    void stop();
    uint16_t port() const;

private:
    FrameServer(asio::io_context &io, HandlerFactory factory, uint32_t maxPayload,
                std::chrono::seconds idleTimeout);
    void accept();
    void backOff(const std::error_code &error);

    asio::ip::tcp::acceptor m_acceptor;
    asio::steady_timer m_backoffTimer;
    std::chrono::milliseconds m_backoff {0};
    std::shared_ptr<PeerAllowance> m_allowance;
    std::shared_ptr<TlsIdentity> m_identity;
    HandlerFactory m_factory;
    uint32_t m_maxPayload;
    std::chrono::seconds m_idleTimeout;
};

} // namespace corvane::wire

#endif // CORVANE_FRAME_H
