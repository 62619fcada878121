#include "tcprecorder.h"
#include "tlsfd.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

int listenOn(const std::string &ip, uint16_t &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = 0;
    if (::inet_pton(AF_INET, ip.c_str(), &addr.sin_addr) != 1 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(fd, 16) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

int connectTo(const std::string &ip, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    ::inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0)
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool readable(int fd, int timeoutMs)
{
    pollfd p {fd, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

} // namespace

TcpRecorder::~TcpRecorder()
{
    stop();
}

bool TcpRecorder::start(const std::string &listenIp, const std::string &targetIp, uint16_t targetPort)
{
    m_targetIp = targetIp;
    m_targetPort = targetPort;
    m_listen = listenOn(listenIp, m_port);
    if (m_listen < 0)
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

QByteArray TcpRecorder::recorded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_recorded;
}

void TcpRecorder::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listen >= 0)
        ::close(m_listen);
    m_listen = -1;
}

// One thread serves all pairs; enough for the few connections of a test.
void TcpRecorder::run()
{
    struct Pair { int client; int server; int generation; };
    std::vector<Pair> pairs;
    while (!m_stop) {
        std::vector<pollfd> fds {{m_listen, POLLIN, 0}};
        for (const Pair &pair : pairs) {
            fds.push_back({pair.client, POLLIN, 0});
            fds.push_back({pair.server, POLLIN, 0});
        }
        ::poll(fds.data(), fds.size(), 20);
        std::vector<Pair> kept;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            Pair &pair = pairs[i];
            bool alive = pair.generation == m_dropGeneration;
            for (int side = 0; side < 2 && alive && !m_blackHole; ++side) {
                if (!(fds[1 + 2 * i + std::size_t(side)].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                char buf[65536];
                const int from = side == 0 ? pair.client : pair.server;
                const ssize_t n = ::recv(from, buf, sizeof buf, 0);
                if (n <= 0) {
                    alive = false;
                    break;
                }
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_recorded.append(buf, int(n));
                }
                const int to = side == 0 ? pair.server : pair.client;
                if (::send(to, buf, std::size_t(n), MSG_NOSIGNAL) != n)
                    alive = false;
            }
            if (alive) {
                kept.push_back(pair);
            } else {
                ::close(pair.client);
                ::close(pair.server);
            }
        }
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(m_listen, nullptr, nullptr);
            const int server = client >= 0 ? connectTo(m_targetIp, m_targetPort) : -1;
            if (server >= 0)
                kept.push_back({client, server, m_dropGeneration});
            else if (client >= 0)
                ::close(client);
        }
        pairs.swap(kept);
    }
    for (const Pair &pair : pairs) {
        ::close(pair.client);
        ::close(pair.server);
    }
}

ScriptedPeer::~ScriptedPeer()
{
    stop();
}

bool ScriptedPeer::start(const std::string &listenIp, const QByteArray &answer, bool holdOpen)
{
    m_answer = answer;
    m_holdOpen = holdOpen;
    m_listen = listenOn(listenIp, m_port);
    if (m_listen < 0)
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void ScriptedPeer::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listen >= 0)
        ::close(m_listen);
    m_listen = -1;
}

void ScriptedPeer::run()
{
    std::vector<int> held;
    while (!m_stop) {
        if (!readable(m_listen, 20))
            continue;
        const int fd = ::accept(m_listen, nullptr, nullptr);
        if (fd < 0)
            continue;
        // Wait for the request, answer, then close or keep it hanging.
        if (readable(fd, 2000)) {
            TlsFd tls(fd);
            char buf[4096];
            tls.readSome(buf, sizeof buf);
            if (!m_answer.isEmpty())
                tls.writeAll(m_answer.constData(), std::size_t(m_answer.size()));
        }
        if (m_holdOpen)
            held.push_back(fd);
        else
            ::close(fd);
    }
    for (int fd : held)
        ::close(fd);
}
