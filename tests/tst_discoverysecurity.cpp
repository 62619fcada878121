// Security of the discovery protocol against the device simulator: signed
// requests that cannot be replayed or altered, failures that count toward
// the shared lockout without locking the operator out, answers the library
// must not believe, probes that cannot turn the fleet against a victim, a
// password reset that ends the account's sessions, and nonces a flood cannot
// push out.
#include "Discovery.h"
#include "TolanNetSDK.h"
#include "tolan_cfg.h"
#include "auth.h"
#include "discovery_auth.h"
#include "discovery_password.h"
#include "discovery_wire.h"
#include "simfleetprocess.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QNetworkInterface>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

using namespace corvane;

namespace {

const char *const DiscoveryPort = "37853";
const QString First = QStringLiteral("127.42.0.10");
const QString FakeDeviceIp = QStringLiteral("127.42.5.1");
const QString OtherIp = QStringLiteral("127.42.5.2");
const int TimeoutMs = 3000;

quint16 port()
{
    return quint16(QByteArray(DiscoveryPort).toUShort());
}

QStringList simArgs(const QStringList &extra = {})
{
    return QStringList{QStringLiteral("--ipc"), QStringLiteral("2"), QStringLiteral("--nvr"), QStringLiteral("0"),
                       QStringLiteral("--first"), First, QStringLiteral("--port"), QLatin1String(DiscoveryPort)}
           + extra;
}

QByteArray bytes(const std::vector<uint8_t> &data)
{
    return QByteArray(reinterpret_cast<const char *>(data.data()), int(data.size()));
}

// Talks discovery by hand, as a capturing attacker (or a careful client) would.
class RawPeer
{
public:
    explicit RawPeer(const QHostAddress &source = QHostAddress::LocalHost) { m_socket.bind(source, 0); }

    // Sends datagram to ip and returns the first decoded reply of that type and id.
    std::optional<wire::DiscoveryMessage> ask(const QByteArray &datagram, const QString &ip, wire::DiscoveryType type,
                                              uint32_t id)
    {
        m_socket.writeDatagram(datagram, QHostAddress(ip), port());
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < TimeoutMs) {
            if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(100))
                continue;
            QByteArray in(int(m_socket.pendingDatagramSize()), '\0');
            m_socket.readDatagram(in.data(), in.size());
            auto reply = wire::decodeDiscovery(reinterpret_cast<const uint8_t *>(in.constData()), std::size_t(in.size()));
            if (reply && reply->type == type && reply->id == id)
                return reply;
        }
        return std::nullopt;
    }

    wire::DiscoveryMessage challenge(const QString &ip, wire::DiscoveryType purpose)
    {
        wire::DiscoveryMessage request;
        request.type = wire::DiscoveryType::ChallengeRequest;
        request.purpose = purpose;
        request.id = ++m_id;
        const auto challenge = ask(bytes(wire::encodeDiscovery(request)), ip, wire::DiscoveryType::Challenge, m_id);
        return challenge ? *challenge : wire::DiscoveryMessage();
    }

    uint32_t nextId() { return ++m_id; }

private:
    QUdpSocket m_socket;
    uint32_t m_id = 1000;
};

wire::DiscoveryMessage setAddressRequest(const SimFleetProcess::Device &device, const QString &newIp, uint32_t id,
                                         const wire::DiscoveryMessage &challenge)
{
    wire::DiscoveryMessage request;
    request.type = wire::DiscoveryType::SetAddrRequest;
    request.id = id;
    request.texts = {device.serial.toStdString(), device.mac.toStdString(), "admin", newIp.toStdString(),
                     "255.0.0.0", "127.0.0.1"};
    request.nonce = challenge.nonce;
    request.clientNonce = wire::randomBytes(wire::kDiscoveryNonceSize);
    return request;
}

QByteArray signedWith(const wire::DiscoveryMessage &request, const wire::DiscoveryMessage &challenge,
                      const std::string &secret)
{
    return bytes(wire::encodeSignedRequest(request, wire::deriveDiscoveryKey(secret, challenge.salt, challenge.cost)));
}

