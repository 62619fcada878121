// Logins to 256 simulated IPCs through the configuration library, from one
// thread and from four, against the floor: the same number of bare TCP
// connect-request-reply round trips to the same devices.
#include "zelt_mw_sdk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char *const First = "127.96.0.10";
const int Devices = 256;
const int Runs = 3;

bool readAll(int fd, uint8_t *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::recv(fd, data, size, 0);
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// One connection, one framed request (the login challenge) and its reply.
bool bareRoundTrip(const std::string &ip)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(ZELT_MW_DEFAULT_PORT);
    ::inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    if (ok) {
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        const char user[] = "admin";
        uint8_t request[16 + 4 + 5] = {'C', 'V', 'N', 'W', 1, 0, 0x01, 0x01, 1, 0, 0, 0, 9, 0, 0, 0, 5, 0, 0, 0};
        std::memcpy(request + 20, user, 5);
        uint8_t header[16];
        ok = ::send(fd, request, sizeof request, MSG_NOSIGNAL) == ssize_t(sizeof request) && readAll(fd, header, 16);
        if (ok) {
            const uint32_t length = uint32_t(header[12]) | uint32_t(header[13]) << 8 | uint32_t(header[14]) << 16
                                    | uint32_t(header[15]) << 24;
            std::vector<uint8_t> payload(length);
            ok = length < 4096 && readAll(fd, payload.data(), length);
        }
    }
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Runs work(ip) for every device, spread over the given number of threads;
// returns operations per second, or 0 when one failed.
double measure(const std::vector<std::string> &ips, int threads, const std::function<bool(const std::string &)> &work)
{
    std::atomic<int> failures {0};
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (std::size_t i = std::size_t(t); i < ips.size(); i += std::size_t(threads)) {
                if (!work(ips[i]))
                    ++failures;
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    const qint64 ns = timer.nsecsElapsed();
    return failures ? 0.0 : double(ips.size()) * 1e9 / double(ns);
}

double best(const std::vector<std::string> &ips, int threads, const std::function<bool(const std::string &)> &work)
{
    double top = 0;
    for (int run = 0; run < Runs; ++run)
        top = std::max(top, measure(ips, threads, work));
    return top;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(CORVANE_DEVSIM), {"--ipc", QString::number(Devices), "--first", First, "--seed", "3"});
    std::vector<std::string> ips;
    bool ready = false;
    while (!ready && sim.waitForReadyRead(30000)) {
        while (sim.canReadLine()) {
            const QStringList fields = QString::fromUtf8(sim.readLine()).trimmed().split(QLatin1Char(' '));
            if (fields.value(0) == QLatin1String("ready"))
                ready = true;
            else if (fields.value(0) == QLatin1String("IPC"))
                ips.push_back(fields.value(1).toStdString());
        }
    }
    if (!ready || int(ips.size()) != Devices) {
        std::fprintf(stderr, "bench_login: the simulator did not start\n");
        return 1;
    }
    ZELT_MW_Init();

    std::mutex idsMutex;
    std::vector<std::string> ids;
    auto login = [&](const std::string &ip) {
        char userId[ZELT_MW_USERID_LEN] = {};
        if (ZELT_MW_Login("admin", "vorpe", ip.c_str(), 0, userId) != 0)
            return false;
        std::lock_guard<std::mutex> lock(idsMutex);
        ids.emplace_back(userId);
        return true;
    };
    auto logoutAll = [&] {
        for (const std::string &id : ids)
            ZELT_MW_Logout(id.c_str());
        ids.clear();
    };

    std::printf("bench_login: %d simulated IPCs, best of %d runs\n", Devices, Runs);
    for (int threads : {1, 4}) {
        const double floor = best(ips, threads, bareRoundTrip);
        double logins = 0;
        for (int run = 0; run < Runs; ++run) {
            logins = std::max(logins, measure(ips, threads, login));
            logoutAll();
        }
        std::printf("%d thread%s: logins %.0f/s, bare round trips %.0f/s, ratio %.2f\n", threads,
                    threads == 1 ? " " : "s", logins, floor, logins > 0 ? floor / logins : 0.0);
    }
    sim.terminate();
    sim.waitForFinished(10000);
    return 0;
}
