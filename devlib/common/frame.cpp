#include "frame.h"

#include "loopbackguard.h"
#include "socketwait.h"

#include <asio/connect.hpp>
#include <asio/read.hpp>
#include <asio/write.hpp>

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

namespace corvane::wire {

namespace {

void putU16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void putU32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

uint16_t getU16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t getU32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

} // namespace

const char *frameErrorText(FrameError error)
{
    switch (error) {
    case FrameError::None: return "ok";
    case FrameError::BadMagic: return "bad magic";
    case FrameError::BadVersion: return "unsupported frame version";
    case FrameError::TooLarge: return "message too large";
    case FrameError::Truncated: return "truncated message";
    case FrameError::Closed: return "connection closed";
    case FrameError::Mismatch: return "reply does not match request";
    case FrameError::Timeout: return "timed out";
    case FrameError::Refused: return "connection refused";
    case FrameError::Io: return "i/o error";
    case FrameError::IdentityChanged: return "the device's identity changed";
    }
    return "unknown";
}

std::vector<uint8_t> encodeFrame(const Frame &frame)
{
    std::vector<uint8_t> out(kFrameHeaderSize + frame.payload.size());
    putU32(out.data(), kFrameMagic);
    out[4] = kFrameVersion;
    out[5] = 0;
    putU16(out.data() + 6, frame.type);
    putU32(out.data() + 8, frame.transaction);
    putU32(out.data() + 12, uint32_t(frame.payload.size()));
    if (!frame.payload.empty())
        std::memcpy(out.data() + kFrameHeaderSize, frame.payload.data(), frame.payload.size());
    return out;
}

FrameError decodeFrameHeader(const uint8_t *data, FrameHeader &header, uint32_t maxPayload)
{
    if (getU32(data) != kFrameMagic)
        return FrameError::BadMagic;
    if (data[4] != kFrameVersion)
        return FrameError::BadVersion;
    header.type = getU16(data + 6);
    header.transaction = getU32(data + 8);
    header.length = getU32(data + 12);
    if (header.length > maxPayload)
        return FrameError::TooLarge;
    return FrameError::None;
}

// --- WireWriter / WireReader -------------------------------------------------

WireWriter &WireWriter::u8(uint8_t value)
{
    m_data.push_back(value);
    return *this;
}

WireWriter &WireWriter::u16(uint16_t value)
{
    uint8_t b[2];
    putU16(b, value);
    return raw(b, sizeof b);
}

WireWriter &WireWriter::u32(uint32_t value)
{
    uint8_t b[4];
    putU32(b, value);
    return raw(b, sizeof b);
}

WireWriter &WireWriter::u64(uint64_t value)
{
    u32(uint32_t(value));
    return u32(uint32_t(value >> 32));
}

WireWriter &WireWriter::raw(const void *data, std::size_t size)
{
    const auto *p = static_cast<const uint8_t *>(data);
    m_data.insert(m_data.end(), p, p + size);
    return *this;
}

WireWriter &WireWriter::bytes(const std::vector<uint8_t> &data)
{
    u32(uint32_t(data.size()));
    return raw(data.data(), data.size());
}

WireWriter &WireWriter::str(const std::string &text)
{
    u32(uint32_t(text.size()));
    return raw(text.data(), text.size());
}

bool WireReader::take(std::size_t size)
{
    if (!m_ok || size > m_data.size() - m_pos) {
        m_ok = false;
        return false;
    }
    return true;
}

bool WireReader::u8(uint8_t &value)
{
    if (!take(1))
        return false;
    value = m_data[m_pos++];
    return true;
}

bool WireReader::u16(uint16_t &value)
{
    if (!take(2))
        return false;
    value = getU16(m_data.data() + m_pos);
    m_pos += 2;
    return true;
}

bool WireReader::u32(uint32_t &value)
{
    if (!take(4))
        return false;
    value = getU32(m_data.data() + m_pos);
    m_pos += 4;
    return true;
}

bool WireReader::u64(uint64_t &value)
{
    uint32_t lo = 0, hi = 0;
    if (!u32(lo) || !u32(hi))
        return false;
    value = (uint64_t(hi) << 32) | lo;
    return true;
}

bool WireReader::raw(void *out, std::size_t size)
{
    if (!take(size))
        return false;
    if (size)
        std::memcpy(out, m_data.data() + m_pos, size);
    m_pos += size;
    return true;
}

bool WireReader::bytes(std::vector<uint8_t> &out, std::size_t maxSize)
{
    uint32_t size = 0;
    if (!u32(size))
        return false;
    if (size > maxSize || !take(size)) {
        m_ok = false;
        return false;
    }
    out.assign(m_data.begin() + std::ptrdiff_t(m_pos), m_data.begin() + std::ptrdiff_t(m_pos + size));
    m_pos += size;
    return true;
}

bool WireReader::str(std::string &out, std::size_t maxSize)
{
    uint32_t size = 0;
    if (!u32(size))
        return false;
    if (size > maxSize || !take(size)) {
        m_ok = false;
        return false;
    }
    out.assign(reinterpret_cast<const char *>(m_data.data()) + m_pos, size);
    m_pos += size;
    return true;
}

// --- FrameClient ---------------------------------------------------------------

FrameClient::FrameClient(std::chrono::milliseconds timeout, uint32_t maxPayload)
    : m_socket(m_io), m_timeout(timeout), m_maxPayload(maxPayload)
{
}

FrameClient::~FrameClient()
{
    close();
}

bool FrameClient::isOpen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_socket.is_open();
}

