// The maintenance library against simulated NVRs: login and its security,
// handles, device information, configuration and diagnostic files, restart
// and concurrent use. Simulator range: 127.40.0.x.
#include "Discovery.h"
#include "TolanNetSDK.h"
#include "tolan_cfg.h"

#include "frame.h"
#include "auth.h"
#include "devdiscovery.h"
#include "tolanproto.h"

#include "simfleetprocess.h"
#include "tcprecorder.h"

#include <asio/read.hpp>
#include <asio/write.hpp>

#include <arpa/inet.h>

#include <QCryptographicHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <set>
#include <thread>

using namespace corvane;

namespace {

const char *const kUser = "admin";
const char *const kPassword = "vorpe";
const char *const kFirst = "127.40.0.10";
const char *const kDiscoveryPort = "39540";

QString textAt(const QByteArray &buffer, int offset)
{
    return QString::fromLatin1(buffer.constData() + offset);
}

DWORD login(const QString &ip, DWORD &handle, const char *password = kPassword, const char *user = kUser,
            WORD port = TLSDK_DEFAULT_PORT, QByteArray *info = nullptr)
{
    QByteArray buffer(45, '\0');
    handle = 0;
    const DWORD result = TLSDK_Login(ip.toLatin1().constData(), port, user, password, &handle, buffer.data());
    if (info)
        *info = buffer;
    return result;
}

QByteArray devCfg(DWORD handle, DWORD command, int size, DWORD *result = nullptr)
{
    QByteArray buffer(size, '\0');
    const DWORD r = TLSDK_GetDevCfg(handle, command, buffer.data());
    if (result)
        *result = r;
    return buffer;
}

// Rewrites one line of an exported configuration file and renews its checksum.
QByteArray editConfig(const QByteArray &file, const QByteArray &key, const QByteArray &value)
{
    QList<QByteArray> lines = file.split('\n');
    QByteArray body;
    for (const QByteArray &line : lines) {
        if (line.isEmpty() || line.startsWith("checksum="))
            continue;
        body += (line.startsWith(key + "=") ? key + "=" + value : line) + '\n';
    }
    return body + "checksum=" + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + '\n';
}

} // namespace

class TestTolanNvr : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void loginReadsDeviceInformation();
    void closedHandlesAreRefused();
    void onlyNvrsAnswer();
    void wrongPasswordAndLockout();
    void passwordNeverOnTheWire();
    void proofCannotBeReplayed();
    void configRoundTrip();
    void foreignConfigRefused_data();
    void foreignConfigRefused();
    void diagnosticArchive();
    void restartEndsSessions();
    void concurrentLogins();
    void serviceFollowsAddressChange();

private:
    const SimFleetProcess::Device &nvr(int n) const { return *m_nvrs.at(n); }

    QTemporaryDir m_dir;
    std::unique_ptr<SimFleetProcess> m_sim;
    QList<const SimFleetProcess::Device *> m_nvrs;
    const SimFleetProcess::Device *m_ipc = nullptr;
};

void TestTolanNvr::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("CORVANE_TLSDK_TIMEOUT_MS", "2000");
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort);
    QCOMPARE(TLSDK_Init(), DWORD(TLSDK_OK));
    // Models are picked from the seed; several NVRs of one model are needed
    // for the configuration tests, so start enough of them.
    m_sim = std::make_unique<SimFleetProcess>(QStringList {
        "--ipc", "1", "--nvr", "8", "--first", kFirst, "--seed", "7", "--restart-ms", "800", "--port", kDiscoveryPort,
        "--lockout-tries", "3", "--lockout-ms", "1500", "--state", m_dir.filePath("state")});
    QDir().mkpath(m_dir.filePath("state"));
    CORVANE_START_SIMULATOR(*m_sim);
    for (const SimFleetProcess::Device &device : m_sim->devices()) {
        if (device.type == "NVR")
            m_nvrs.append(&device);
        else
            m_ipc = &device;
    }
    QCOMPARE(m_nvrs.size(), 8);
    QVERIFY(m_ipc);
}

