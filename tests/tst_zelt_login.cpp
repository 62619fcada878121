// Sessions of the configuration library against simulated IPCs: login,
// lockout, user-IDs, concurrency, and the protocol's behaviour with peers
// that misbehave or die.
#include "simfleetprocess.h"
#include "tcprecorder.h"
#include "tlsfd.h"

#include "frame.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTcpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

const char *const kFirst = "127.90.0.10";
const char *const kUser = "admin";
const char *const kPassword = "vorpe";
const int kTimeoutMs = 1500;

DWORD login(const QString &ip, QByteArray &userId, const char *password = kPassword, DWORD port = 0)
{
    char buffer[ZELT_MW_USERID_LEN] = {};
    const DWORD result = ZELT_MW_Login(kUser, password, ip.toLatin1().constData(), port, buffer);
    userId = QByteArray(buffer);
    return result;
}

// A frame header (see the framing of the device libraries) with the given payload length.
QByteArray frameHeader(quint32 length)
{
    QByteArray header(16, '\0');
    const quint32 magic = 0x574E5643u;
    for (int i = 0; i < 4; ++i) {
        header[i] = char(magic >> (8 * i));
        header[12 + i] = char(length >> (8 * i));
    }
    header[4] = 1;
    header[6] = char(0x01);
    header[7] = char(0x81);
    return header;
}

bool receiveFrame(TlsFd &tls, corvane::wire::Frame &frame)
{
    uint8_t head[corvane::wire::kFrameHeaderSize];
    corvane::wire::FrameHeader header;
    if (!tls.readAll(head, sizeof head) || corvane::wire::decodeFrameHeader(head, header) != corvane::wire::FrameError::None)
        return false;
    frame.type = header.type;
    frame.transaction = header.transaction;
    frame.payload.assign(header.length, 0);
    return header.length == 0 || tls.readAll(frame.payload.data(), header.length);
}

void sendReply(TlsFd &tls, const corvane::wire::Frame &request, std::vector<uint8_t> payload)
{
    corvane::wire::Frame reply;
    reply.type = uint16_t(request.type | corvane::wire::kReplyBit);
    reply.transaction = request.transaction;
    reply.payload = std::move(payload);
    const std::vector<uint8_t> bytes = corvane::wire::encodeFrame(reply);
    tls.writeAll(bytes.data(), bytes.size());
}

// A device that, after the challenge, answers nothing until the login and
// the queries behind it have all arrived: only a pipelining client gets in.
// Each query's buffer carries "Q" and the query code at offset 64.
class PipelineOnlyPeer
{
public:
    ~PipelineOnlyPeer()
    {
        if (m_thread.joinable())
            m_thread.join();
        if (m_listen >= 0)
            ::close(m_listen);
    }

    bool start(const char *ip, int expectedQueries)
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        ::inet_pton(AF_INET, ip, &address.sin_addr);
        socklen_t size = sizeof address;
        if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr *>(&address), size) != 0
            || ::listen(m_listen, 1) != 0 || ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return false;
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, expectedQueries] { serve(expectedQueries); });
        return true;
    }
    DWORD port() const { return m_port; }
    bool sawPipeline() const { return m_sawPipeline; }

private:
    void serve(int expectedQueries)
    {
        pollfd pfd{m_listen, POLLIN, 0};
        const int fd = ::poll(&pfd, 1, 3000) > 0 ? ::accept(m_listen, nullptr, nullptr) : -1;
        if (fd < 0)
            return;
        TlsFd tls(fd);
        corvane::wire::Frame challenge;
        if (receiveFrame(tls, challenge)) {
            sendReply(tls, challenge,
                      corvane::wire::WireWriter().u32(0).bytes(std::vector<uint8_t>(32, 0x5A)).take());
            std::vector<corvane::wire::Frame> requests(std::size_t(1 + expectedQueries));
            bool all = true;
            for (corvane::wire::Frame &request : requests)
                all = all && receiveFrame(tls, request);
            m_sawPipeline = all;
            for (std::size_t i = 0; all && i < requests.size(); ++i) {
                if (i == 0) {
                    sendReply(tls, requests[i], corvane::wire::WireWriter().u32(0).u64(7).take());
                    continue;
                }
                uint32_t query = 0;
                corvane::wire::WireReader(requests[i].payload).u32(query);
                std::vector<uint8_t> info(zelt_query_size(query), 0);
                const std::string marker = "Q" + std::to_string(query);
                std::copy(marker.begin(), marker.end(), info.begin() + 64);
                sendReply(tls, requests[i], corvane::wire::WireWriter().u32(0).bytes(info).take());
            }
        }
        ::close(fd);
        // Later connections (the logout's) are refused at once.
        ::close(m_listen);
        m_listen = -1;
    }

    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_sawPipeline{false};
    std::thread m_thread;
};

} // namespace