// Replaces the transaction id of an encoded datagram, leaving its proof as it was.
QByteArray withId(QByteArray datagram, uint32_t id)
{
    for (int i = 0; i < 4; ++i)
        datagram[8 + i] = char(id >> (8 * i));
    return datagram;
}

int setAddress(const SimFleetProcess::Device &device, const QString &password, const QString &newIp,
               const char *mask = "255.0.0.0")
{
    RVNA_DEV_ACCOUNT account{};
    std::strncpy(account.szUserName, "admin", sizeof account.szUserName);
    const std::string encoded = wire::encodeDiscoveryPassword(password.toStdString());
    std::strncpy(account.szPassword, encoded.c_str(), sizeof account.szPassword - 1);
    RVNA_DEV_IDENTITY identity{};
    std::strncpy(identity.szSerial, device.serial.toUtf8().constData(), sizeof identity.szSerial - 1);
    std::strncpy(identity.szMac, device.mac.toUtf8().constData(), sizeof identity.szMac - 1);
    RVNA_DEV_NETADDR address{};
    std::strncpy(address.szIp, newIp.toUtf8().constData(), sizeof address.szIp - 1);
    std::strncpy(address.szMask, mask, sizeof address.szMask - 1);
    std::strncpy(address.szGateway, "127.0.0.1", sizeof address.szGateway);
    return RVNA_SetDevIpAddr(SimFleetProcess::ipToNumber(device.ip), &account, &identity, &address);
}

int resetPassword(const SimFleetProcess::Device &device, const QString &code)
{
    RVNA_DEV_IDENTITY identity{};
    std::strncpy(identity.szSerial, device.serial.toUtf8().constData(), sizeof identity.szSerial - 1);
    std::strncpy(identity.szMac, device.mac.toUtf8().constData(), sizeof identity.szMac - 1);
    return RVNA_ResetDevPasswd(SimFleetProcess::ipToNumber(device.ip), &identity, code.toUtf8().constData());
}

// Answers the library delivers to its callback.
struct Delivered
{
    QMutex mutex;
    QList<RVNA_DEVICE_INFO> answers;

    static void callback(const RVNA_DEVICE_INFO *info, void *context)
    {
        auto *self = static_cast<Delivered *>(context);
        QMutexLocker lock(&self->mutex);
        self->answers.append(*info);
    }
    int count()
    {
        QMutexLocker lock(&mutex);
        return answers.size();
    }
    bool has(const QString &ip)
    {
        QMutexLocker lock(&mutex);
        for (const RVNA_DEVICE_INFO &info : answers) {
            if (QString::fromUtf8(info.szIp) == ip)
                return true;
        }
        return false;
    }
};

QByteArray answerDatagram(uint32_t id, const std::vector<std::string> &texts)
{
    // Built field by field so that it can hold what the encoder would refuse.
    QByteArray body;
    for (const std::string &text : texts)
        body += char(text.size()) + QByteArray::fromStdString(text);
    QByteArray out("CVDS");
    out += char(1);
    out += char(2);
    out += char(body.size() & 0xFF);
    out += char(body.size() >> 8);
    for (int i = 0; i < 4; ++i)
        out += char(id >> (8 * i));
    return out + body;
}

} // namespace

class TestDiscoverySecurity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void capturedRequestsAreWorthless();
    void nothingSecretOnTheWire();
    void discoveryFailuresShareTheLockout();
    void securityCodeGuessesAreLimited();
    void forgedAndMalformedAnswersAreDropped();
    void passwordResetEndsSessions();
    void challengeFloodLeavesOthersNonces();
    void resetCodeBurstLeavesOperatorLogin();
    void probesForgedFromVictimDrawFewAnswers();

private:
    QTemporaryDir m_dir;
    QString m_log;
};

void TestDiscoverySecurity::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_log = m_dir.filePath(QStringLiteral("discovery.log"));
    qputenv("CORVANE_DISCOVERY_PORT", DiscoveryPort);
    qputenv("CORVANE_DISCOVERY_LOG", m_log.toLocal8Bit());
    qputenv("CORVANE_ZELT_TIMEOUT_MS", "2000");
    QCOMPARE(RVNA_InitDiscovery(), RVNA_OK);
    QCOMPARE(ZELT_MW_Init(), DWORD(ZELT_MW_OK));
    QCOMPARE(TLSDK_Init(), DWORD(TLSDK_OK));
}