void TestTolanNvr::cleanupTestCase()
{
    if (m_sim)
        m_sim->stop();
}

void TestTolanNvr::loginReadsDeviceInformation()
{
    DWORD handle = 0;
    QByteArray info;
    QCOMPARE(login(nvr(0).ip, handle, kPassword, kUser, TLSDK_DEFAULT_PORT, &info), DWORD(TLSDK_OK));
    QVERIFY(handle != 0);
    // The library writes 44 bytes, never into the 45th the caller may have.
    QCOMPARE(textAt(info, TLSDK_LOGIN_INFO_SERIAL), nvr(0).serial);
    QCOMPARE(int(info.at(44)), 0);

    DWORD result = 1;
    const QByteArray device = devCfg(handle, TLSDK_CFG_DEVICE_INFO, TLSDK_DEVICE_INFO_SIZE, &result);
    QCOMPARE(result, DWORD(TLSDK_OK));
    QCOMPARE(textAt(device, TLSDK_DEVINFO_MODEL), nvr(0).model);
    QCOMPARE(textAt(device, TLSDK_DEVINFO_SERIAL), nvr(0).serial);
    QVERIFY(textAt(device, TLSDK_DEVINFO_VERSION).startsWith("V"));

    const QByteArray net = devCfg(handle, TLSDK_CFG_NETWORK, TLSDK_NETWORK_INFO_SIZE, &result);
    QCOMPARE(result, DWORD(TLSDK_OK));
    QCOMPARE(textAt(net, TLSDK_NETINFO_IP), nvr(0).ip);
    QCOMPARE(textAt(net, TLSDK_NETINFO_MASK), QString("255.0.0.0"));
    QCOMPARE(textAt(net, TLSDK_NETINFO_GATEWAY), QString("127.0.0.1"));
    QCOMPARE(net.mid(TLSDK_NETINFO_MAC, TLSDK_NETINFO_MAC_LEN).toHex(), nvr(0).mac.toLatin1());

    QCOMPARE(TLSDK_GetDevCfg(handle, 5, nullptr), DWORD(TLSDK_ERR_UNSUPPORTED));
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_NETWORK, nullptr), DWORD(TLSDK_ERR_PARAM));
    QCOMPARE(TLSDK_Logout(handle), DWORD(TLSDK_OK));
}

void TestTolanNvr::closedHandlesAreRefused()
{
    DWORD first = 0, second = 0;
    QCOMPARE(login(nvr(0).ip, first), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(first), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(first), DWORD(TLSDK_ERR_HANDLE));
    DWORD result = 0;
    devCfg(first, TLSDK_CFG_DEVICE_INFO, TLSDK_DEVICE_INFO_SIZE, &result);
    QCOMPARE(result, DWORD(TLSDK_ERR_HANDLE));
    QCOMPARE(TLSDK_Restart(first), DWORD(TLSDK_ERR_HANDLE));
    QCOMPARE(TLSDK_ExportCfg(first, qPrintable(m_dir.filePath("never.cfg"))), DWORD(TLSDK_ERR_HANDLE));
    QVERIFY(!QFile::exists(m_dir.filePath("never.cfg")));

    // A new login never gets the closed number back.
    QCOMPARE(login(nvr(0).ip, second), DWORD(TLSDK_OK));
    QVERIFY(second != first);
    QCOMPARE(TLSDK_Logout(second), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(0), DWORD(TLSDK_ERR_HANDLE));
}

void TestTolanNvr::onlyNvrsAnswer()
{
    DWORD handle = 7;
    // An IPC has no maintenance service: the login fallback must fail there.
    QCOMPARE(login(m_ipc->ip, handle), DWORD(TLSDK_ERR_CONNECT));
    QCOMPARE(handle, DWORD(0));
    QCOMPARE(login("127.40.0.250", handle), DWORD(TLSDK_ERR_CONNECT));
    QCOMPARE(login("no.such.host", handle), DWORD(TLSDK_ERR_PARAM));
    if (qgetenv("CORVANE_LOOPBACK_ONLY") == "1")
        QCOMPARE(login("192.0.2.10", handle), DWORD(TLSDK_ERR_REFUSED));
    QCOMPARE(TLSDK_Login(nullptr, 6060, kUser, kPassword, &handle, nullptr), DWORD(TLSDK_ERR_PARAM));
    QCOMPARE(TLSDK_Login(qPrintable(nvr(0).ip), 6060, kUser, kPassword, nullptr, nullptr), DWORD(TLSDK_ERR_PARAM));
}