class TestZeltLogin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void loginReadsDeviceInformation();
    void loginQueryMatchesSeparateQueries();
    void loginQueryAfterRefusedLogin();
    void loginQueriesTravelWithTheLogin();
    void passwordNeverCrossesTheWire();
    void wrongPasswordThenLockout();
    void closedSessionsAreRefused();
    void concurrentLogins();
    void nvrRefusesConfigurationLogin();
    void malformedRepliesAreRejected_data();
    void malformedRepliesAreRejected();
    void deviceRejectsMalformedRequests();
    void silentDeviceTimesOut();
    void deviceDyingMidSessionFails();
    void droppedIdleConnectionIsReplaced();
    void logRotates();

private:
    SimFleetProcess m_sim {{"--ipc", "4", "--nvr", "1", "--first", kFirst, "--seed", "11", "--lockout-tries", "3"}};
    QList<SimFleetProcess::Device> m_ipcs;
    QString m_nvr;
};

void TestZeltLogin::initTestCase()
{
    qputenv("CORVANE_ZELT_TIMEOUT_MS", QByteArray::number(kTimeoutMs));
    QCOMPARE(ZELT_MW_Init(), DWORD(ZELT_MW_OK));
    QVERIFY(ZELT_MW_SetLog(3, "zelt_login_log", 65536) == ZELT_MW_OK);
    CORVANE_START_SIMULATOR(m_sim);
    for (const SimFleetProcess::Device &device : m_sim.devices()) {
        if (device.type == QLatin1String("IPC"))
            m_ipcs.append(device);
        else
            m_nvr = device.ip;
    }
    QCOMPARE(m_ipcs.size(), 4);
}

void TestZeltLogin::cleanupTestCase()
{
    m_sim.stop();
    QDir(QStringLiteral("zelt_login_log")).removeRecursively();
}

void TestZeltLogin::loginReadsDeviceInformation()
{
    const SimFleetProcess::Device &device = m_ipcs.at(0);
    QByteArray userId;
    QCOMPARE(login(device.ip, userId), DWORD(ZELT_MW_OK));
    QVERIFY(userId.size() > 0 && userId.size() < ZELT_MW_USERID_LEN);
    QVERIFY(userId.contains(device.ip.toLatin1()));

    QByteArray base(ZELT_QUERY_BASE_SIZE, '\0'), net(ZELT_QUERY_NET_SIZE, '\0'), reg(ZELT_QUERY_REG_SIZE, '\0');
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId.constData(), 0, ZELT_MW_QUERY_DEVICE_BASE, base.data()), DWORD(0));
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId.constData(), 0, ZELT_MW_QUERY_NETWORK, net.data()), DWORD(0));
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId.constData(), 0, ZELT_MW_QUERY_REGISTER, reg.data()), DWORD(0));
    QCOMPARE(QString::fromLatin1(base.constData() + ZELT_QUERY_BASE_MODEL), device.model);
    QVERIFY(QByteArray(base.constData() + ZELT_QUERY_BASE_VERSION).startsWith('V'));
    QCOMPARE(QByteArray(net.constData() + ZELT_QUERY_NET_MASK), QByteArray("255.0.0.0"));
    QCOMPARE(QByteArray(net.constData() + ZELT_QUERY_NET_GATEWAY), QByteArray("127.0.0.1"));
    // Unknown queries are refused and leave the buffer alone.
    QByteArray other(64, 'x');
    QVERIFY(ZELT_MW_QueryDeviceInfo(userId.constData(), 0, 53, other.data()) != 0);
    QCOMPARE(other, QByteArray(64, 'x'));
    QCOMPARE(ZELT_MW_Logout(userId.constData()), DWORD(0));
}

