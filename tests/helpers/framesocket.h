#ifndef FRAMESOCKET_H
#define FRAMESOCKET_H

// Hand-played peers of the framed protocol in tests: TLS streams of either
// end and one whole frame from a blocking stream.
#include "frame.h"
#include "tlschannel.h"

#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>
#include <asio/ssl/stream.hpp>

#include <cstdint>
#include <vector>

using TlsSocket = asio::ssl::stream<asio::ip::tcp::socket>;

// A client's end that checks no key (the libraries' pins are not involved).
inline asio::ssl::context &handClientContext()
{
    static asio::ssl::context context(asio::ssl::context::tls_client);
    return context;
}

// A device's end presenting the process's default key.
inline asio::ssl::context &handServerContext()
{
    return corvane::wire::TlsIdentity::processDefault()->context();
}

// False when the connection ends first or the header is not one of ours.
template <typename Stream>
bool readFrame(Stream &socket, corvane::wire::FrameHeader &header, std::vector<uint8_t> &body)
{
    std::error_code ec;
    uint8_t head[corvane::wire::kFrameHeaderSize];
    asio::read(socket, asio::buffer(head), ec);
    if (ec || corvane::wire::decodeFrameHeader(head, header) != corvane::wire::FrameError::None)
        return false;
    body.assign(header.length, 0);
    asio::read(socket, asio::buffer(body), ec);
    return !ec;
}

#endif // FRAMESOCKET_H
