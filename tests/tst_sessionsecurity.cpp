// Robustness of the framed device protocols: a lockout that invented names
// cannot flush, memory and connections an unauthenticated peer cannot grow,
// an accept loop that does not spin without descriptors, a bounded logout,
// UTF-8 passwords, a device that sends no login information, recorder
// requests that cannot be replayed, an event log names cannot forge, and idle
// connections from many sources that leave other sources' logins alone.
#include "TolanNetSDK.h"
#include "tolan_cfg.h"
#include "auth.h"
#include "frame.h"
#include "framesocket.h"
#include "simfleetprocess.h"
#include "tolanproto.h"
#include "zelt_mw_sdk.h"
#include "zeltproto.h"

#include <asio/read.hpp>
#include <asio/write.hpp>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

using namespace corvane;
using asio::ip::tcp;

namespace {

// AddressSanitizer keeps freed memory in quarantine to catch late uses; a
// simulator whose resident size a test measures would count what it gave back.
struct NoQuarantine
{
    const QByteArray options = qgetenv("ASAN_OPTIONS");
#ifdef __SANITIZE_ADDRESS__
    NoQuarantine() { qputenv("ASAN_OPTIONS", options + ":quarantine_size_mb=0"); }
    ~NoQuarantine() { qputenv("ASAN_OPTIONS", options); }
#endif
};

const QString First = QStringLiteral("127.43.0.10");
// Devices kept in a state folder have keys of their own: they get addresses
// where no device of another key was met.
const QString StateFirst = QStringLiteral("127.43.1.10");
const char *const ServerIp = "127.43.0.1";
const char *const OtherSource = "127.43.9.9";
const char *const ThirdSource = "127.43.9.10";

// One request by hand on a connected socket; the reply's result, body after it.
uint32_t call(TlsSocket &socket, uint16_t type, const std::vector<uint8_t> &payload, std::vector<uint8_t> &body)
{
    wire::Frame frame;
    frame.type = type;
    frame.transaction = 1;
    frame.payload = payload;
    std::error_code ec;
    asio::write(socket, asio::buffer(wire::encodeFrame(frame)), ec);
    wire::FrameHeader header;
    std::vector<uint8_t> reply;
    if (ec || !readFrame(socket, header, reply))
        return 0xFFFFFFFFu;
    wire::WireReader reader(reply);
    uint32_t result = 0xFFFFFFFFu;
    if (!reader.u32(result))
        return 0xFFFFFFFFu;
    body.assign(reply.begin() + 4, reply.end());
    return result;
}

// A TLS connection to a device from a chosen source address; false when it failed.
bool connectFrom(TlsSocket &socket, const asio::ip::address &source, const asio::ip::address &ip, uint16_t port)
{
    std::error_code ec;
    socket.lowest_layer().open(tcp::v4(), ec);
    socket.lowest_layer().bind({source, 0}, ec);
    socket.lowest_layer().connect({ip, port}, ec);
    if (!ec)
        socket.handshake(asio::ssl::stream_base::client, ec);
    return !ec;
}

// A configuration-library login from a chosen source address; the device's result.
uint32_t loginFrom(const char *source, const QString &ip, const std::string &user, const std::string &password)
{
    asio::io_context io;
    TlsSocket socket(io, handClientContext());
    if (!connectFrom(socket, asio::ip::make_address(source), asio::ip::make_address(ip.toStdString()),
                     zelt::kDefaultPort))
        return 0xFFFFFFFFu;
    std::vector<uint8_t> body;
    uint32_t result = call(socket, zelt::OpChallenge, wire::WireWriter().str(user).take(), body);
    std::vector<uint8_t> nonce;
    wire::WireReader reader(body);
    if (result != ZELT_MW_OK || !reader.bytes(nonce, 64))
        return result;
    const std::vector<uint8_t> proof = wire::loginProof(password, nonce, user);
    return call(socket, zelt::OpLogin, wire::WireWriter().str(user).bytes(proof).take(), body);
}

qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// True once the peer has closed the connection (or it failed). What TLS left
// unread (the server's session tickets) is drained first.
bool peerClosed(tcp::socket::lowest_layer_type &socket)
{
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(socket.native_handle(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0)
            continue;
        return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// An attacker between the library and a recorder who reads every request in
// clear and sends from the address that logged in: it relays the library's
// connections to the device and keeps the requests.
class RecordingRelay
{
public:
    RecordingRelay(const char *ip, const QString &deviceIp)
        : m_ip(asio::ip::make_address(ip)), m_device(asio::ip::make_address(deviceIp.toStdString())),
          m_acceptor(m_io, {m_ip, 0})
    {
        m_thread = std::thread([this] { run(); });
    }
    ~RecordingRelay()
    {
        m_stop = true;
        // Wakes the accept that waits for the next connection.
        tcp::socket wake(m_io);
        std::error_code ec;
        wake.connect(m_acceptor.local_endpoint(), ec);
        m_thread.join();
    }
    uint16_t port() const { return m_acceptor.local_endpoint().port(); }
    // The last request of that type the library sent.
    wire::Frame last(uint16_t type)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto it = m_requests.rbegin(); it != m_requests.rend(); ++it) {
            if (it->type == type)
                return *it;
        }
        return {};
    }

private:
    void run()
    {
        while (!m_stop) {
            TlsSocket client(m_io, handServerContext());
            std::error_code ec;
            m_acceptor.accept(client.lowest_layer(), ec);
            if (ec || m_stop)
                return;
            client.handshake(asio::ssl::stream_base::server, ec);
            TlsSocket device(m_io, handClientContext());
            wire::FrameHeader header;
            std::vector<uint8_t> body;
            if (ec || !connectFrom(device, m_ip, m_device, tolan::kDefaultPort))
                continue;
            while (!ec && readFrame(client, header, body)) {
                const wire::Frame request {header.type, header.transaction, body};
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_requests.push_back(request);
                }
                asio::write(device, asio::buffer(wire::encodeFrame(request)), ec);
                if (ec || !readFrame(device, header, body))
                    break;
                asio::write(client, asio::buffer(wire::encodeFrame({header.type, header.transaction, body})), ec);
            }
        }
    }