void TestZeltLogin::loginQueryMatchesSeparateQueries()
{
    const SimFleetProcess::Device &device = m_ipcs.at(0);
    QByteArray base(ZELT_QUERY_BASE_SIZE, '\0'), net(ZELT_QUERY_NET_SIZE, '\0'), reg(ZELT_QUERY_REG_SIZE, '\0');
    QByteArray other(64, 'x');
    ZELT_MW_INFO_QUERY queries[] = {{ZELT_MW_QUERY_DEVICE_BASE, base.data(), 99},
                                    {53, other.data(), 99},
                                    {ZELT_MW_QUERY_NETWORK, net.data(), 99},
                                    {ZELT_MW_QUERY_REGISTER, reg.data(), 99}};
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_LoginQuery(kUser, kPassword, device.ip.toLatin1().constData(), 0, userId, 0, queries, 4),
             DWORD(ZELT_MW_OK));
    QCOMPARE(queries[0].ulResult, DWORD(ZELT_MW_OK));
    QCOMPARE(queries[1].ulResult, DWORD(ZELT_MW_ERR_UNSUPPORTED));
    QCOMPARE(queries[2].ulResult, DWORD(ZELT_MW_OK));
    QCOMPARE(queries[3].ulResult, DWORD(ZELT_MW_OK));
    QCOMPARE(other, QByteArray(64, 'x'));
    QCOMPARE(QString::fromLatin1(base.constData() + ZELT_QUERY_BASE_MODEL), device.model);

    // The session works as after a plain login and reads the same buffers.
    QByteArray base2(ZELT_QUERY_BASE_SIZE, '\0'), net2(ZELT_QUERY_NET_SIZE, '\0'), reg2(ZELT_QUERY_REG_SIZE, '\0');
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_DEVICE_BASE, base2.data()), DWORD(0));
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_NETWORK, net2.data()), DWORD(0));
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_REGISTER, reg2.data()), DWORD(0));
    QCOMPARE(base, base2);
    QCOMPARE(net, net2);
    QCOMPARE(reg, reg2);
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(0));

    ZELT_MW_INFO_QUERY tooMany[ZELT_MW_MAX_LOGIN_QUERIES + 1] = {};
    QCOMPARE(ZELT_MW_LoginQuery(kUser, kPassword, device.ip.toLatin1().constData(), 0, userId, 0, tooMany,
                                ZELT_MW_MAX_LOGIN_QUERIES + 1),
             DWORD(ZELT_MW_ERR_PARAM));
    QCOMPARE(ZELT_MW_LoginQuery(kUser, kPassword, device.ip.toLatin1().constData(), 0, userId, 0, nullptr, 1),
             DWORD(ZELT_MW_ERR_PARAM));
}

void TestZeltLogin::loginQueryAfterRefusedLogin()
{
    // A wrong password: the queries report the login's failure and leave their buffers alone.
    const SimFleetProcess::Device &device = m_ipcs.at(2);
    QByteArray base(ZELT_QUERY_BASE_SIZE, 'b');
    ZELT_MW_INFO_QUERY query{ZELT_MW_QUERY_DEVICE_BASE, base.data(), 99};
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_LoginQuery(kUser, "wrong", device.ip.toLatin1().constData(), 0, userId, 0, &query, 1),
             DWORD(ZELT_MW_ERR_PASSWORD));
    QCOMPARE(query.ulResult, DWORD(ZELT_MW_ERR_PASSWORD));
    QCOMPARE(base, QByteArray(ZELT_QUERY_BASE_SIZE, 'b'));
    QCOMPARE(QByteArray(userId), QByteArray());
    // The next right login clears the count of wrong ones.
    QCOMPARE(ZELT_MW_LoginQuery(kUser, kPassword, device.ip.toLatin1().constData(), 0, userId, 0, &query, 1),
             DWORD(ZELT_MW_OK));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(0));
}