void TestTolanNvr::wrongPasswordAndLockout()
{
    const QString ip = nvr(1).ip;
    DWORD handle = 0;
    QCOMPARE(login(ip, handle, "wrong"), DWORD(TLSDK_ERR_PASSWORD));
    QCOMPARE(login(ip, handle, ""), DWORD(TLSDK_ERR_PASSWORD));
    // The third wrong password in a row locks the account (--lockout-tries 3).
    QCOMPARE(login(ip, handle, "VORPE"), DWORD(TLSDK_ERR_LOCKED));
    QCOMPARE(login(ip, handle, kPassword), DWORD(TLSDK_ERR_LOCKED));
    QCOMPARE(handle, DWORD(0));
    // Other devices are not affected; the lock runs out by itself.
    QCOMPARE(login(nvr(2).ip, handle), DWORD(TLSDK_OK));
    TLSDK_Logout(handle);
    QTRY_COMPARE_WITH_TIMEOUT(login(ip, handle), DWORD(TLSDK_OK), 10000);
    TLSDK_Logout(handle);

    // A wrong user name is answered like a wrong password.
    QCOMPARE(login(ip, handle, kPassword, "operator"), DWORD(TLSDK_ERR_PASSWORD));
}

void TestTolanNvr::passwordNeverOnTheWire()
{
    TcpRecorder recorder;
    QVERIFY(recorder.start("127.40.0.1", nvr(3).ip.toStdString(), TLSDK_DEFAULT_PORT));
    DWORD handle = 0;
    QCOMPARE(TLSDK_Login("127.40.0.1", recorder.port(), kUser, kPassword, &handle, nullptr), DWORD(TLSDK_OK));
    const QByteArray capture = recorder.recorded();
    // The capture is real, yet shows no frame, user name or token in clear.
    QVERIFY(capture.size() > 1000);
    QVERIFY(!capture.contains("CVNW"));
    QVERIFY(!capture.contains(kUser));
    QVERIFY(!capture.contains(kPassword));
    QVERIFY(!capture.contains(QByteArray(kPassword).toHex()));
    QVERIFY(!capture.contains(QByteArray(kPassword).toBase64()));
    TLSDK_Logout(handle);
}

