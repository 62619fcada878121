// Robustness of the framed device protocols: a lockout that invented names
// cannot flush, memory and connections an unauthenticated peer cannot grow,
// an accept loop that does not spin without descriptors, a bounded logout,
// UTF-8 passwords, and a device that sends no login information.
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
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

using namespace corvane;
using asio::ip::tcp;

namespace {

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

// A configuration-library login from a chosen source address; the device's result.
uint32_t loginFrom(const char *source, const QString &ip, const std::string &user, const std::string &password)
{
    asio::io_context io;
    TlsSocket socket(io, handClientContext());
    std::error_code ec;
    socket.lowest_layer().open(tcp::v4(), ec);
    socket.lowest_layer().bind({asio::ip::make_address(source), 0}, ec);
    socket.lowest_layer().connect({asio::ip::make_address(ip.toStdString()), zelt::kDefaultPort}, ec);
    if (!ec)
        socket.handshake(asio::ssl::stream_base::client, ec);
    if (ec)
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
    void acceptLoopBacksOffWithoutDescriptors();
    void logoutOfFrozenDeviceIsBounded();
    void utf8PasswordsOnEveryPath();
    void emptyLoginInformation();
    void changedDeviceKeyIsRefused();
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
#ifdef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory in quarantine to catch late uses;
    // the simulator's resident size would then count what it gave back.
    const QByteArray asanOptions = qgetenv("ASAN_OPTIONS");
    qputenv("ASAN_OPTIONS", asanOptions + ":quarantine_size_mb=0");
#endif
    CORVANE_START_SIMULATOR(sim);
#ifdef __SANITIZE_ADDRESS__
    qputenv("ASAN_OPTIONS", asanOptions);
#endif
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

QTEST_GUILESS_MAIN(TestSessionSecurity)
#include "tst_sessionsecurity.moc"