void TestZeltLogin::loginQueriesTravelWithTheLogin()
{
    PipelineOnlyPeer peer;
    QVERIFY(peer.start("127.90.3.1", 3));
    QByteArray base(ZELT_QUERY_BASE_SIZE, '\0'), net(ZELT_QUERY_NET_SIZE, '\0'), reg(ZELT_QUERY_REG_SIZE, '\0');
    ZELT_MW_INFO_QUERY queries[] = {{ZELT_MW_QUERY_DEVICE_BASE, base.data(), 99},
                                    {ZELT_MW_QUERY_NETWORK, net.data(), 99},
                                    {ZELT_MW_QUERY_REGISTER, reg.data(), 99}};
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_LoginQuery(kUser, kPassword, "127.90.3.1", peer.port(), userId, 0, queries, 3),
             DWORD(ZELT_MW_OK));
    QVERIFY(peer.sawPipeline());
    for (const ZELT_MW_INFO_QUERY &query : queries)
        QCOMPARE(query.ulResult, DWORD(ZELT_MW_OK));
    QCOMPARE(QByteArray(base.constData() + 64), QByteArray("Q52"));
    QCOMPARE(QByteArray(net.constData() + 64), QByteArray("Q57"));
    QCOMPARE(QByteArray(reg.constData() + 64), QByteArray("Q58"));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(0));
}

void TestZeltLogin::passwordNeverCrossesTheWire()
{
    TcpRecorder recorder;
    QVERIFY(recorder.start("127.90.1.1", m_ipcs.at(1).ip.toStdString(), 7060));
    QByteArray userId;
    QCOMPARE(login(QStringLiteral("127.90.1.1"), userId, kPassword, recorder.port()), DWORD(ZELT_MW_OK));
    QCOMPARE(login(QStringLiteral("127.90.1.1"), userId, "wrong-secret", recorder.port()), DWORD(ZELT_MW_ERR_PASSWORD));
    const QByteArray bytes = recorder.recorded();
    // The capture saw the exchange, but nothing of it in clear: no frame, no user name, no token.
    QVERIFY(bytes.size() > 1000);
    QVERIFY(!bytes.contains("CVNW"));
    QVERIFY(!bytes.contains(QByteArray(kUser)));
    QVERIFY(!bytes.contains(QByteArray(kPassword)));
    QVERIFY(!bytes.contains(QByteArray("wrong-secret")));

    QDirIterator it(QStringLiteral("zelt_login_log"));
    int logs = 0;
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ++logs;
        const QByteArray text = file.readAll();
        QVERIFY(!text.contains(kPassword) && !text.contains("wrong-secret"));
    }
    QVERIFY(logs > 0);
}

void TestZeltLogin::wrongPasswordThenLockout()
{
    const QString ip = m_ipcs.at(3).ip;
    QByteArray userId;
    QCOMPARE(login(ip, userId, "nope"), DWORD(ZELT_MW_ERR_PASSWORD));
    QCOMPARE(login(ip, userId, "nope"), DWORD(ZELT_MW_ERR_PASSWORD));
    // The third wrong password in a row locks the account ...
    QCOMPARE(login(ip, userId, "nope"), DWORD(ZELT_MW_ERR_LOCKED));
    // ... and then even the right one is refused, with its own code.
    QCOMPARE(login(ip, userId, kPassword), DWORD(ZELT_MW_ERR_LOCKED));
    QVERIFY(userId.isEmpty());
    // Other devices are not affected.
    QCOMPARE(login(m_ipcs.at(2).ip, userId, kPassword), DWORD(ZELT_MW_OK));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltLogin::closedSessionsAreRefused()
{
    const QString ip = m_ipcs.at(0).ip;
    QByteArray first, second;
    QCOMPARE(login(ip, first), DWORD(0));
    QCOMPARE(ZELT_MW_Logout(first.constData()), DWORD(0));
    QCOMPARE(login(ip, second), DWORD(0));
    QVERIFY(first != second);   // never reused

    QByteArray buf(ZELT_DST_SIZE, '\0');
    DWORD len = ZELT_DST_SIZE;
    QCOMPARE(ZELT_MW_GetConfig(first.constData(), ZELT_MW_DST_CFG, 0, &len, buf.data()), DWORD(ZELT_MW_ERR_USERID));
    QCOMPARE(ZELT_MW_Logout(first.constData()), DWORD(ZELT_MW_ERR_USERID));
    QCOMPARE(ZELT_MW_GetConfig(second.constData(), ZELT_MW_DST_CFG, 0, &len, buf.data()), DWORD(0));
    QCOMPARE(ZELT_MW_GetConfig("no such user-ID", ZELT_MW_DST_CFG, 0, &len, buf.data()), DWORD(ZELT_MW_ERR_USERID));
    QCOMPARE(ZELT_MW_GetConfig(nullptr, ZELT_MW_DST_CFG, 0, &len, buf.data()), DWORD(ZELT_MW_ERR_USERID));
    ZELT_MW_Logout(second.constData());
}

void TestZeltLogin::concurrentLogins()
{
    const int threads = 6;
    const int rounds = 5;
    std::vector<std::thread> workers;
    std::vector<QByteArray> ids(threads * rounds);
    std::vector<DWORD> results(threads * rounds, 99);
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            for (int r = 0; r < rounds; ++r) {
                const int slot = t * rounds + r;
                results[std::size_t(slot)] = login(m_ipcs.at(t % 3).ip, ids[std::size_t(slot)]);
                QByteArray buf(ZELT_ENH_SIZE, '\0');
                DWORD len = ZELT_ENH_SIZE;
                if (results[std::size_t(slot)] == 0)
                    results[std::size_t(slot)] =
                        ZELT_MW_GetConfig(ids[std::size_t(slot)].constData(), ZELT_MW_IMAGE_ENHANCE_CFG, 0, &len, buf.data());
            }
        });
    }
    for (std::thread &worker : workers)
        worker.join();
    QSet<QByteArray> unique;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        QCOMPARE(results[i], DWORD(0));
        unique.insert(ids[i]);
    }
    QCOMPARE(unique.size(), threads * rounds);
    for (const QByteArray &id : ids)
        QCOMPARE(ZELT_MW_Logout(id.constData()), DWORD(0));
}