    asio::io_context m_io;
    const asio::ip::address m_ip;
    const asio::ip::address m_device;
    tcp::acceptor m_acceptor;
    std::atomic<bool> m_stop {false};
    std::mutex m_mutex;
    std::vector<wire::Frame> m_requests;
    std::thread m_thread;
};

// A recorder request by hand from source on a connection of its own; the device's result.
uint32_t sendFrom(const char *source, const QString &ip, const wire::Frame &request)
{
    asio::io_context io;
    TlsSocket socket(io, handClientContext());
    std::vector<uint8_t> body;
    if (!connectFrom(socket, asio::ip::make_address(source), asio::ip::make_address(ip.toStdString()),
                     tolan::kDefaultPort))
        return 0xFFFFFFFFu;
    return call(socket, request.type, request.payload, body);
}

class Handler : public wire::FrameHandler
{
public:
    bool handle(const wire::Frame &request, wire::Frame &reply) override
    {
        reply.payload = request.payload;
        return true;
    }
    bool authenticated() const override { return true; }
};

} // namespace

class TestSessionSecurity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lockoutTableCannotBeFlushed();
    void inventedNamesAgainstDevice();
    void unauthenticatedPeersCannotGrowTheDevice();
    void idleFloodFromManySourcesLeavesLogins();
    void acceptLoopBacksOffWithoutDescriptors();
    void logoutOfFrozenDeviceIsBounded();
    void utf8PasswordsOnEveryPath();
    void emptyLoginInformation();
    void changedDeviceKeyIsRefused();
    void recorderRequestsCannotBeReplayed();
    void namesCannotForgeLogLines();
};

void TestSessionSecurity::initTestCase()
{
    qputenv("CORVANE_ZELT_TIMEOUT_MS", "3000");
    qputenv("CORVANE_TLSDK_TIMEOUT_MS", "3000");
    QCOMPARE(ZELT_MW_Init(), DWORD(ZELT_MW_OK));
    QCOMPARE(TLSDK_Init(), DWORD(TLSDK_OK));
}