void FrameClient::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_tls && SSL_is_init_finished(m_tls->native_handle())) {
        // close_notify keeps the session resumable (OpenSSL drops the session of
        // a connection that ends without it); the device's answer is not awaited.
        std::error_code ignored;
        m_tls->next_layer().setDeadline(std::chrono::steady_clock::now());
        m_tls->shutdown(ignored);
    }
    closeSocket();
}

void FrameClient::closeSocket()
{
    {
        std::lock_guard<std::mutex> fdLock(m_fdMutex);
        m_fd = -1;
    }
    m_tls.reset();
    std::error_code ignored;
    m_socket.close(ignored);
}

void FrameClient::setTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timeout = timeout;
}

void FrameClient::interrupt()
{
    std::lock_guard<std::mutex> fdLock(m_fdMutex);
    if (m_fd >= 0)
        ::shutdown(m_fd, SHUT_RDWR);
}

FrameError FrameClient::fromError(const std::error_code &ec, bool midMessage)
{
    if (ec == asio::error::eof || ec == asio::error::connection_reset
        || ec == asio::error::broken_pipe || ec == asio::error::connection_aborted)
        return midMessage ? FrameError::Truncated : FrameError::Closed;
    if (ec == asio::error::connection_refused)
        return FrameError::Refused;
    if (ec == asio::error::timed_out)
        return FrameError::Timeout;
    // The peer closed without ending TLS: the same as a closed connection here.
    if (ec == asio::ssl::error::stream_truncated)
        return midMessage ? FrameError::Truncated : FrameError::Closed;
    return FrameError::Io;
}

// The client works with a non-blocking socket and waits in poll(): a
// request costs a send and a receive or two, without an event loop between
// the caller and the kernel.
bool FrameClient::waitUntil(bool forWrite, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return false;
        // Round up so that a wait never spins on a zero timeout.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - now + std::chrono::microseconds(999));
        if (waitSocket(m_socket.native_handle(), forWrite, int(std::min<long long>(left.count(), 60000))))
            return true;
    }
}

FrameError FrameClient::connect(const std::string &host, uint16_t port)
{
    std::error_code ec;
    const asio::ip::address address = asio::ip::make_address(host, ec);
    if (ec)
        return FrameError::Refused;
    if (!destinationAllowed(address))
        return FrameError::Refused;

    std::lock_guard<std::mutex> lock(m_mutex);
    std::error_code ignored;
    closeSocket();
    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    const asio::ip::tcp::endpoint endpoint(address, port);
    m_socket.open(endpoint.protocol(), ec);
    if (!ec)
        m_socket.non_blocking(true, ec);
    if (ec) {
        closeSocket();
        return FrameError::Io;
    }
    {
        std::lock_guard<std::mutex> fdLock(m_fdMutex);
        m_fd = m_socket.native_handle();
    }
    m_socket.connect(endpoint, ec);
    if (ec == asio::error::in_progress || ec == asio::error::would_block) {
        if (!waitUntil(true, deadline)) {
            closeSocket();
            return FrameError::Timeout;
        }
        ec = socketError(m_socket.native_handle());
    }
    if (ec) {
        closeSocket();
        return ec == asio::error::connection_refused ? FrameError::Refused : fromError(ec, false);
    }
    m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
    const FrameError result = handshake(host + ':' + std::to_string(port), deadline);
    if (result != FrameError::None)
        closeSocket();
    return result;
}