void TestZeltLogin::nvrRefusesConfigurationLogin()
{
    QVERIFY(!m_nvr.isEmpty());
    QByteArray userId;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(login(m_nvr, userId), DWORD(ZELT_MW_ERR_CONNECT));
    QVERIFY(timer.elapsed() < kTimeoutMs);
    QVERIFY(userId.isEmpty());
}

void TestZeltLogin::malformedRepliesAreRejected_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("holdOpen");
    QTest::newRow("oversized") << frameHeader(64u * 1024u * 1024u) << true;
    QTest::newRow("truncated") << frameHeader(100).append("short") << false;
    QTest::newRow("bad magic") << QByteArray(16, 'x') << true;
    QTest::newRow("closed at once") << QByteArray() << false;
}

void TestZeltLogin::malformedRepliesAreRejected()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, holdOpen);
    ScriptedPeer peer;
    QVERIFY(peer.start("127.90.2.1", answer, holdOpen));
    QByteArray userId;
    QElapsedTimer timer;
    timer.start();
    const DWORD result = login(QStringLiteral("127.90.2.1"), userId, kPassword, peer.port());
    QVERIFY(result == ZELT_MW_ERR_PROTOCOL || result == ZELT_MW_ERR_CONNECT);
    // Rejected on the header, without waiting for a body that never comes.
    QVERIFY2(timer.elapsed() < kTimeoutMs, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(userId.isEmpty());
}