void TestSessionSecurity::lockoutTableCannotBeFlushed()
{
    using namespace std::chrono;
    const auto t0 = wire::LoginLockout::Clock::now();
    {
        // 20,000 invented names, five wrong passwords each, from ever new sources.
        wire::LoginLockout lockout(5, seconds(60));
        int counted = 0;
        for (int i = 0; i < 20000; ++i) {
            const std::string name = "user" + std::to_string(i);
            const std::string source = "src" + std::to_string(i / 4);
            for (int k = 0; k < 5; ++k) {
                if (lockout.remaining(name, source, t0).count() == 0) {
                    lockout.recordFailure(name, source, t0);
                    ++counted;
                }
            }
        }
        QVERIFY(counted >= 4096 * 5);
        // Then wrong passwords for the real account from a fresh source: it is (and stays) locked.
        for (int k = 0; k < 5; ++k) {
            if (lockout.remaining("admin", "fresh", t0).count() == 0)
                lockout.recordFailure("admin", "fresh", t0);
        }
        QVERIFY(lockout.remaining("admin", "fresh", t0).count() > 0);
        QVERIFY(lockout.remaining("admin", "fresh", t0 + seconds(59)).count() > 0);
        // Room frees when the locks run out; nothing was locked for longer than its time.
        QCOMPARE(lockout.remaining("admin", "another", t0 + seconds(61)).count(), 0);
    }
    {
        // A small table: unlocked counts make way, locks do not.
        wire::LoginLockout lockout(3, seconds(30), 8);
        for (int k = 0; k < 3; ++k)
            lockout.recordFailure("admin", "a", t0);
        QVERIFY(lockout.remaining("admin", "a", t0).count() > 0);
        for (int i = 0; i < 1000; ++i)
            QVERIFY(!lockout.recordFailure("name" + std::to_string(i), "s" + std::to_string(i), t0));
        QVERIFY(lockout.remaining("admin", "a", t0).count() > 0);
        // A name whose count was pushed out starts again, but one that keeps failing is counted.
        QVERIFY(!lockout.recordFailure("root", "c", t0));
        QVERIFY(!lockout.recordFailure("root", "c", t0));
        QVERIFY(lockout.recordFailure("root", "c", t0));
        // One source trying many names locks itself after the limit.
        wire::LoginLockout perSource(3, seconds(30));
        for (int i = 0; i < 2; ++i)
            QVERIFY(!perSource.recordFailure("n" + std::to_string(i), "spray", t0));
        QVERIFY(perSource.recordFailure("n2", "spray", t0));
        QVERIFY(perSource.remaining("admin", "spray", t0).count() > 0);
        QCOMPARE(perSource.remaining("admin", "elsewhere", t0).count(), 0);
    }
}

void TestSessionSecurity::inventedNamesAgainstDevice()
{
    SimFleetProcess sim({"--ipc", "1", "--nvr", "0", "--first", First});
    CORVANE_START_SIMULATOR(sim);
    const QString ip = sim.devices().at(0).ip;
    // One source trying invented names is soon refused whatever it tries.
    for (int i = 0; i < 200; ++i) {
        const uint32_t result = loginFrom(ServerIp, ip, "invented" + std::to_string(i), "x");
        QVERIFY(result == ZELT_MW_ERR_PASSWORD || result == ZELT_MW_ERR_LOCKED);
    }
    QCOMPARE(loginFrom(ServerIp, ip, "admin", "vorpe"), uint32_t(ZELT_MW_ERR_LOCKED));
    // The account itself is not locked by that; its own wrong passwords from
    // one source lock that source only, and the operator elsewhere still logs in.
    QCOMPARE(loginFrom(OtherSource, ip, "admin", "vorpe"), uint32_t(ZELT_MW_OK));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(loginFrom(OtherSource, ip, "admin", "wrong"), uint32_t(ZELT_MW_ERR_PASSWORD));
    QCOMPARE(loginFrom(OtherSource, ip, "admin", "wrong"), uint32_t(ZELT_MW_ERR_LOCKED));
    QCOMPARE(loginFrom(ThirdSource, ip, "admin", "vorpe"), uint32_t(ZELT_MW_OK));
}

