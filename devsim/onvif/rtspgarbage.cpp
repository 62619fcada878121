#include "rtspgarbage.h"

#include <asio/write.hpp>

namespace {

// Starts like a status line, then turns to binary.
std::shared_ptr<std::string> garbage()
{
    auto text = std::make_shared<std::string>("RTSP/9.9 ?? \x01\x02\r\n\xff\xfe");
    for (int i = 0; i < 512; ++i)
        text->push_back(char((i * 37) ^ 0x5a));
    return text;
}

} // namespace

RtspGarbage::RtspGarbage(asio::io_context &io)
    : m_io(io)
{
}

bool RtspGarbage::listen(const std::string &ip, uint16_t port, std::string &error)
{
    asio::error_code ec;
    const asio::ip::address address = asio::ip::make_address(ip, ec);
    auto acceptor = std::make_unique<asio::ip::tcp::acceptor>(m_io);
    const asio::ip::tcp::endpoint endpoint(address, port);
    if (!ec)
        acceptor->open(endpoint.protocol(), ec);
    if (!ec)
        acceptor->set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec)
        acceptor->bind(endpoint, ec);
    if (!ec)
        acceptor->listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error = "cannot listen on " + ip + ":" + std::to_string(port) + ": " + ec.message();
        return false;
    }
    accept(*acceptor);
    m_acceptors.push_back(std::move(acceptor));
    return true;
}

void RtspGarbage::accept(asio::ip::tcp::acceptor &acceptor)
{
    acceptor.async_accept([this, &acceptor](const asio::error_code &ec, asio::ip::tcp::socket socket) {
        if (ec)
            return;
        auto peer = std::make_shared<asio::ip::tcp::socket>(std::move(socket));
        const auto text = garbage();
        asio::async_write(*peer, asio::buffer(*text), [peer, text](const asio::error_code &, std::size_t) {
            asio::error_code ignored;
            peer->shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
            peer->close(ignored);
        });
        accept(acceptor);
    });
}

void RtspGarbage::stop()
{
    for (const auto &acceptor : m_acceptors) {
        asio::error_code ignored;
        acceptor->close(ignored);
    }
    m_acceptors.clear();
}