void TestDiscoverySecurity::cleanupTestCase()
{
    RVNA_SetDiscoveryCallBack(nullptr, nullptr);
    RVNA_UninitDiscovery();
}

void TestDiscoverySecurity::capturedRequestsAreWorthless()
{
    SimFleetProcess sim(simArgs());
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    const QString movedIp = SimFleetProcess::addressAt(First, 20);
    RawPeer peer;

    // A genuine request, as a capture would hold it.
    wire::DiscoveryMessage challenge = peer.challenge(device.ip, wire::DiscoveryType::SetAddrRequest);
    QCOMPARE(challenge.nonce.size(), wire::kDiscoveryNonceSize);
    const uint32_t id = peer.nextId();
    const QByteArray captured = signedWith(setAddressRequest(device, movedIp, id, challenge), challenge, "vorpe");
    // Checking a guess against it offline costs a key derivation of milliseconds.
    const auto capturedRequest = wire::decodeDiscovery(reinterpret_cast<const uint8_t *>(captured.constData()),
                                                       std::size_t(captured.size()));
    QVERIFY(capturedRequest);
    QElapsedTimer guessing;
    guessing.start();
    const QStringList guesses{"admin", "12345", "vorpa", "vorpe"};
    QStringList fitting;
    for (const QString &guess : guesses) {
        if (wire::checkRequestProof(*capturedRequest, wire::deriveDiscoveryKey(guess.toStdString(), challenge.salt,
                                                                                challenge.cost)))
            fitting << guess;
    }
    QVERIFY2(guessing.nsecsElapsed() >= qint64(guesses.size()) * 1000000,
             qPrintable(QStringLiteral("%1 ns for %2 guesses").arg(guessing.nsecsElapsed()).arg(guesses.size())));
    QCOMPARE(fitting, QStringList{"vorpe"});
    auto reply = peer.ask(captured, device.ip, wire::DiscoveryType::SetAddrReply, id);
    QVERIFY(reply);
    QCOMPARE(reply->result, uint32_t(RVNA_OK));
    SimFleetProcess::Device moved = device;
    moved.ip = movedIp;

    // Resent under its own id it gets the same reply and is not carried out again.
    reply = peer.ask(captured, movedIp, wire::DiscoveryType::SetAddrReply, id);
    QVERIFY(reply);
    QCOMPARE(reply->result, uint32_t(RVNA_OK));

    // Replayed under a new id with the same proof: refused, by the spent nonce and the proof alike.
    const uint32_t replayId = peer.nextId();
    reply = peer.ask(withId(captured, replayId), movedIp, wire::DiscoveryType::SetAddrReply, replayId);
    QVERIFY(reply);
    QVERIFY(reply->result != uint32_t(RVNA_OK));

    // A fresh nonce does not make an old proof fit, nor one for another address.
    const QString elsewhere = SimFleetProcess::addressAt(First, 21);
    challenge = peer.challenge(movedIp, wire::DiscoveryType::SetAddrRequest);
    wire::DiscoveryMessage forged = setAddressRequest(moved, elsewhere, peer.nextId(), challenge);
    forged.proof = wire::decodeDiscovery(reinterpret_cast<const uint8_t *>(captured.constData()),
                                         std::size_t(captured.size()))->proof;
    reply = peer.ask(bytes(wire::encodeDiscovery(forged)), movedIp, wire::DiscoveryType::SetAddrReply, forged.id);
    QVERIFY(reply);
    QCOMPARE(reply->result, uint32_t(RVNA_ERR_ACCOUNT));

    // Signed for one address and altered to another of the same length.
    challenge = peer.challenge(movedIp, wire::DiscoveryType::SetAddrRequest);
    const uint32_t alteredId = peer.nextId();
    QByteArray altered = signedWith(setAddressRequest(moved, elsewhere, alteredId, challenge), challenge, "vorpe");
    const QByteArray target = SimFleetProcess::addressAt(First, 22).toLatin1();
    QCOMPARE(target.size(), elsewhere.size());
    altered.replace(elsewhere.toLatin1(), target);
    reply = peer.ask(altered, movedIp, wire::DiscoveryType::SetAddrReply, alteredId);
    QVERIFY(reply);
    QCOMPARE(reply->result, uint32_t(RVNA_ERR_ACCOUNT));

    // The device stayed where the genuine request put it.
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", movedIp.toLatin1().constData(), 0, userId), DWORD(ZELT_MW_OK));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
    for (const QString &ip : {device.ip, elsewhere, QString::fromLatin1(target)})
        QCOMPARE(ZELT_MW_Login("admin", "vorpe", ip.toLatin1().constData(), 0, userId), DWORD(ZELT_MW_ERR_CONNECT));
}

