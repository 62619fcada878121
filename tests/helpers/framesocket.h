#ifndef FRAMESOCKET_H
#define FRAMESOCKET_H

// Hand-played peers of the framed protocol in tests: one whole frame from a
// blocking socket.
#include "frame.h"

#include <asio/ip/tcp.hpp>
#include <asio/read.hpp>

#include <cstdint>
#include <vector>

// False when the connection ends first or the header is not one of ours.
inline bool readFrame(asio::ip::tcp::socket &socket, corvane::wire::FrameHeader &header, std::vector<uint8_t> &body)
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