void TestTolanNvr::proofCannotBeReplayed()
{
    const std::string ip = nvr(4).ip.toStdString();
    const auto challenge = [](wire::FrameClient &client, std::vector<uint8_t> &nonce) {
        wire::Frame reply;
        if (client.request(tolan::OpChallenge, wire::WireWriter().str(kUser).take(), reply) != wire::FrameError::None)
            return false;
        wire::WireReader reader(reply.payload);
        uint32_t result = 1;
        return reader.u32(result) && result == 0 && reader.bytes(nonce, 64);
    };
    const auto send = [](wire::FrameClient &client, const std::vector<uint8_t> &proof) {
        wire::Frame reply;
        if (client.request(tolan::OpLogin, wire::WireWriter().str(kUser).bytes(proof).bytes(wire::makeNonce()).take(),
                           reply)
            != wire::FrameError::None)
            return uint32_t(~0u);
        wire::WireReader reader(reply.payload);
        uint32_t result = ~0u;
        reader.u32(result);
        return result;
    };

    wire::FrameClient first(std::chrono::milliseconds(2000));
    QCOMPARE(first.connect(ip, tolan::kDefaultPort), wire::FrameError::None);
    std::vector<uint8_t> nonce;
    QVERIFY(challenge(first, nonce));
    const std::vector<uint8_t> proof = wire::loginProof(kPassword, nonce, kUser);
    QCOMPARE(send(first, proof), uint32_t(TLSDK_OK));
    // The nonce was used up: the same proof again on the same connection...
    QCOMPARE(send(first, proof), uint32_t(TLSDK_ERR_PROTOCOL));
    // ...or after a new challenge on another connection is refused.
    wire::FrameClient second(std::chrono::milliseconds(2000));
    QCOMPARE(second.connect(ip, tolan::kDefaultPort), wire::FrameError::None);
    std::vector<uint8_t> other;
    QVERIFY(challenge(second, other));
    QVERIFY(other != nonce);
    QCOMPARE(send(second, proof), uint32_t(TLSDK_ERR_PASSWORD));
    // Requests need a session token the device issued.
    wire::Frame reply;
    const std::vector<uint8_t> invented = wire::WireWriter()
                                              .bytes(std::vector<uint8_t>(tolan::kTokenSize, 0))
                                              .u64(1)
                                              .bytes(std::vector<uint8_t>(wire::kProofSize, 0))
                                              .take();
    QCOMPARE(second.request(tolan::OpRestart, invented, reply), wire::FrameError::None);
    QCOMPARE(reply.payload.at(0), uint8_t(TLSDK_ERR_SESSION));
}

void TestTolanNvr::configRoundTrip()
{
    // Two NVRs of the same model: one's configuration goes to the other.
    int a = -1, b = -1;
    for (int i = 5; i < m_nvrs.size() && b < 0; ++i) {
        for (int j = 5; j < i && b < 0; ++j) {
            if (nvr(i).model == nvr(j).model) {
                a = j;
                b = i;
            }
        }
    }
    if (b < 0)
        CORVANE_DEVICE_SKIP("no two NVRs of one model in this fleet");
    DWORD ha = 0, hb = 0;
    QCOMPARE(login(nvr(a).ip, ha), DWORD(TLSDK_OK));
    QCOMPARE(login(nvr(b).ip, hb), DWORD(TLSDK_OK));

    const QString exported = m_dir.filePath("Config.cfg");
    QCOMPARE(TLSDK_ExportCfg(ha, qPrintable(exported)), DWORD(TLSDK_OK));
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    file.close();
    QVERIFY(original.startsWith("CORVANE-NVR-CONFIG 1\n"));
    QVERIFY(original.contains("model=" + nvr(a).model.toLatin1()));

    // As exported, the file goes back in unchanged.
    QCOMPARE(TLSDK_ImportCfg(ha, qPrintable(exported)), DWORD(TLSDK_OK));

    const QString edited = m_dir.filePath("edited.cfg");
    QFile out(edited);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(editConfig(original, "device.name", "Lobby"));
    out.close();
    QCOMPARE(TLSDK_ImportCfg(hb, qPrintable(edited)), DWORD(TLSDK_OK));
    QCOMPARE(textAt(devCfg(hb, TLSDK_CFG_DEVICE_INFO, TLSDK_DEVICE_INFO_SIZE), TLSDK_DEVINFO_NAME), QString("Lobby"));
    // Exporting again gives the imported settings back.
    const QString again = m_dir.filePath("again.cfg");
    QCOMPARE(TLSDK_ExportCfg(hb, qPrintable(again)), DWORD(TLSDK_OK));
    QFile back(again);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QVERIFY(back.readAll().contains("device.name=Lobby\n"));
    // An export into a folder that does not exist fails and leaves nothing.
    QCOMPARE(TLSDK_ExportCfg(ha, qPrintable(m_dir.filePath("none/Config.cfg"))), DWORD(TLSDK_ERR_FILE));
    TLSDK_Logout(ha);
    TLSDK_Logout(hb);
}

