// The discovery library and service against the device simulator: finding
// fleets by both probes, lossy probes, address changes, password resets,
// and datagrams that must be dropped.
#include "devdiscovery.h"
#include "simfleetprocess.h"
#include "udpsocketstats.h"

#include "Discovery.h"

#include <QElapsedTimer>
#include <QtTest>
#include <QUdpSocket>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Discovery traffic of this test stays on a port of its own.
const char *const DiscoveryPort = "37851";
const QString FleetFirst = QStringLiteral("127.1.0.10");  // 300 devices
const QString LossyFirst = QStringLiteral("127.2.0.10");  // 300 devices, 10 % of probes ignored
const QString OpsFirst = QStringLiteral("127.3.0.10");    // small fleets for requests
const QString FakeDeviceIp = QStringLiteral("127.3.5.1"); // a hand-made device
const QString SecondFakeIp = QStringLiteral("127.3.5.2");
const QString OverflowFirst = QStringLiteral("127.2.8.10"); // 300 devices answering into a small buffer
const int FleetSize = 300;
const int FindTimeoutMs = 3000;

QStringList simArgs(int ipc, int nvr, const QString &first, const QStringList &extra = QStringList())
{
    return QStringList{QStringLiteral("--ipc"), QString::number(ipc), QStringLiteral("--nvr"), QString::number(nvr),
                       QStringLiteral("--first"), first, QStringLiteral("--port"), QLatin1String(DiscoveryPort)}
           + extra;
}

int countInRange(const CDevDiscovery &discovery, const QString &first, int count)
{
    int found = 0;
    for (const stDiscoveryBean &bean : discovery.results()) {
        if (SimFleetProcess::inRange(bean.strIp, first, count))
            ++found;
    }
    return found;
}

const stDiscoveryBean *findResult(const QList<stDiscoveryBean> &results, const QString &strIp)
{
    for (const stDiscoveryBean &bean : results) {
        if (bean.strIp == strIp)
            return &bean;
    }
    return nullptr;
}

QByteArray le32(quint32 value)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(value >> (8 * i));
    return out;
}

// A discovery datagram built by hand, so that the test can also build wrong ones.
QByteArray datagram(quint8 type, quint32 id, const QByteArray &body, quint16 claimedLength, char version = 1)
{
    QByteArray out("CVDS");
    out += version;
    out += char(type);
    out += char(claimedLength & 0xFF);
    out += char(claimedLength >> 8);
    out += le32(id);
    return out + body;
}

QByteArray texts(const QList<QByteArray> &list)
{
    QByteArray body;
    for (const QByteArray &text : list)
        body += char(text.size()) + text;
    return body;
}

QByteArray answer(quint32 id, const QList<QByteArray> &list)
{
    const QByteArray body = texts(list);
    return datagram(2, id, body, quint16(body.size()));
}

quint32 probeId(const QByteArray &probe)
{
    return quint32(quint8(probe[8])) | quint32(quint8(probe[9])) << 8 | quint32(quint8(probe[10])) << 16
           | quint32(quint8(probe[11])) << 24;
}

// Sets an environment variable for the life of the object.
class EnvGuard
{
public:
    EnvGuard(const char *name, const QByteArray &value) : m_name(name) { qputenv(name, value); }
    ~EnvGuard() { qunsetenv(m_name); }

private:
    const char *m_name;
};

// A discovery callback that holds up the library's receive thread at the
// first answer until the kernel reports answers dropped for a full buffer.
class StallingReceiver
{
public:
    static void callback(const RVNA_DEVICE_INFO *info, void *context)
    {
        static_cast<StallingReceiver *>(context)->receive(*info);
    }

    int countInRange(const QString &first, int count)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int found = 0;
        for (const QString &ip : qAsConst(m_ips))
            found += SimFleetProcess::inRange(ip, first, count) ? 1 : 0;
        return found;
    }
    qint64 dropsDuringStall() const { return m_dropsDuringStall; }