void TestDiscoverySecurity::nothingSecretOnTheWire()
{
    // A hand-made device hands out nonces and records everything the library sends it.
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port());
    local.sin_addr.s_addr = htonl(SimFleetProcess::ipToNumber(FakeDeviceIp));
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
        if (fd >= 0)
            ::close(fd);
        CORVANE_DEVICE_SKIP("cannot bind the hand-made device's address");
    }
    timeval tick{0, 50000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
    std::atomic<bool> stop{false};
    QByteArray seen;
    std::thread device([&] {
        uint8_t buffer[1024];
        while (!stop) {
            sockaddr_in from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
            if (n <= 0)
                continue;
            seen.append(reinterpret_cast<const char *>(buffer), int(n));
            const auto message = wire::decodeDiscovery(buffer, std::size_t(n));
            if (!message || message->type != wire::DiscoveryType::ChallengeRequest)
                continue;
            wire::DiscoveryMessage challenge;
            challenge.type = wire::DiscoveryType::Challenge;
            challenge.id = message->id;
            challenge.nonce = wire::randomBytes(wire::kDiscoveryNonceSize);
            challenge.salt = wire::randomBytes(wire::kDiscoverySaltSize);
            challenge.cost = wire::kDiscoveryCost;
            const std::vector<uint8_t> out = wire::encodeDiscovery(challenge);
            ::sendto(fd, out.data(), out.size(), 0, reinterpret_cast<sockaddr *>(&from), fromSize);
        }
    });
    SimFleetProcess::Device fakeDevice;
    fakeDevice.ip = FakeDeviceIp;
    fakeDevice.serial = QStringLiteral("S1");
    fakeDevice.mac = QStringLiteral("001122aabbcc");
    const QString password = QStringLiteral("Secret-9f3");
    const QString code = QStringLiteral("73914682");
    const int setResult = setAddress(fakeDevice, password, OtherIp);
    const int resetResult = resetPassword(fakeDevice, code);
    stop = true;
    device.join();
    ::close(fd);
    QCOMPARE(setResult, RVNA_ERR_TIMEOUT);
    QCOMPARE(resetResult, RVNA_ERR_TIMEOUT);
    // The requests themselves did arrive: after the challenges, texts of the request.
    QVERIFY(seen.contains(OtherIp.toLatin1()));
    QVERIFY(!seen.contains(password.toLatin1()));
    QVERIFY(!seen.contains(QByteArray::fromStdString(wire::encodeDiscoveryPassword(password.toStdString()))));
    QVERIFY(!seen.contains(code.toLatin1()));
}