void TestSessionSecurity::unauthenticatedPeersCannotGrowTheDevice()
{
    SimFleetProcess sim({"--ipc", "0", "--nvr", "1", "--first", First});
    {
        const NoQuarantine measured;
        CORVANE_START_SIMULATOR(sim);
    }
    const QString ip = sim.devices().at(0).ip;
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login(ip.toLatin1().constData(), 0, "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));
    const qint64 before = residentKiB(sim.processId());
    QVERIFY(before > 0);

    asio::io_context io;
    std::vector<std::unique_ptr<TlsSocket>> peers;
    auto open = [&](uint32_t claimed) {
        auto socket = std::make_unique<TlsSocket>(io, handClientContext());
        std::error_code ec;
        socket->lowest_layer().connect({asio::ip::make_address(ip.toStdString()), tolan::kDefaultPort}, ec);
        if (ec)
            return;
        // Those beyond the source's allowance are closed before their handshake.
        socket->handshake(asio::ssl::stream_base::client, ec);
        if (!ec && claimed) {
            std::vector<uint8_t> head = wire::encodeFrame({tolan::OpLogin, 1, {}});
            for (int i = 0; i < 4; ++i)
                head[12 + i] = uint8_t(claimed >> (8 * i));
            head.resize(head.size() + 1024, 0x41);
            asio::write(*socket, asio::buffer(head), ec);
        }
        peers.push_back(std::move(socket));
    };
    auto closed = [&] {
        return int(std::count_if(peers.begin(), peers.end(),
                                 [](const auto &s) { return peerClosed(s->lowest_layer()); }));
    };
    // Headers that claim more than a stranger may send (4 MiB, 250 KiB) end at once.
    for (int i = 0; i < 50; ++i) {
        open(4u * 1024u * 1024u);
        open(250u * 1024u);
    }
    QCOMPARE(int(peers.size()), 100);
    QTRY_COMPARE_WITH_TIMEOUT(closed(), 100, 5000);
    // Idle connections: all but the allowance of one source are turned away.
    for (int i = 0; i < 100; ++i)
        open(0);
    QCOMPARE(int(peers.size()), 200);
    const int allowance = int(wire::FrameServer::kMaxUnauthenticatedPerSource);
    QTRY_COMPARE_WITH_TIMEOUT(closed(), 200 - allowance, 3000);
    // Meanwhile that source cannot even log in.
    QCOMPARE(TLSDK_Login(ip.toLatin1().constData(), 0, "admin", "vorpe", &handle, nullptr),
             DWORD(TLSDK_ERR_CONNECT));
    const qint64 after = residentKiB(sim.processId());
    QVERIFY2(after - before < 8 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(after - before)));
}

void TestSessionSecurity::idleFloodFromManySourcesLeavesLogins()
{
    SimFleetProcess sim({"--ipc", "1", "--nvr", "1", "--first", "127.171.0.10"});
    {
        const NoQuarantine measured;
        CORVANE_START_SIMULATOR(sim);
    }
    const std::string ipc = sim.devices().at(0).ip.toStdString();
    const std::string nvr = sim.devices().at(1).ip.toStdString();

    // 16 sources, 16 idle connections each to both devices: what a source
    // holds beyond its few is closed at once.
    asio::io_context io;
    std::vector<std::unique_ptr<TlsSocket>> peers;
    for (int source = 1; source <= 16; ++source) {
        const auto from = asio::ip::make_address("127.171.9." + std::to_string(source));
        for (int i = 0; i < 16; ++i) {
            for (const auto &[ip, port] :
                 {std::make_pair(ipc, zelt::kDefaultPort), std::make_pair(nvr, tolan::kDefaultPort)}) {
                auto socket = std::make_unique<TlsSocket>(io, handClientContext());
                std::error_code ec;
                socket->lowest_layer().open(tcp::v4(), ec);
                socket->lowest_layer().bind({from, 0}, ec);
                socket->lowest_layer().connect({asio::ip::make_address(ip), port}, ec);
                if (!ec)
                    socket->handshake(asio::ssl::stream_base::client, ec);
                peers.push_back(std::move(socket));
            }
        }
    }
    QCOMPARE(int(peers.size()), 512);
    const qint64 idle = residentKiB(sim.processId());
    // Each connection begins the largest request a stranger may send, and stops.
    for (const auto &peer : peers) {
        std::vector<uint8_t> head = wire::encodeFrame({zelt::OpChallenge, 1, {}});
        head[13] = 0x10;
        head.resize(head.size() + 4000, 0x41);
        std::error_code ec;
        asio::write(*peer, asio::buffer(head), ec);
    }

    // Another source logs in to both while the flood holds what it may.
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", ipc.c_str(), 0, userId), DWORD(ZELT_MW_OK));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login(nvr.c_str(), 0, "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));

    // The begun requests cost the devices a few KiB per connection they kept
    // (about 8 measured: the 4000 bytes and the buffer they grew into); the
    // bound leaves room for the allocator, far below an unbounded buffer.
    const int open = int(std::count_if(peers.begin(), peers.end(),
                                       [](const auto &s) { return !peerClosed(s->lowest_layer()); }));
    QVERIFY(open > 0 && open <= 2 * 16 * int(wire::FrameServer::kMaxUnauthenticatedPerSource));