private:
    void receive(const RVNA_DEVICE_INFO &info)
    {
        if (!m_stalled) {
            m_stalled = true;
            const qint64 before = ownUdpSocketStats().drops;
            QElapsedTimer timer;
            timer.start();
            while (ownUdpSocketStats().drops < before + 20 && timer.elapsed() < 3000)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            m_dropsDuringStall = ownUdpSocketStats().drops - before;

        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ips.insert(QString::fromUtf8(info.szIp));
    }

    bool m_stalled = false; // touched on the receive thread only
    std::atomic<qint64> m_dropsDuringStall{0};
    std::mutex m_mutex;
    QSet<QString> m_ips;
};

} // namespace

class TestDiscoverySim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void multicastProbeFindsWholeFleet();
    void rangeProbeFindsWholeFleet();
    void lossyProbesStillFindEveryDevice_data();
    void lossyProbesStillFindEveryDevice();
    void silentDevicesStayHidden();
    void answersLostToFullBufferComeBack_data();
    void answersLostToFullBufferComeBack();
    void reprobeAsksSilentAddressesUnderNewId();
    void setAddressMovesDevice();
    void setAddressConflict();
    void setAddressRefusals_data();
    void setAddressRefusals();
    void deviceMovedOffLoopbackStillAnswersMulticast();
    void unansweredRequestTimesOut();
    void resetPasswordAndStateAcrossRuns();
    void libraryDropsMalformedAnswers();
    void simulatorSurvivesMalformedDatagrams();
    void cleanupTestCase();

private:
    SimFleetProcess *fleet();

    std::unique_ptr<SimFleetProcess> m_fleet;
    QTemporaryDir m_stateDir;
};

void TestDiscoverySim::initTestCase()
{
    qputenv("CORVANE_DISCOVERY_PORT", DiscoveryPort);
    // The hand-made native devices here read every datagram on their port:
    // the ONVIF search of a refresh goes to a port of its own.
    qputenv("CORVANE_ONVIF_DISCOVERY_PORT", "37861");
    QVERIFY(m_stateDir.isValid());
}

void TestDiscoverySim::cleanupTestCase()
{
    m_fleet.reset();
}

SimFleetProcess *TestDiscoverySim::fleet()
{
    if (!m_fleet) {
        m_fleet.reset(new SimFleetProcess(simArgs(200, 100, FleetFirst)));
        if (!m_fleet->start())
            return nullptr;
    }
    return m_fleet->isRunning() ? m_fleet.get() : nullptr;
}

void TestDiscoverySim::multicastProbeFindsWholeFleet()
{
    SimFleetProcess *sim = fleet();
    if (!sim)
        CORVANE_DEVICE_SKIP(m_fleet->errorString());
    QCOMPARE(sim->devices().size(), FleetSize);

    CDevDiscovery discovery;
    discovery.sendProbe1();
    QTRY_COMPARE_WITH_TIMEOUT(countInRange(discovery, FleetFirst, FleetSize), FleetSize, FindTimeoutMs);

    // Each answer carries the device's own identity.
    const QList<stDiscoveryBean> results = discovery.results();
    for (const SimFleetProcess::Device &device : sim->devices()) {
        const stDiscoveryBean *bean = findResult(results, device.ip);
        QVERIFY2(bean, qPrintable(device.ip));
        QCOMPARE(bean->strSerial, device.serial);
        QCOMPARE(bean->strMac, device.mac);
        QCOMPARE(bean->strModel, device.model);
        QVERIFY(!bean->strVersion.isEmpty());
    }
}

void TestDiscoverySim::rangeProbeFindsWholeFleet()
{
    SimFleetProcess *sim = fleet();
    if (!sim)
        CORVANE_DEVICE_SKIP(m_fleet->errorString());
    CDevDiscovery discovery;
    discovery.sendProbe2(FleetFirst, SimFleetProcess::addressAt(FleetFirst, FleetSize - 1));
    QTRY_COMPARE_WITH_TIMEOUT(countInRange(discovery, FleetFirst, FleetSize), FleetSize, FindTimeoutMs);
    // The list holds each address once.
    QSet<QString> ips;
    for (const stDiscoveryBean &bean : discovery.results())
        ips.insert(bean.strIp);
    QCOMPARE(ips.size(), discovery.resultCount());
}

