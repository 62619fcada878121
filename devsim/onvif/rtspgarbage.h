#ifndef RTSPGARBAGE_H
#define RTSPGARBAGE_H

// Fault: in place of the RTSP servers, a listener on each device's RTSP
// port that answers every connection with bytes that are no RTSP and
// closes it.
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class RtspGarbage
{
public:
    explicit RtspGarbage(asio::io_context &io);
    bool listen(const std::string &ip, uint16_t port, std::string &error);
    void stop();

private:
    void accept(asio::ip::tcp::acceptor &acceptor);

    asio::io_context &m_io;
    std::vector<std::unique_ptr<asio::ip::tcp::acceptor>> m_acceptors;
};

#endif // RTSPGARBAGE_H