FrameError FrameClient::handshake(const std::string &peer, std::chrono::steady_clock::time_point deadline)
{
    m_tls = std::make_unique<asio::ssl::stream<DeadlineStream>>(m_socket, clientTlsContext());
    m_tls->next_layer().setDeadline(deadline);
    prepareClientSession(m_tls->native_handle(), peer);
    std::error_code ec;
    m_tls->handshake(asio::ssl::stream_base::client, ec);
    if (ec)
        return fromError(ec, false);
    if (!pinAccepts(peer, peerFingerprint(m_tls->native_handle())))
        return FrameError::IdentityChanged;
    return FrameError::None;
}

FrameError FrameClient::writeAll(const uint8_t *data, std::size_t size,
                                 std::chrono::steady_clock::time_point deadline)
{
    std::error_code ec;
    m_tls->next_layer().setDeadline(deadline);
    asio::write(*m_tls, asio::buffer(data, size), ec);
    return ec ? fromError(ec, false) : FrameError::None;
}

FrameError FrameClient::readExactly(uint8_t *data, std::size_t size,
                                    std::chrono::steady_clock::time_point deadline, bool midMessage)
{
    std::error_code ec;
    m_tls->next_layer().setDeadline(deadline);
    const std::size_t got = asio::read(*m_tls, asio::buffer(data, size), ec);
    return ec ? fromError(ec, midMessage || got > 0) : FrameError::None;
}

FrameError FrameClient::request(uint16_t type, const std::vector<uint8_t> &payload, Frame &reply)
{
    std::vector<Frame> replies;
    const FrameError result = requestAll({{type, payload}}, replies);
    if (result == FrameError::None)
        reply = std::move(replies.front());
    return result;
}

FrameError FrameClient::requestAll(const std::vector<Request> &requests, std::vector<Frame> &replies)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    replies.clear();
    if (!m_socket.is_open() || !m_tls)
        return FrameError::Closed;
    std::vector<uint8_t> wire;
    std::vector<uint32_t> transactions;
    for (const Request &request : requests) {
        if (request.payload.size() > kMaxFramePayload)
            return FrameError::TooLarge;
        Frame out;
        out.type = request.type;
        out.transaction = m_nextTransaction++;
        out.payload = request.payload;
        const std::vector<uint8_t> frame = encodeFrame(out);
        wire.insert(wire.end(), frame.begin(), frame.end());
        transactions.push_back(out.transaction);
    }

    const auto deadline = std::chrono::steady_clock::now() + m_timeout;
    FrameError result = writeAll(wire.data(), wire.size(), deadline);
    for (std::size_t i = 0; i < requests.size() && result == FrameError::None; ++i) {
        std::array<uint8_t, kFrameHeaderSize> head {};
        FrameHeader header;
        result = readExactly(head.data(), head.size(), deadline, false);
        if (result == FrameError::None)
            result = decodeFrameHeader(head.data(), header, m_maxPayload);
        if (result == FrameError::None && (header.transaction != transactions[i]
                                           || header.type != uint16_t(requests[i].type | kReplyBit)))
            result = FrameError::Mismatch;
        if (result == FrameError::None) {
            Frame reply;
            reply.type = header.type;
            reply.transaction = header.transaction;
            // Grows with what arrives: a header alone cannot make us reserve megabytes.
            while (result == FrameError::None && reply.payload.size() < header.length) {
                const std::size_t got = reply.payload.size();
                const std::size_t step = std::min<std::size_t>(header.length - got, kFrameReadStep);
                reply.payload.resize(got + step);
                result = readExactly(reply.payload.data() + got, step, deadline, true);
            }
            replies.push_back(std::move(reply));
        }
    }
    if (result != FrameError::None) {
        replies.clear();
        closeSocket();
    }
    return result;
}

// --- FrameServer -------------------------------------------------------------

// Counts the connections that have not authenticated yet, per source address.
// Shared by a server and its connections, which may outlive it.
class PeerAllowance
{
public:
    bool admit(const asio::ip::address &peer)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::size_t &count = m_bySource[peer];
        if (count >= FrameServer::kMaxUnauthenticatedPerSource || m_total >= FrameServer::kMaxUnauthenticated) {
            if (count == 0)
                m_bySource.erase(peer);
            return false;
        }
        ++count;
        ++m_total;
        return true;
    }

    void release(const asio::ip::address &peer)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_bySource.find(peer);
        if (it == m_bySource.end())
            return;
        if (--it->second == 0)
            m_bySource.erase(it);
        --m_total;
    }

private:
    std::mutex m_mutex;
    std::map<asio::ip::address, std::size_t> m_bySource;
    std::size_t m_total = 0;
};