void TestDiscoverySim::lossyProbesStillFindEveryDevice_data()
{
    QTest::addColumn<bool>("multicast");
    QTest::newRow("multicast") << true;
    QTest::newRow("range") << false;
}

void TestDiscoverySim::lossyProbesStillFindEveryDevice()
{
    QFETCH(bool, multicast);
    SimFleetProcess sim(simArgs(150, 150, LossyFirst, {QStringLiteral("--drop-probes"), QStringLiteral("10")}));
    CORVANE_START_SIMULATOR(sim);
    CDevDiscovery discovery;
    if (multicast)
        discovery.sendProbe1();
    else
        discovery.sendProbe2(LossyFirst, SimFleetProcess::addressAt(LossyFirst, FleetSize - 1));
    QTRY_COMPARE_WITH_TIMEOUT(countInRange(discovery, LossyFirst, FleetSize), FleetSize, FindTimeoutMs);
}

void TestDiscoverySim::silentDevicesStayHidden()
{
    const QString first = SimFleetProcess::addressAt(OpsFirst, 100);
    SimFleetProcess sim(simArgs(8, 2, first, {QStringLiteral("--silent"), QStringLiteral("3")}));
    CORVANE_START_SIMULATOR(sim);
    int silent = 0;
    for (const SimFleetProcess::Device &device : sim.devices())
        silent += device.silent ? 1 : 0;
    QCOMPARE(silent, 3);

    CDevDiscovery discovery;
    discovery.sendProbe1();
    discovery.sendProbe2(first, SimFleetProcess::addressAt(first, 9));
    QTRY_COMPARE_WITH_TIMEOUT(countInRange(discovery, first, 10), 7, FindTimeoutMs);
    for (const SimFleetProcess::Device &device : sim.devices())
        QCOMPARE(findResult(discovery.results(), device.ip) == nullptr, device.silent);
}

void TestDiscoverySim::answersLostToFullBufferComeBack_data()
{
    QTest::addColumn<bool>("multicast");
    QTest::newRow("multicast") << true;
    QTest::newRow("range") << false;
}

// Devices answer a probe id once; what a full receive buffer dropped is only
// found because the library asks again under a new id.
void TestDiscoverySim::answersLostToFullBufferComeBack()
{
    QFETCH(bool, multicast);
    SimFleetProcess sim(simArgs(150, 150, OverflowFirst));
    CORVANE_START_SIMULATOR(sim);
    const EnvGuard smallBuffer("CORVANE_DISCOVERY_RCVBUF", "16384");
    StallingReceiver receiver;
    QCOMPARE(RVNA_InitDiscovery(), RVNA_OK);
    RVNA_SetDiscoveryCallBack(&StallingReceiver::callback, &receiver);
    const int sent = multicast ? RVNA_SendProbe1(0)
                               : RVNA_SendProbe2(SimFleetProcess::ipToNumber(OverflowFirst),
                                                 SimFleetProcess::ipToNumber(OverflowFirst) + FleetSize - 1);
    QCOMPARE(sent, RVNA_OK);
    const bool allFound = QTest::qWaitFor(
        [&] { return receiver.countInRange(OverflowFirst, FleetSize) == FleetSize; }, FindTimeoutMs);
    const int found = receiver.countInRange(OverflowFirst, FleetSize);
    RVNA_SetDiscoveryCallBack(nullptr, &receiver);
    RVNA_UninitDiscovery();
    QVERIFY2(receiver.dropsDuringStall() > 0, "the receive buffer never overflowed");
    QVERIFY2(allFound, qPrintable(QStringLiteral("found %1 of %2").arg(found).arg(FleetSize)));
}