void TestDiscoverySecurity::discoveryFailuresShareTheLockout()
{
    SimFleetProcess sim(simArgs({QStringLiteral("--lockout-tries"), QStringLiteral("3")}));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    const QString newIp = SimFleetProcess::addressAt(First, 30);
    char userId[ZELT_MW_USERID_LEN] = {};
    const QByteArray ip = device.ip.toLatin1();

    // Two wrong passwords by discovery and one by login lock the account.
    QCOMPARE(setAddress(device, QStringLiteral("guess1"), newIp), RVNA_ERR_ACCOUNT);
    QCOMPARE(setAddress(device, QStringLiteral("guess2"), newIp), RVNA_ERR_ACCOUNT);
    QCOMPARE(ZELT_MW_Login("admin", "guess3", ip.constData(), 0, userId), DWORD(ZELT_MW_ERR_LOCKED));
    // Locked: the right password gets nowhere on either path, and the guess is not even checked.
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", ip.constData(), 0, userId), DWORD(ZELT_MW_ERR_LOCKED));
    QCOMPARE(setAddress(device, QStringLiteral("vorpe"), newIp), RVNA_ERR_ACCOUNT);
    QCOMPARE(setAddress(device, QStringLiteral("vorpe"), QStringLiteral("127.42.0.0")), RVNA_ERR_ACCOUNT);

    // The other device's account is its own.
    const SimFleetProcess::Device other = sim.devices().at(1);
    QCOMPARE(setAddress(other, QStringLiteral("vorpe"), newIp), RVNA_OK);
}

void TestDiscoverySecurity::securityCodeGuessesAreLimited()
{
    SimFleetProcess sim(simArgs({QStringLiteral("--lockout-tries"), QStringLiteral("3")}));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    QVERIFY(!device.securityCode.isEmpty());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(resetPassword(device, QStringLiteral("1234567%1").arg(i)), RVNA_ERR_SECURITY_CODE);
    // Even the right code is refused now, and so is a login of the account.
    QCOMPARE(resetPassword(device, device.securityCode), RVNA_ERR_SECURITY_CODE);
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", device.ip.toLatin1().constData(), 0, userId),
             DWORD(ZELT_MW_ERR_LOCKED));
    QCOMPARE(resetPassword(sim.devices().at(1), sim.devices().at(1).securityCode), RVNA_OK);
}

void TestDiscoverySecurity::forgedAndMalformedAnswersAreDropped()
{
    QUdpSocket fake;
    if (!fake.bind(QHostAddress(FakeDeviceIp), port()))
        CORVANE_DEVICE_SKIP("cannot bind the hand-made device's address");
    Delivered delivered;
    QCOMPARE(RVNA_SetDiscoveryCallBack(&Delivered::callback, &delivered), RVNA_OK);
    QCOMPARE(RVNA_SendProbe2(SimFleetProcess::ipToNumber(FakeDeviceIp), SimFleetProcess::ipToNumber(FakeDeviceIp)),
             RVNA_OK);
    QTRY_VERIFY_WITH_TIMEOUT(fake.hasPendingDatagrams(), TimeoutMs);
    QHostAddress prober;
    quint16 proberPort = 0;
    QByteArray probe(int(fake.pendingDatagramSize()), '\0');
    fake.readDatagram(probe.data(), probe.size(), &prober, &proberPort);
    const auto decoded = wire::decodeDiscovery(reinterpret_cast<const uint8_t *>(probe.constData()),
                                               std::size_t(probe.size()));
    QVERIFY(decoded && decoded->type == wire::DiscoveryType::Probe);
    const uint32_t id = decoded->id;

    const std::string self = FakeDeviceIp.toStdString();
    const std::string other = OtherIp.toStdString();
    const std::vector<std::vector<std::string>> dropped{
        {other, "ZC-2320", "S1", "001122aabbcc", "R", "V"},          // sent from another address
        {other, "ZC-2320", "S1", "001122aabbcc", "R", "V", self},    // "relayed" for an address we reach directly
        {"12,.40.0.10", "ZC-2320", "S1", "001122aabbcc", "R", "V"},  // no address
        {"127.42.5.1 ", "ZC-2320", "S1", "001122aabbcc", "R", "V"},  // trailing text
        {"127.42.5.256", "ZC-2320", "S1", "001122aabbcc", "R", "V"}, // number out of range
        {self, "ZC\x1b[2J", "S1", "001122aabbcc", "R", "V"},         // control characters
        {self, "ZC-2320", "S1", "00:11:22:aa:bb", "R", "V"},         // MAC of another form
        {self, "ZC-2320", "S1", "001122aabbcg", "R", "V"},           // MAC not hexadecimal
        {self, "ZC-2320", "S\xff\xfe", "001122aabbcc", "R", "V"},    // not UTF-8
    };
    for (const auto &texts : dropped)
        fake.writeDatagram(answerDatagram(id, texts), prober, proberPort);
    fake.writeDatagram(answerDatagram(id, {self, "ZC-2320", "S9", "001122AABBCC", "R", "V2"}), prober, proberPort);

    // Datagrams from one sender arrive in order: the valid one comes last.
    QTRY_COMPARE_WITH_TIMEOUT(delivered.count(), 1, TimeoutMs);
    QVERIFY(delivered.has(FakeDeviceIp));
    QCOMPARE(QByteArray(delivered.answers.at(0).szSerial), QByteArray("S9"));
    RVNA_SetDiscoveryCallBack(nullptr, &delivered);

    QFile log(m_log);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QCOMPARE(text.count("dropped answer from " + FakeDeviceIp.toLatin1()), int(dropped.size()));
    QVERIFY(text.contains("sent from another address than its own"));
    QVERIFY(text.contains("address is not a dotted IPv4 address"));
}