void TestTolanNvr::foreignConfigRefused_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<uint>("expected");
    QTest::newRow("flipped byte") << 0 << uint(TLSDK_ERR_CONFIG_FILE);
    QTest::newRow("other model") << 1 << uint(TLSDK_ERR_CONFIG_FILE);
    QTest::newRow("out of range") << 2 << uint(TLSDK_ERR_CONFIG_FILE);
    QTest::newRow("not a config file") << 3 << uint(TLSDK_ERR_CONFIG_FILE);
    QTest::newRow("empty") << 4 << uint(TLSDK_ERR_CONFIG_FILE);
    QTest::newRow("too large") << 5 << uint(TLSDK_ERR_CONFIG_FILE);
    QTest::newRow("missing") << 6 << uint(TLSDK_ERR_FILE);
}

void TestTolanNvr::foreignConfigRefused()
{
    QFETCH(int, kind);
    QFETCH(uint, expected);
    DWORD handle = 0;
    QCOMPARE(login(nvr(0).ip, handle), DWORD(TLSDK_OK));
    const QString path = m_dir.filePath(QString("foreign%1.cfg").arg(kind));
    QCOMPARE(TLSDK_ExportCfg(handle, qPrintable(path)), DWORD(TLSDK_OK));
    const QByteArray before = devCfg(handle, TLSDK_CFG_NETWORK, TLSDK_NETWORK_INFO_SIZE);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray content = file.readAll();
    file.close();
    switch (kind) {
    case 0: content.replace("net.mtu=1500", "net.mtu=1501"); break;
    case 1: content = editConfig(content, "model", "ZN-0000"); break;
    case 2: content = editConfig(content, "port.http", "70000"); break;
    case 3: content = QByteArray(300, 'x'); break;
    case 4: content.clear(); break;
    case 5: content = QByteArray(1024 * 1024, '\n'); break;
    case 6: QVERIFY(file.remove()); break;
    }
    if (kind != 6) {
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
    }
    QCOMPARE(TLSDK_ImportCfg(handle, qPrintable(path)), DWORD(expected));
    // Nothing changed on the device.
    QCOMPARE(devCfg(handle, TLSDK_CFG_NETWORK, TLSDK_NETWORK_INFO_SIZE), before);
    TLSDK_Logout(handle);
}

void TestTolanNvr::diagnosticArchive()
{
    DWORD handle = 0;
    QCOMPARE(login(nvr(0).ip, handle), DWORD(TLSDK_OK));
    const QString folder = m_dir.filePath("diag");
    QVERIFY(QDir().mkpath(folder));
    const QString archive = folder + "/mtinfo.tgz";
    QCOMPARE(TLSDK_ExportMtInfo(handle, qPrintable(archive)), DWORD(TLSDK_OK));

    QProcess tar;
    tar.setWorkingDirectory(folder);
    tar.start("tar", {"-xzf", archive});
    QVERIFY(tar.waitForFinished(10000));
    QCOMPARE(tar.exitCode(), 0);
    QFile device(folder + "/mtinfo/device.txt");
    QVERIFY(device.open(QIODevice::ReadOnly));
    const QByteArray text = device.readAll();
    QVERIFY(text.contains("serial: " + nvr(0).serial.toLatin1()));
    QFile log(folder + "/mtinfo/system.log");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray lines = log.readAll();
    QVERIFY(lines.contains("logged in"));
    QVERIFY(!lines.contains(kPassword));
    QVERIFY(QFile::exists(folder + "/mtinfo/config.cfg"));

    QCOMPARE(TLSDK_ExportMtInfo(handle, qPrintable(m_dir.filePath("missing/mtinfo.tgz"))), DWORD(TLSDK_ERR_FILE));
    QCOMPARE(TLSDK_ExportMtInfo(handle, nullptr), DWORD(TLSDK_ERR_PARAM));
    TLSDK_Logout(handle);
}