void TestDiscoverySim::reprobeAsksSilentAddressesUnderNewId()
{
    const quint16 port = quint16(QByteArray(DiscoveryPort).toUShort());
    QUdpSocket silent;
    QUdpSocket answering;
    if (!silent.bind(QHostAddress(FakeDeviceIp), port) || !answering.bind(QHostAddress(SecondFakeIp), port))
        CORVANE_DEVICE_SKIP("cannot bind the hand-made devices' addresses");
    CDevDiscovery discovery;
    discovery.sendProbe2(FakeDeviceIp, SecondFakeIp);

    QTRY_VERIFY_WITH_TIMEOUT(answering.hasPendingDatagrams(), FindTimeoutMs);
    QHostAddress prober;
    quint16 proberPort = 0;
    QByteArray probe(int(answering.pendingDatagramSize()), '\0');
    answering.readDatagram(probe.data(), probe.size(), &prober, &proberPort);
    QCOMPARE(probe.size(), 13);
    const quint32 firstId = probeId(probe);
    answering.writeDatagram(answer(firstId, {SecondFakeIp.toLatin1(), "M", "S", "001122aabbcc", "R", "V"}), prober,
                            proberPort);

    // The silent address gets the probe's copies, then one under a new id.
    QSet<quint32> ids;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (silent.hasPendingDatagrams()) {
                QByteArray datagram(int(silent.pendingDatagramSize()), '\0');
                silent.readDatagram(datagram.data(), datagram.size());
                if (datagram.size() == 13)
                    ids.insert(probeId(datagram));
            }
            return ids.size() >= 2;
        }(),
        FindTimeoutMs);
    QVERIFY(ids.contains(firstId));
    QCOMPARE(ids.size(), 2);
    QCOMPARE(discovery.resultCount(), 1);

    // The address that answered is not asked again.
    while (answering.hasPendingDatagrams()) {
        QByteArray datagram(int(answering.pendingDatagramSize()), '\0');
        answering.readDatagram(datagram.data(), datagram.size());
        QCOMPARE(probeId(datagram), firstId);
    }
}