void TestZeltLogin::deviceRejectsMalformedRequests()
{
    const QString ip = m_ipcs.at(1).ip;
    {
        // An oversized request header: the device hangs up instead of reading on.
        QTcpSocket socket;
        socket.connectToHost(ip, 7060);
        QVERIFY(socket.waitForConnected(2000));
        QByteArray header = frameHeader(200u * 1024u * 1024u);
        header[7] = char(0x01);
        socket.write(header);
        socket.waitForBytesWritten(1000);
        QVERIFY(socket.state() == QAbstractSocket::UnconnectedState || socket.waitForDisconnected(3000));
        QCOMPARE(socket.bytesAvailable(), qint64(0));
    }
    {
        // A request cut short: the device keeps serving others.
        QTcpSocket socket;
        socket.connectToHost(ip, 7060);
        QVERIFY(socket.waitForConnected(2000));
        QByteArray header = frameHeader(100);
        header[7] = char(0x01);
        socket.write(header + "abc");
        socket.waitForBytesWritten(1000);
        socket.abort();
    }
    QByteArray userId;
    QCOMPARE(login(ip, userId), DWORD(0));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltLogin::silentDeviceTimesOut()
{
    ScriptedPeer peer;
    QVERIFY(peer.start("127.90.2.2", QByteArray(), true));
    QByteArray userId;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(login(QStringLiteral("127.90.2.2"), userId, kPassword, peer.port()), DWORD(ZELT_MW_ERR_TIMEOUT));
    QVERIFY(timer.elapsed() >= kTimeoutMs - 100 && timer.elapsed() < kTimeoutMs + 1500);
}

void TestZeltLogin::deviceDyingMidSessionFails()
{
    TcpRecorder link;
    QVERIFY(link.start("127.90.1.2", m_ipcs.at(2).ip.toStdString(), 7060));
    QByteArray userId;
    QCOMPARE(login(QStringLiteral("127.90.1.2"), userId, kPassword, link.port()), DWORD(0));
    QByteArray buf(ZELT_EXP_SIZE, '\0');
    DWORD len = ZELT_EXP_SIZE;

    // The device stops answering in the middle of the session.
    link.setBlackHole(true);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_EXPOSURE_CFG, 0, &len, buf.data()), DWORD(ZELT_MW_ERR_TIMEOUT));
    QVERIFY(timer.elapsed() < kTimeoutMs + 1500);

    // It comes back: the session resumes on a new connection.
    link.setBlackHole(false);
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_EXPOSURE_CFG, 0, &len, buf.data()), DWORD(0));

    // It dies for good: the failure comes at once, not after a hang.
    link.dropConnections();
    link.stop();
    timer.restart();
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_EXPOSURE_CFG, 0, &len, buf.data()), DWORD(ZELT_MW_ERR_CONNECT));
    QVERIFY(timer.elapsed() < kTimeoutMs);
    QCOMPARE(ZELT_MW_Logout(userId.constData()), DWORD(0));
}

void TestZeltLogin::droppedIdleConnectionIsReplaced()
{
    TcpRecorder link;
    QVERIFY(link.start("127.90.1.3", m_ipcs.at(2).ip.toStdString(), 7060));
    QByteArray userId;
    QCOMPARE(login(QStringLiteral("127.90.1.3"), userId, kPassword, link.port()), DWORD(0));
    QByteArray buf(ZELT_EXP_SIZE, '\0');
    DWORD len = ZELT_EXP_SIZE;

    // The device closes the session's idle connection, as it does after a minute:
    // the next call still goes through, on a new connection.
    link.dropConnections();
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_EXPOSURE_CFG, 0, &len, buf.data()), DWORD(0));
    QCOMPARE(ZELT_MW_Logout(userId.constData()), DWORD(0));

    // So does the connection the logout left open for the next login: that login opens a new one.
    link.dropConnections();
    QCOMPARE(login(QStringLiteral("127.90.1.3"), userId, kPassword, link.port()), DWORD(0));
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_EXPOSURE_CFG, 0, &len, buf.data()), DWORD(0));
    QCOMPARE(ZELT_MW_Logout(userId.constData()), DWORD(0));
    link.stop();
}

void TestZeltLogin::logRotates()
{
    QTemporaryDir dir;
    QCOMPARE(ZELT_MW_SetLog(3, dir.path().toLocal8Bit().constData(), 4096), DWORD(0));
    QByteArray userId;
    QCOMPARE(login(m_ipcs.at(0).ip, userId), DWORD(0));
    QByteArray buf(ZELT_WB_SIZE, '\0');
    for (int i = 0; i < 100; ++i) {
        DWORD len = ZELT_WB_SIZE;
        QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_WHITE_BALANCE_CFG, 0, &len, buf.data()), DWORD(0));
    }
    ZELT_MW_Logout(userId.constData());
    const QString log = dir.filePath(QStringLiteral("zelt_mw_sdk.log"));
    QVERIFY(QFileInfo(log).size() > 0);
    QVERIFY(QFileInfo(log).size() <= 4096);
    QVERIFY(QFileInfo(log + QStringLiteral(".1")).size() > 0);
    QVERIFY(!QFile::exists(log + QStringLiteral(".4")));
    QCOMPARE(ZELT_MW_SetLog(0, "", 0), DWORD(0));
}

QTEST_GUILESS_MAIN(TestZeltLogin)
#include "tst_zelt_login.moc"