void TestDiscoverySecurity::passwordResetEndsSessions()
{
    SimFleetProcess sim({"--ipc", "1", "--nvr", "1", "--first", "127.170.1.10", "--port", DiscoveryPort});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().at(0);
    const SimFleetProcess::Device nvr = sim.devices().at(1);
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", ipc.ip.toLatin1().constData(), 0, userId), DWORD(ZELT_MW_OK));
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login(nvr.ip.toLatin1().constData(), 0, "admin", "vorpe", &handle, nullptr), DWORD(TLSDK_OK));
    std::vector<char> buffer(ZELT_QUERY_NET_SIZE + TLSDK_NETWORK_INFO_SIZE);
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_NETWORK, buffer.data()), DWORD(ZELT_MW_OK));
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_NETWORK, buffer.data()), DWORD(TLSDK_OK));

    QCOMPARE(resetPassword(ipc, ipc.securityCode), RVNA_OK);
    QCOMPARE(resetPassword(nvr, nvr.securityCode), RVNA_OK);
    QCOMPARE(ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_NETWORK, buffer.data()), DWORD(ZELT_MW_ERR_USERID));
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_NETWORK, buffer.data()), DWORD(TLSDK_ERR_SESSION));
    // With the new password the operator is back at once.
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", ipc.ip.toLatin1().constData(), 0, userId), DWORD(ZELT_MW_OK));
    QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
    TLSDK_Logout(handle);
}

// 32 sources asking for challenges, one each every millisecond, while the
// operator at another source changes a device's address ten times: each of
// those requests must find its nonce.
void TestDiscoverySecurity::challengeFloodLeavesOthersNonces()
{
    SimFleetProcess sim({"--ipc", "1", "--nvr", "0", "--first", "127.170.3.10", "--port", DiscoveryPort});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);

    std::vector<int> flooders;
    struct Close
    {
        std::vector<int> &fds;
        ~Close()
        {
            for (const int fd : fds)
                ::close(fd);
        }
    } closeFlooders{flooders};
    for (int i = 1; i <= 32; ++i) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0);
        QVERIFY(fd >= 0);
        flooders.push_back(fd);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(SimFleetProcess::ipToNumber(QStringLiteral("127.170.4.%1").arg(i)));
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local) == 0);
    }
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port());
    target.sin_addr.s_addr = htonl(SimFleetProcess::ipToNumber(device.ip));
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread flood([&] {
        wire::DiscoveryMessage request;
        request.type = wire::DiscoveryType::ChallengeRequest;
        request.purpose = wire::DiscoveryType::SetAddrRequest;
        auto next = std::chrono::steady_clock::now();
        const auto end = next + std::chrono::seconds(30);
        uint32_t id = 0;
        // Paced, so that the device's socket keeps room for the operator's datagrams.
        while (!stop && next < end) {
            for (const int fd : flooders) {
                request.id = ++id;
                const std::vector<uint8_t> out = wire::encodeDiscovery(request);
                if (::sendto(fd, out.data(), out.size(), 0, reinterpret_cast<sockaddr *>(&target), sizeof target) > 0)
                    ++sent;
            }
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
        }
    });
    QTRY_VERIFY(sent > 1000);
    const int before = sent;
    int succeeded = 0;
    for (int i = 0; i < 10; ++i)
        succeeded += setAddress(device, QStringLiteral("vorpe"), device.ip, i % 2 ? "255.0.0.0" : "255.255.0.0")
                     == RVNA_OK;
    const int during = sent - before;
    stop = true;
    flood.join();
    QVERIFY2(during > 500, qPrintable(QStringLiteral("%1 challenge requests during the calls").arg(during)));
    QCOMPARE(succeeded, 10);
}