void TestDiscoverySim::setAddressMovesDevice()
{
    SimFleetProcess sim(simArgs(3, 1, OpsFirst));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(1);
    const QString newIp = SimFleetProcess::addressAt(OpsFirst, 50);

    // Leading zeros are accepted as typed; the device keeps the plain form.
    const QString typedIp = newIp.section(QLatin1Char('.'), 0, 2) + QStringLiteral(".0")
                            + newIp.section(QLatin1Char('.'), 3);
    QCOMPARE(CDevDiscovery::setDevIpAddr(device.ip, QStringLiteral("vorpe"), QStringLiteral("admin"), device.serial,
                                         device.mac.toUpper(), typedIp, QStringLiteral("255.255.0.0"),
                                         QStringLiteral("127.3.0.1")),
             DWORD(RVNA_OK));

    CDevDiscovery discovery;
    discovery.sendProbe1();
    discovery.sendProbe2(OpsFirst, SimFleetProcess::addressAt(OpsFirst, 60));
    QTRY_VERIFY_WITH_TIMEOUT(findResult(discovery.results(), newIp) != nullptr, FindTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(countInRange(discovery, OpsFirst, 61), 4, FindTimeoutMs);
    QCOMPARE(findResult(discovery.results(), newIp)->strSerial, device.serial);
    QVERIFY(!findResult(discovery.results(), device.ip));

    // The device now takes requests at its new address only.
    QCOMPARE(CDevDiscovery::resetPassword(newIp, device.serial, device.mac, device.securityCode), DWORD(RVNA_OK));
}

void TestDiscoverySim::setAddressConflict()
{
    SimFleetProcess sim(simArgs(2, 1, OpsFirst));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    const QString takenIp = sim.devices().at(2).ip;
    QCOMPARE(CDevDiscovery::setDevIpAddr(device.ip, QStringLiteral("vorpe"), QStringLiteral("admin"), device.serial,
                                         device.mac, takenIp, QStringLiteral("255.0.0.0"), QStringLiteral("127.0.0.1")),
             DWORD(RVNA_ERR_ADDR_CONFLICT));
    // Nothing moved: both still answer at their old addresses.
    CDevDiscovery discovery;
    discovery.sendProbe2(OpsFirst, SimFleetProcess::addressAt(OpsFirst, 2));
    QTRY_COMPARE_WITH_TIMEOUT(countInRange(discovery, OpsFirst, 3), 3, FindTimeoutMs);
    QCOMPARE(findResult(discovery.results(), device.ip)->strSerial, device.serial);
    QCOMPARE(findResult(discovery.results(), takenIp)->strSerial, sim.devices().at(2).serial);
}

void TestDiscoverySim::setAddressRefusals_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("rightSerial");
    QTest::addColumn<bool>("rightMac");
    QTest::addColumn<QString>("newLast");   // last number of the new address
    QTest::addColumn<QString>("mask");
    QTest::addColumn<int>("expected");
    auto row = [](const char *name, const char *user, const char *password, bool rightSerial, bool rightMac,
                  const char *newLast, const char *mask, int expected) {
        QTest::newRow(name) << QString::fromLatin1(user) << QString::fromLatin1(password) << rightSerial << rightMac
                            << QString::fromLatin1(newLast) << QString::fromLatin1(mask) << expected;
    };
    row("wrong password", "admin", "vorpe1", true, true, "77", "255.0.0.0", RVNA_ERR_ACCOUNT);
    row("empty password", "admin", "", true, true, "77", "255.0.0.0", RVNA_ERR_ACCOUNT);
    row("wrong user", "root", "vorpe", true, true, "77", "255.0.0.0", RVNA_ERR_ACCOUNT);
    row("wrong serial", "admin", "vorpe", false, true, "77", "255.0.0.0", RVNA_ERR_IDENTITY);
    row("wrong MAC", "admin", "vorpe", true, false, "77", "255.0.0.0", RVNA_ERR_IDENTITY);
    row("host part 0", "admin", "vorpe", true, true, "0", "255.0.0.0", RVNA_ERR_BAD_ADDRESS);
    row("mask with a gap", "admin", "vorpe", true, true, "77", "255.0.255.0", RVNA_ERR_BAD_ADDRESS);
}

void TestDiscoverySim::setAddressRefusals()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, rightSerial);
    QFETCH(bool, rightMac);
    QFETCH(QString, newLast);
    QFETCH(QString, mask);
    QFETCH(int, expected);
    SimFleetProcess sim(simArgs(2, 0, OpsFirst));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    const QString otherSerial = sim.devices().at(1).serial;
    const QString otherMac = sim.devices().at(1).mac;
    const QString newIp = QStringLiteral("127.3.1.") + newLast;
    QCOMPARE(CDevDiscovery::setDevIpAddr(device.ip, password, user, rightSerial ? device.serial : otherSerial,
                                         rightMac ? device.mac : otherMac, newIp, mask, QStringLiteral("127.0.0.1")),
             DWORD(expected));

    CDevDiscovery discovery;
    discovery.sendProbe2(device.ip, device.ip);
    QTRY_VERIFY_WITH_TIMEOUT(findResult(discovery.results(), device.ip), FindTimeoutMs);
}

void TestDiscoverySim::deviceMovedOffLoopbackStillAnswersMulticast()
{
    SimFleetProcess sim(simArgs(1, 1, OpsFirst));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(1);
    // A documentation address, carried as data only: nothing is ever sent to it.
    const QString remoteIp = QStringLiteral("198.51.100.23");
    QCOMPARE(CDevDiscovery::setDevIpAddr(device.ip, QStringLiteral("vorpe"), QStringLiteral("admin"), device.serial,
                                         device.mac, remoteIp, QStringLiteral("255.255.255.0"),
                                         QStringLiteral("198.51.100.1")),
             DWORD(RVNA_OK));
    CDevDiscovery discovery;
    discovery.sendProbe1();
    QTRY_VERIFY_WITH_TIMEOUT(findResult(discovery.results(), remoteIp), FindTimeoutMs);
    QCOMPARE(findResult(discovery.results(), remoteIp)->strSerial, device.serial);
    // It answers through the simulator's shared socket, and is listed as answered by that host.
    QCOMPARE(findResult(discovery.results(), remoteIp)->strRelay, QStringLiteral("127.0.0.1"));
    QTRY_VERIFY_WITH_TIMEOUT(findResult(discovery.results(), sim.devices().at(0).ip), FindTimeoutMs);
    QVERIFY(!findResult(discovery.results(), device.ip));
}