namespace {

class ServerConnection : public std::enable_shared_from_this<ServerConnection>
{
public:
    ServerConnection(asio::ip::tcp::socket socket, std::shared_ptr<TlsIdentity> identity,
                     std::unique_ptr<FrameHandler> handler, uint32_t maxPayload, std::chrono::seconds idleTimeout,
                     std::shared_ptr<PeerAllowance> allowance, asio::ip::address peer)
        : m_identity(std::move(identity)), m_socket(std::move(socket), m_identity->context()),
          m_timer(m_socket.get_executor()),
          m_handler(std::move(handler)), m_maxPayload(maxPayload), m_idleTimeout(idleTimeout),
          m_allowance(std::move(allowance)), m_peer(peer),
          m_loginDeadline(std::chrono::steady_clock::now() + FrameServer::kLoginTime)
    {
    }

    ~ServerConnection() { leaveAllowance(); }

    void start()
    {
        std::error_code ignored;
        m_socket.lowest_layer().set_option(asio::ip::tcp::no_delay(true), ignored);
        // The handshake runs on the login deadline like everything before a login.
        armTimer();
        m_socket.async_handshake(asio::ssl::stream_base::server,
                                 [self = shared_from_this()](const std::error_code &ec) {
            if (ec) {
                self->closeNow();
                return;
            }
            self->readHeader();
        });
    }

private:
    void leaveAllowance()
    {
        if (m_allowance) {
            m_allowance->release(m_peer);
            m_allowance.reset();
        }
    }

    // A connection that sends nothing (or stalls inside a message) for the
    // idle time is dropped, so half-open peers do not pile up; one that has
    // not authenticated gets only until its login deadline.
    void armTimer()
    {
        if (m_allowance)
            m_timer.expires_at(std::min(std::chrono::steady_clock::now() + m_idleTimeout, m_loginDeadline));
        else
            m_timer.expires_after(m_idleTimeout);
        m_timer.async_wait([self = shared_from_this()](const std::error_code &ec) {
            if (!ec)
                self->closeNow();
        });
    }

    void closeNow()
    {
        std::error_code ignored;
        m_timer.cancel();
        m_socket.lowest_layer().shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
        m_socket.lowest_layer().close(ignored);
        leaveAllowance();
    }

    uint32_t payloadLimit() const
    {
        return std::min(m_maxPayload, m_handler->payloadLimit());
    }

    void readHeader()
    {
        armTimer();
        asio::async_read(m_socket, asio::buffer(m_head),
                         [self = shared_from_this()](const std::error_code &ec, std::size_t) {
            if (ec || decodeFrameHeader(self->m_head.data(), self->m_header, self->payloadLimit())
                          != FrameError::None) {
                self->closeNow();
                return;
            }
            self->m_request.type = self->m_header.type;
            self->m_request.transaction = self->m_header.transaction;
            self->m_request.payload.clear();
            self->readPayload();
        });
    }

    // The buffer grows step by step with the bytes that arrive.
    void readPayload()
    {
        const std::size_t got = m_request.payload.size();
        if (got == m_header.length) {
            dispatch();
            return;
        }
        const std::size_t step = std::min<std::size_t>(m_header.length - got, kFrameReadStep);
        m_request.payload.resize(got + step);
        asio::async_read(m_socket, asio::buffer(m_request.payload.data() + got, step),
                         [self = shared_from_this()](const std::error_code &ec, std::size_t) {
            if (ec) {
                self->closeNow();
                return;
            }
            self->readPayload();
        });
    }

    void dispatch()
    {
        Frame reply;
        if (!m_handler->handle(m_request, reply) || reply.payload.size() > kMaxFramePayload) {
            closeNow();
            return;
        }
        if (!m_handler->answers()) {
            std::vector<uint8_t>().swap(m_request.payload);
            readHeader();
            return;
        }
        if (m_allowance && m_handler->authenticated())
            leaveAllowance();
        else if (m_allowance && ++m_unauthenticatedRequests >= FrameServer::kMaxUnauthenticatedRequests)
            m_closeAfterReply = true;
        // The request is done with; an idle connection keeps no large buffer.
        std::vector<uint8_t>().swap(m_request.payload);
        reply.type = uint16_t(m_request.type | kReplyBit);
        reply.transaction = m_request.transaction;
        m_out = encodeFrame(reply);
        asio::async_write(m_socket, asio::buffer(m_out),
                          [self = shared_from_this()](const std::error_code &ec, std::size_t) {
            std::vector<uint8_t>().swap(self->m_out);
            if (ec || self->m_closeAfterReply) {
                self->closeNow();
                return;
            }
            self->readHeader();
        });
    }