void TestDiscoverySecurity::resetCodeBurstLeavesOperatorLogin()
{
    SimFleetProcess sim(simArgs());
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    // Serial and MAC come from any probe; the codes are guesses, five a second for three seconds.
    RawPeer attacker(QHostAddress(QStringLiteral("127.172.0.9")));
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 15; ++i) {
        QTest::qWait(int(qMax<qint64>(0, i * 200 - clock.elapsed())));
        const wire::DiscoveryMessage challenge = attacker.challenge(device.ip, wire::DiscoveryType::ResetPwdRequest);
        QCOMPARE(challenge.nonce.size(), wire::kDiscoveryNonceSize);
        wire::DiscoveryMessage request;
        request.type = wire::DiscoveryType::ResetPwdRequest;
        request.id = attacker.nextId();
        request.texts = {device.serial.toStdString(), device.mac.toStdString()};
        request.nonce = challenge.nonce;
        request.clientNonce = wire::randomBytes(wire::kDiscoveryNonceSize);
        const auto reply = attacker.ask(signedWith(request, challenge, QByteArray::number(10000000 + i).toStdString()),
                                        device.ip, wire::DiscoveryType::ResetPwdReply, request.id);
        QVERIFY(reply);
        QCOMPARE(reply->result, uint32_t(RVNA_ERR_SECURITY_CODE));
        // The operator, from another address, logs in throughout.
        if (i % 5 == 4) {
            char userId[ZELT_MW_USERID_LEN] = {};
            QCOMPARE(ZELT_MW_Login("admin", "vorpe", device.ip.toLatin1().constData(), 0, userId), DWORD(ZELT_MW_OK));
            QCOMPARE(ZELT_MW_Logout(userId), DWORD(ZELT_MW_OK));
        }
    }
}

void TestDiscoverySecurity::probesForgedFromVictimDrawFewAnswers()
{
    SimFleetProcess sim(simArgs({QStringLiteral("--ipc"), QStringLiteral("6"), QStringLiteral("--nvr"),
                                 QStringLiteral("2")}));
    CORVANE_START_SIMULATOR(sim);
    const int devices = sim.devices().size();
    QUdpSocket victim;
    QVERIFY(victim.bind(QHostAddress(QStringLiteral("127.172.0.20")), 0));
    victim.setMulticastInterface(QNetworkInterface::interfaceFromName(QStringLiteral("lo")));
    const int probes = 100;
    qint64 sent = 0;
    for (int i = 0; i < probes; ++i) {
        wire::DiscoveryMessage probe;
        probe.type = wire::DiscoveryType::Probe;
        probe.id = 0x5000u + uint32_t(i);
        sent += victim.writeDatagram(bytes(wire::encodeDiscovery(probe)),
                                     QHostAddress(QString::fromLatin1(wire::kDiscoveryGroup)), port());
    }
    QCOMPARE(sent, qint64(probes) * 13);

    // Answers come within their window; collect until the devices fall quiet.
    int answers = 0;
    qint64 received = 0;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < 1000) {
        if (!victim.hasPendingDatagrams() && !victim.waitForReadyRead(100))
            continue;
        QByteArray in(int(victim.pendingDatagramSize()), '\0');
        received += victim.readDatagram(in.data(), in.size());
        ++answers;
        quiet.restart();
    }
    // Every device answers, but a handful of times, not once per probe.
    QVERIFY2(answers >= devices && answers <= devices * 10,
             qPrintable(QStringLiteral("%1 answers, %2 bytes for %3 bytes of probes").arg(answers).arg(received).arg(sent)));
}

QTEST_GUILESS_MAIN(TestDiscoverySecurity)
#include "tst_discoverysecurity.moc"