void TestDiscoverySim::unansweredRequestTimesOut()
{
    // No device lives there; the call ends within its bound.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(CDevDiscovery::resetPassword(QStringLiteral("127.3.9.9"), QStringLiteral("S"),
                                          QStringLiteral("001122aabbcc"), QStringLiteral("1")),
             DWORD(RVNA_ERR_TIMEOUT));
    QVERIFY(timer.elapsed() < 5000);
}

void TestDiscoverySim::resetPasswordAndStateAcrossRuns()
{
    const QString state = m_stateDir.path();
    const QStringList args = simArgs(2, 1, OpsFirst, {QStringLiteral("--state"), state});
    SimFleetProcess::Device device;
    {
        SimFleetProcess sim(args);
        CORVANE_START_SIMULATOR(sim);
        device = sim.devices().at(2);
    }
    // Give the NVR a password of its own, as if its owner had changed it.
    QFile file(state + QStringLiteral("/discovery-fleet.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = file.readAll().split('\n');
    file.close();
    QList<QByteArray> fields = lines[3].split('\t');
    QCOMPARE(fields.value(5), device.serial.toUtf8());
    fields[10] = "s3cret";
    lines[3] = fields.join('\t');
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(lines.join('\n'));
    file.close();

    const QString newIp = SimFleetProcess::addressAt(OpsFirst, 30);
    {
        SimFleetProcess sim(args);
        CORVANE_START_SIMULATOR(sim);
        QCOMPARE(sim.findByIp(device.ip)->serial, device.serial); // same identity as before
        auto setAddr = [&](const QString &password) {
            return CDevDiscovery::setDevIpAddr(device.ip, password, QStringLiteral("admin"), device.serial,
                                               device.mac, newIp, QStringLiteral("255.0.0.0"),
                                               QStringLiteral("127.0.0.1"));
        };
        QCOMPARE(setAddr(QStringLiteral("vorpe")), DWORD(RVNA_ERR_ACCOUNT));
        QCOMPARE(CDevDiscovery::resetPassword(device.ip, device.serial, device.mac, QStringLiteral("00000000x")),
                 DWORD(RVNA_ERR_SECURITY_CODE));
        QCOMPARE(CDevDiscovery::resetPassword(device.ip, device.serial, device.mac.left(11) + QLatin1Char('x'),
                                              device.securityCode),
                 DWORD(RVNA_ERR_IDENTITY));
        QCOMPARE(setAddr(QStringLiteral("vorpe")), DWORD(RVNA_ERR_ACCOUNT));
        QCOMPARE(CDevDiscovery::resetPassword(device.ip, device.serial, device.mac, device.securityCode),
                 DWORD(RVNA_OK));
        QCOMPARE(setAddr(QStringLiteral("vorpe")), DWORD(RVNA_OK));
    }
    // The next run keeps the new address.
    SimFleetProcess sim(args);
    CORVANE_START_SIMULATOR(sim);
    QVERIFY(sim.findByIp(newIp));
    QCOMPARE(sim.findByIp(newIp)->serial, device.serial);
    QVERIFY(!sim.findByIp(device.ip));
}

void TestDiscoverySim::libraryDropsMalformedAnswers()
{
    QUdpSocket fake;
    if (!fake.bind(QHostAddress(FakeDeviceIp), quint16(QByteArray(DiscoveryPort).toUShort())))
        CORVANE_DEVICE_SKIP("cannot bind the hand-made device's address");
    CDevDiscovery discovery;
    discovery.sendProbe2(FakeDeviceIp, FakeDeviceIp);
    QTRY_VERIFY_WITH_TIMEOUT(fake.hasPendingDatagrams(), FindTimeoutMs);
    QHostAddress prober;
    quint16 proberPort = 0;
    QByteArray probe(fake.pendingDatagramSize(), '\0');
    fake.readDatagram(probe.data(), probe.size(), &prober, &proberPort);
    QCOMPARE(probe.size(), 13);
    QCOMPARE(probe.left(4), QByteArray("CVDS"));
    QCOMPARE(int(probe.at(5)), 1);
    const quint32 id = probeId(probe);

    const QByteArray ip = FakeDeviceIp.toLatin1();
    const QList<QByteArray> good{ip, "M", "S", "001122aabbcc", "R", "V"};
    const QByteArray valid = answer(id, good);
    QList<QByteArray> bad;
    bad << QByteArray() << QByteArray("CVDS") << valid.left(12) << valid.left(valid.size() - 1)
        << valid + 'x' << QByteArray(2000, 'x') << valid + QByteArray(600, '\0');
    QByteArray wrongMagic = valid;
    wrongMagic[0] = 'X';
    bad << wrongMagic << datagram(2, id, texts(good), quint16(texts(good).size()), 2);
    bad << datagram(9, id, texts(good), quint16(texts(good).size()));
    bad << datagram(2, id, texts(good), quint16(texts(good).size() + 40));
    bad << answer(id, {ip, "M", "S", "001122aabbcc", "R"});                        // five texts
    bad << answer(id, {ip, "M", QByteArray(64, 'S'), "001122aabbcc", "R", "V"});   // text too long for its slot
    bad << answer(id, {ip, QByteArray("M\0N", 3), "S", "001122aabbcc", "R", "V"}); // NUL inside a text
    bad << answer(id + 1, good);                                                  // no probe of ours
    QByteArray overrun = valid;
    overrun[12] = char(200); // first text claims more than the datagram holds
    bad << overrun;
    for (const QByteArray &payload : qAsConst(bad))
        fake.writeDatagram(payload, prober, proberPort);
    fake.writeDatagram(valid, prober, proberPort);

    QTRY_COMPARE_WITH_TIMEOUT(discovery.resultCount(), 1, FindTimeoutMs);
    // Datagrams from one sender arrive in order: everything before the valid one was seen and dropped.
    const stDiscoveryBean bean = discovery.results().at(0);
    QCOMPARE(bean.strIp, FakeDeviceIp);
    QCOMPARE(bean.strSerial, QStringLiteral("S"));
    QCOMPARE(bean.strVersion, QStringLiteral("V"));
}

void TestDiscoverySim::simulatorSurvivesMalformedDatagrams()
{
    SimFleetProcess sim(simArgs(1, 0, OpsFirst));
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device device = sim.devices().at(0);
    QUdpSocket sender;
    const QHostAddress target(device.ip);
    const quint16 port = quint16(QByteArray(DiscoveryPort).toUShort());
    const QByteArray request = datagram(3, 7, texts({"S", "M"}), quint16(texts({"S", "M"}).size()));
    const QList<QByteArray> bad{QByteArray(), QByteArray("CVDS"), QByteArray(3000, 'z'), request,
                                datagram(3, 8, QByteArray(1, char(250)), 1), datagram(1, 9, QByteArray(1, 7), 1),
                                datagram(5, 10, texts({"S", "M", QByteArray(65, 'c')}), 68)};
    for (const QByteArray &payload : bad)
        sender.writeDatagram(payload, target, port);

    CDevDiscovery discovery;
    discovery.sendProbe2(device.ip, device.ip);
    QTRY_VERIFY_WITH_TIMEOUT(findResult(discovery.results(), device.ip), FindTimeoutMs);
    QVERIFY(sim.isRunning());
    QCOMPARE(CDevDiscovery::resetPassword(device.ip, device.serial, device.mac, device.securityCode), DWORD(RVNA_OK));
}

QTEST_GUILESS_MAIN(TestDiscoverySim)
#include "tst_discoverysim.moc"