#ifndef __SANITIZE_THREAD__
    // Not under ThreadSanitizer: its shadow of every byte touched grows the
    // resident size several times over what the simulator holds.
    const qint64 grown = residentKiB(sim.processId()) - idle;
    QVERIFY2(grown < open * 16, qPrintable(QStringLiteral("grew by %1 KiB for %2 connections").arg(grown).arg(open)));
#endif
}

void TestSessionSecurity::acceptLoopBacksOffWithoutDescriptors()
{
    asio::io_context io;
    auto server = wire::FrameServer::create(io, [](const asio::ip::address &) { return std::make_unique<Handler>(); });
    QVERIFY(!server->listen({asio::ip::make_address(ServerIp), 0}));
    std::thread thread([&io] {
        auto guard = asio::make_work_guard(io);
        io.run();
    });
    struct Stop
    {
        asio::io_context &io;
        std::shared_ptr<wire::FrameServer> &server;
        std::thread &thread;
        ~Stop()
        {
            asio::post(io, [this] { server->stop(); io.stop(); });
            thread.join();
        }
    } stop{io, server, thread};
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
    // Leave exactly one descriptor: the client's. The server has none to accept with.
    const int lowest = ::open("/dev/null", O_RDONLY);
    QVERIFY(lowest > 0);
    ::close(lowest);
    rlimit tight = saved;
    tight.rlim_cur = rlim_t(lowest + 1);
    TlsSocket client(io, handClientContext());
    QVERIFY(setrlimit(RLIMIT_NOFILE, &tight) == 0);
    std::error_code connected;
    client.lowest_layer().connect({asio::ip::make_address(ServerIp), server->port()}, connected);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer window;
    window.start();
    // A measuring window, not a wait for an event: CPU spent while accept fails.
    QTest::qSleep(600);
    const double cpu = cpuSeconds() - cpuBefore;
    const qint64 elapsedMs = window.elapsed();
    setrlimit(RLIMIT_NOFILE, &saved);
    QVERIFY(!connected);
    QVERIFY2(cpu < 0.25 * double(elapsedMs) / 1000.0, qPrintable(QStringLiteral("%1 s of CPU").arg(cpu)));
    // With descriptors back the waiting connection is served.
    client.handshake(asio::ssl::stream_base::client, connected);
    QVERIFY(!connected);
    std::vector<uint8_t> body;
    QCOMPARE(call(client, 7, {0, 0, 0, 0, 1, 2, 3}, body), 0u);
    QCOMPARE(body, std::vector<uint8_t>({1, 2, 3}));
}

void TestSessionSecurity::logoutOfFrozenDeviceIsBounded()
{
    SimFleetProcess sim({"--ipc", "1", "--nvr", "0", "--first", First});
    CORVANE_START_SIMULATOR(sim);
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", sim.devices().at(0).ip.toLatin1().constData(), 0, userId),
             DWORD(ZELT_MW_OK));
    QVERIFY(::kill(pid_t(sim.processId()), SIGSTOP) == 0);
    QElapsedTimer timer;
    timer.start();
    const DWORD result = ZELT_MW_Logout(userId);
    const qint64 elapsed = timer.elapsed();
    ::kill(pid_t(sim.processId()), SIGCONT);
    QCOMPARE(result, DWORD(ZELT_MW_OK));
    QVERIFY2(elapsed < 1200, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_ERR_USERID));
}