void TestTolanNvr::restartEndsSessions()
{
    const QString ip = nvr(2).ip;
    DWORD handle = 0, other = 0;
    QCOMPARE(login(ip, handle), DWORD(TLSDK_OK));
    QCOMPARE(login(ip, other), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Restart(handle), DWORD(TLSDK_OK));
    // Offline for --restart-ms: nothing answers.
    DWORD fresh = 0;
    QCOMPARE(login(ip, fresh), DWORD(TLSDK_ERR_CONNECT));
    QTRY_COMPARE_WITH_TIMEOUT(login(ip, fresh), DWORD(TLSDK_OK), 10000);
    // Sessions from before the restart are gone on the device; the library
    // still knows the handle, so it says the session ended.
    DWORD result = 0;
    devCfg(other, TLSDK_CFG_DEVICE_INFO, TLSDK_DEVICE_INFO_SIZE, &result);
    QCOMPARE(result, DWORD(TLSDK_ERR_SESSION));
    devCfg(fresh, TLSDK_CFG_DEVICE_INFO, TLSDK_DEVICE_INFO_SIZE, &result);
    QCOMPARE(result, DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Logout(other), DWORD(TLSDK_OK));
    TLSDK_Logout(handle);
    TLSDK_Logout(fresh);
}

void TestTolanNvr::concurrentLogins()
{
    constexpr int kThreads = 8;
    constexpr int kRounds = 6;
    std::mutex mutex;
    std::set<DWORD> handles;
    std::atomic<int> failures {0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const SimFleetProcess::Device &device = nvr(t % 2 == 0 ? 0 : 3);
            for (int i = 0; i < kRounds; ++i) {
                DWORD handle = 0;
                if (login(device.ip, handle) != TLSDK_OK) {
                    ++failures;
                    continue;
                }
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (!handles.insert(handle).second)
                        ++failures;
                }
                DWORD result = 1;
                const QByteArray info = devCfg(handle, TLSDK_CFG_DEVICE_INFO, TLSDK_DEVICE_INFO_SIZE, &result);
                if (result != TLSDK_OK || textAt(info, TLSDK_DEVINFO_SERIAL) != device.serial)
                    ++failures;
                if (TLSDK_Logout(handle) != TLSDK_OK)
                    ++failures;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(failures.load(), 0);
    QCOMPARE(int(handles.size()), kThreads * kRounds);
}

void TestTolanNvr::serviceFollowsAddressChange()
{
    const SimFleetProcess::Device &device = nvr(7);
    const QByteArray newIp = "127.40.0.200";
    QCOMPARE(RVNA_InitDiscovery(), RVNA_OK);
    RVNA_DEV_ACCOUNT account {};
    QCOMPARE(CDevDiscovery::makeAccount(kUser, kPassword, account), DWORD(0));
    RVNA_DEV_IDENTITY identity {};
    std::strcpy(identity.szSerial, device.serial.toLatin1().constData());
    std::strcpy(identity.szMac, device.mac.toLatin1().constData());
    RVNA_DEV_NETADDR address {};
    std::strcpy(address.szIp, newIp.constData());
    std::strcpy(address.szMask, "255.255.0.0");
    std::strcpy(address.szGateway, "127.40.0.1");
    const int result = RVNA_SetDevIpAddr(ntohl(inet_addr(device.ip.toLatin1().constData())), &account,
                                         &identity, &address);
    RVNA_UninitDiscovery();
    QCOMPARE(result, RVNA_OK);

    // The maintenance service moves with the device.
    DWORD handle = 0;
    QTRY_COMPARE_WITH_TIMEOUT(login(newIp, handle), DWORD(TLSDK_OK), 5000);
    const QByteArray net = devCfg(handle, TLSDK_CFG_NETWORK, TLSDK_NETWORK_INFO_SIZE);
    QCOMPARE(textAt(net, TLSDK_NETINFO_IP), QString(newIp));
    QCOMPARE(textAt(net, TLSDK_NETINFO_MASK), QString("255.255.0.0"));
    QCOMPARE(textAt(net, TLSDK_NETINFO_GATEWAY), QString("127.40.0.1"));
    TLSDK_Logout(handle);
    QCOMPARE(login(device.ip, handle), DWORD(TLSDK_ERR_CONNECT));
}

QTEST_MAIN(TestTolanNvr)
#include "tst_tolan_nvr.moc"