    std::shared_ptr<TlsIdentity> m_identity; // outlives the stream that uses its context
    asio::ssl::stream<asio::ip::tcp::socket> m_socket;
    asio::steady_timer m_timer;
    std::unique_ptr<FrameHandler> m_handler;
    uint32_t m_maxPayload;
    std::chrono::seconds m_idleTimeout;
    std::shared_ptr<PeerAllowance> m_allowance; // null once authenticated or closed
    const asio::ip::address m_peer;
    const std::chrono::steady_clock::time_point m_loginDeadline;
    int m_unauthenticatedRequests = 0;
    bool m_closeAfterReply = false;
    std::array<uint8_t, kFrameHeaderSize> m_head {};
    FrameHeader m_header;
    Frame m_request;
    std::vector<uint8_t> m_out;
};

bool outOfResources(const std::error_code &ec)
{
    return ec == asio::error::no_descriptors || ec == std::errc::too_many_files_open_in_system
           || ec == asio::error::no_buffer_space || ec == asio::error::no_memory;
}

} // namespace

std::shared_ptr<FrameServer> FrameServer::create(asio::io_context &io, HandlerFactory factory,
                                                 uint32_t maxPayload, std::chrono::seconds idleTimeout)
{
    return std::shared_ptr<FrameServer>(new FrameServer(io, std::move(factory), maxPayload, idleTimeout));
}

FrameServer::FrameServer(asio::io_context &io, HandlerFactory factory, uint32_t maxPayload,
                         std::chrono::seconds idleTimeout)
    : m_acceptor(io), m_backoffTimer(io), m_allowance(std::make_shared<PeerAllowance>()),
      m_identity(TlsIdentity::processDefault()), m_factory(std::move(factory)), m_maxPayload(maxPayload), m_idleTimeout(idleTimeout)
{
}

FrameServer::~FrameServer()
{
    std::error_code ignored;
    m_acceptor.close(ignored);
}

std::error_code FrameServer::listen(const asio::ip::tcp::endpoint &endpoint)
{
    std::error_code ec;
    m_acceptor.open(endpoint.protocol(), ec);
    if (!ec)
        m_acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), ec);
    if (!ec)
        m_acceptor.bind(endpoint, ec);
    if (!ec)
        m_acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        std::error_code ignored;
        m_acceptor.close(ignored);
        return ec;
    }
    accept();
    return {};
}

void FrameServer::stop()
{
    std::error_code ignored;
    m_acceptor.close(ignored);
    m_backoffTimer.cancel();
}

uint16_t FrameServer::port() const
{
    std::error_code ec;
    const auto endpoint = m_acceptor.local_endpoint(ec);
    return ec ? 0 : endpoint.port();
}

void FrameServer::accept()
{
    std::weak_ptr<FrameServer> weak = shared_from_this();
    m_acceptor.async_accept([weak](const std::error_code &ec, asio::ip::tcp::socket socket) {
        auto self = weak.lock();
        if (!self || ec == asio::error::operation_aborted || !self->m_acceptor.is_open())
            return;
        if (ec) {
            self->backOff(ec);
            return;
        }
        self->m_backoff = std::chrono::milliseconds(0);
        std::error_code peerError;
        const asio::ip::address peer = socket.remote_endpoint(peerError).address();
        std::unique_ptr<FrameHandler> handler;
        if (!peerError)
            handler = self->m_factory(peer);
        const bool trusted = handler && handler->trustedSource();
        if (handler && !trusted && !self->m_allowance->admit(peer))
            handler.reset();
        if (handler) {
            std::make_shared<ServerConnection>(std::move(socket), self->m_identity, std::move(handler),
                                               self->m_maxPayload, self->m_idleTimeout,
                                               trusted ? nullptr : self->m_allowance, peer)
                ->start();
        } else {
            std::error_code ignored;
            socket.close(ignored);
        }
        self->accept();
    });
}

// Accepting again at once after a failure would spin while the cause (no
// descriptors left, no memory) lasts.
void FrameServer::backOff(const std::error_code &error)
{
    if (outOfResources(error))
        m_backoff = std::min(std::max(m_backoff * 2, kAcceptBackoff), kMaxAcceptBackoff);
    else
        m_backoff = std::max(m_backoff, std::chrono::milliseconds(1));
    m_backoffTimer.expires_after(m_backoff);
    std::weak_ptr<FrameServer> weak = shared_from_this();
    m_backoffTimer.async_wait([weak](const std::error_code &ec) {
        auto self = weak.lock();
        if (self && !ec && self->m_acceptor.is_open())
            self->accept();
    });
}

} // namespace corvane::wire