void TestSessionSecurity::utf8PasswordsOnEveryPath()
{
    QTemporaryDir state;
    QVERIFY(state.isValid());
    const QStringList args{"--ipc", "1", "--nvr", "1", "--first", StateFirst, "--state", state.path()};
    {
        SimFleetProcess sim(args);
        CORVANE_START_SIMULATOR(sim);
    }
    // Both devices get a password no 8-bit code page holds.
    const QString password = QStringLiteral("Пароль-密码-✓");
    QFile file(state.path() + QStringLiteral("/discovery-fleet.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    for (int row = 1; row <= 2; ++row) {
        QList<QByteArray> fields = lines[row].split('\t');
        QVERIFY(fields.size() > 10);
        fields[10] = password.toUtf8();
        lines[row] = fields.join('\t');
    }
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    file.close();

    SimFleetProcess sim(args);
    CORVANE_START_SIMULATOR(sim);
    const QByteArray utf8 = password.toUtf8();
    const QByteArray ipc = sim.devices().at(0).ip.toLatin1();
    const QByteArray nvr = sim.devices().at(1).ip.toLatin1();
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", utf8.constData(), ipc.constData(), 0, userId), DWORD(ZELT_MW_OK));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login(nvr.constData(), 0, "admin", utf8.constData(), &handle, nullptr), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));
    // What would not survive as UTF-8, or not fit, is refused outright and costs no try.
    const QByteArray latin1 = QStringLiteral("Passw\u00f6rd").toLatin1();
    const QByteArray tooLong(int(wire::kMaxPasswordSize) + 1, 'p');
    for (const QByteArray &bad : {latin1, tooLong}) {
        QCOMPARE(ZELT_MW_Login("admin", bad.constData(), ipc.constData(), 0, userId), DWORD(ZELT_MW_ERR_PARAM));
        QCOMPARE(TLSDK_Login(nvr.constData(), 0, "admin", bad.constData(), &handle, nullptr), DWORD(TLSDK_ERR_PARAM));
    }
    QCOMPARE(ZELT_MW_Login("admin", utf8.constData(), ipc.constData(), 0, userId), DWORD(ZELT_MW_OK));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
}

void TestSessionSecurity::emptyLoginInformation()
{
    // A device that logs the client in but sends no login information.
    asio::io_context io;
    tcp::acceptor acceptor(io, {asio::ip::make_address(ServerIp), 0});
    std::thread device([&] {
        std::error_code ec;
        TlsSocket socket(io, handServerContext());
        acceptor.accept(socket.lowest_layer(), ec);
        if (!ec)
            socket.handshake(asio::ssl::stream_base::server, ec);
        for (int i = 0; i < 2 && !ec; ++i) {
            wire::FrameHeader header;
            std::vector<uint8_t> body;
            if (!readFrame(socket, header, body))
                return;
            wire::Frame reply;
            reply.type = uint16_t(header.type | wire::kReplyBit);
            reply.transaction = header.transaction;
            reply.payload = header.type == tolan::OpChallenge
                                ? wire::WireWriter().u32(0).bytes(wire::makeNonce()).take()
                                : wire::WireWriter().u32(0).bytes(std::vector<uint8_t>(tolan::kTokenSize, 7))
                                      .bytes({}).take();
            asio::write(socket, asio::buffer(wire::encodeFrame(reply)), ec);
        }
    });
    std::vector<char> info(TLSDK_LOGIN_INFO_SIZE, 'x');
    DWORD handle = 0;
    const DWORD result = TLSDK_Login(ServerIp, acceptor.local_endpoint().port(), "admin", "vorpe", &handle, info.data());
    device.join();
    QCOMPARE(result, DWORD(TLSDK_OK));
    QVERIFY(std::all_of(info.begin(), info.end(), [](char c) { return c == 0; }));
    QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));
}

// Another device (another key) at an address met before is refused by both
// libraries, with a code of its own, until the pin is forgotten.
void TestSessionSecurity::changedDeviceKeyIsRefused()
{
    const QString first = QStringLiteral("127.43.2.10");
    QTemporaryDir stateA, stateB;
    QVERIFY(stateA.isValid() && stateB.isValid());
    QByteArray ipc, nvr;
    {
        SimFleetProcess sim({"--ipc", "1", "--nvr", "1", "--first", first, "--state", stateA.path()});
        CORVANE_START_SIMULATOR(sim);
        ipc = sim.devices().at(0).ip.toLatin1();
        nvr = sim.devices().at(1).ip.toLatin1();
        char userId[ZELT_MW_USERID_LEN] = {};
        QCOMPARE(ZELT_MW_Login("admin", "vorpe", ipc.constData(), 0, userId), DWORD(ZELT_MW_OK));
        QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
        DWORD handle = 0;
        QCOMPARE(TLSDK_Login(nvr.constData(), 0, "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_OK));
        QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));
    }
    SimFleetProcess sim({"--ipc", "1", "--nvr", "1", "--first", first, "--state", stateB.path()});
    CORVANE_START_SIMULATOR(sim);
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", ipc.constData(), 0, userId), DWORD(ZELT_MW_ERR_IDENTITY));
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login(nvr.constData(), 0, "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_ERR_IDENTITY));
}

// Someone who reads a recorder session's requests in clear, from the very
// address that logged in, can neither send one again nor change one; the
// operator's own calls go on meanwhile.
void TestSessionSecurity::recorderRequestsCannotBeReplayed()
{
    SimFleetProcess sim({"--ipc", "0", "--nvr", "1", "--first", "127.170.0.10"});
    CORVANE_START_SIMULATOR(sim);
    const QString ip = sim.devices().at(0).ip;
    const char *const relayIp = "127.170.0.2";
    RecordingRelay relay(relayIp, ip);
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login(relayIp, relay.port(), "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_OK));
    std::vector<char> info(TLSDK_DEVICE_INFO_SIZE);
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_DEVICE_INFO, info.data()), DWORD(TLSDK_OK));
    const wire::Frame captured = relay.last(tolan::OpGetDevCfg);
    QVERIFY(!captured.payload.empty());

    // Sent again as it was, on another connection: its counter is spent.
    QCOMPARE(sendFrom(relayIp, ip, captured), uint32_t(TLSDK_ERR_PROTOCOL));
    // With a later counter, or turned into another request, its proof no longer fits.
    wire::Frame later = captured;
    later.payload[4 + tolan::kTokenSize] ^= 0x40;
    QCOMPARE(sendFrom(relayIp, ip, later), uint32_t(TLSDK_ERR_PROTOCOL));
    wire::Frame restart = captured;
    restart.type = tolan::OpRestart;
    restart.payload.resize(restart.payload.size() - 4);
    QCOMPARE(sendFrom(relayIp, ip, restart), uint32_t(TLSDK_ERR_PROTOCOL));

    // The operator's session is untouched, through the relay and on its own.
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_NETWORK, std::vector<char>(TLSDK_NETWORK_INFO_SIZE).data()),
             DWORD(TLSDK_OK));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QCOMPARE(TLSDK_ExportCfg(handle, qPrintable(dir.filePath("nvr.cfg"))), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));
}

// A user name with line breaks, tried at the login, stays on one line of the
// event log that goes out with the diagnostics.
void TestSessionSecurity::namesCannotForgeLogLines()
{
    SimFleetProcess sim({"--ipc", "0", "--nvr", "1", "--first", "127.170.2.10"});
    CORVANE_START_SIMULATOR(sim);
    const QByteArray ip = sim.devices().at(0).ip.toLatin1();
    DWORD handle = 0;
    const char *const forgery = "eve\r\n2026-01-01 00:00:00 user admin logged in";
    QCOMPARE(TLSDK_Login(ip.constData(), 0, forgery, "x", &handle, nullptr), DWORD(TLSDK_ERR_PASSWORD));
    QCOMPARE(TLSDK_Login(ip.constData(), 0, "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_OK));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString archive = dir.filePath("diag.tgz");
    QCOMPARE(TLSDK_ExportMtInfo(handle, qPrintable(archive)), DWORD(TLSDK_OK));
    TLSDK_Logout(handle);
    QProcess tar;
    tar.start("tar", {"-xzOf", archive, "mtinfo/system.log"});
    QVERIFY(tar.waitForFinished(10000));
    const QByteArray log = tar.readAllStandardOutput();
    QVERIFY(log.contains("login failed for user eve\\x0d\\x0a2026-01-01 00:00:00 user admin logged in\n"));
    QCOMPARE(log.count("user admin logged in"), 2);
}

QTEST_GUILESS_MAIN(TestSessionSecurity)
#include "tst_sessionsecurity.moc"
