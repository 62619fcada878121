// Firmware upgrade of simulated NVRs through the maintenance library, state
// kept across simulator runs, and devices that stop or die mid-call.
// Simulator range: 127.41.0.x.
#include "TolanNetSDK.h"
#include "tolan_cfg.h"

#include "simfleetprocess.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <future>
#include <sys/types.h>

namespace {

const char *const kUser = "admin";
const char *const kPassword = "vorpe";
const int kTimeoutMs = 2500;    // CORVANE_TLSDK_TIMEOUT_MS for this test
const int kUpgradeMs = 1200;    // --upgrade-ms of the simulator

QStringList simArguments(const QString &first, const QString &stateDir)
{
    return {"--nvr", "4", "--first", first, "--upgrade-ms", QString::number(kUpgradeMs),
            "--state", stateDir};
}

DWORD login(const QString &ip, DWORD &handle)
{
    handle = 0;
    return TLSDK_Login(ip.toLatin1().constData(), TLSDK_DEFAULT_PORT, kUser, kPassword, &handle, nullptr);
}

QString version(DWORD handle)
{
    QByteArray buffer(TLSDK_DEVICE_INFO_SIZE, '\0');
    if (TLSDK_GetDevCfg(handle, TLSDK_CFG_DEVICE_INFO, buffer.data()) != TLSDK_OK)
        return QString();
    return QString::fromLatin1(buffer.constData() + TLSDK_DEVINFO_VERSION);
}

DWORD state(DWORD upgrade)
{
    DWORD value = 0;
    return TLSDK_GetUpgradeState(upgrade, &value) == TLSDK_OK ? value : 0xffffffffu;
}

DWORD progress(DWORD upgrade)
{
    DWORD value = 0xffffffffu;
    TLSDK_GetUpgradeProgress(upgrade, &value);
    return value;
}

} // namespace

class TestTolanUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void makeFirmwareChecksArguments();
    void upgradeFinishes();
    void failedUpgradeReportsState3();
    void stalledUpgradeShowsNoProgress();
    void hungUpgradeNeverFinishes();
    void badFirmwareRefused_data();
    void badFirmwareRefused();
    void stateKeptAcrossRuns();
    void stoppedDeviceTimesOut();
    void killedDeviceFailsAtOnce();

private:
    QString firmware(const QString &model, const QString &version);
    QString ip(int n) const { return m_sim->devices().at(n).ip; }
    // A sound upgrade of device 1 from start to end: the time any upgrade
    // needs, measured instead of assumed.
    void runControlUpgrade(const QString &version);
    QString model(int n) const { return m_sim->devices().at(n).model; }

    QTemporaryDir m_dir;
    std::unique_ptr<SimFleetProcess> m_sim;
};

void TestTolanUpgrade::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("CORVANE_TLSDK_TIMEOUT_MS", QByteArray::number(kTimeoutMs));
    QCOMPARE(TLSDK_Init(), DWORD(TLSDK_OK));
    QVERIFY(QDir().mkpath(m_dir.filePath("state")));
    m_sim = std::make_unique<SimFleetProcess>(simArguments("127.41.0.10", m_dir.filePath("state")));
    CORVANE_START_SIMULATOR(*m_sim);
    QCOMPARE(m_sim->devices().size(), 4);
}

void TestTolanUpgrade::cleanupTestCase()
{
    if (m_sim)
        m_sim->stop();
}

void TestTolanUpgrade::runControlUpgrade(const QString &version)
{
    DWORD handle = 0, upgrade = 0;
    QCOMPARE(login(ip(1), handle), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(firmware(model(1), version)), &upgrade), DWORD(TLSDK_OK));
    QTRY_COMPARE_WITH_TIMEOUT(state(upgrade), DWORD(TLSDK_UPGRADE_FINISHED), 10000);
    TLSDK_CloseUpgrade(upgrade);
    TLSDK_Logout(handle);
}

QString TestTolanUpgrade::firmware(const QString &model, const QString &version)
{
    const QString path = m_dir.filePath(QString("%1-%2.bin").arg(model, version).replace(' ', '_'));
    if (SimFleetProcess::makeFirmware({"--model", model, "--version", version, path}) != 0)
        return QString();
    return path;
}

void TestTolanUpgrade::makeFirmwareChecksArguments()
{
    QCOMPARE(SimFleetProcess::makeFirmware({"--model", "ZN-3108", m_dir.filePath("x.bin")}), 2);
    QCOMPARE(SimFleetProcess::makeFirmware({"--model", "ZN-3108", "--version", QString(40, 'V'), m_dir.filePath("x.bin")}), 2);
    QCOMPARE(SimFleetProcess::makeFirmware({"--model", "ZN-3108", "--version", "V1", "--size", "12x", m_dir.filePath("x.bin")}), 2);
    QVERIFY(!QFile::exists(m_dir.filePath("x.bin")));
    QCOMPARE(SimFleetProcess::makeFirmware({"--model", "ZN-3108", "--version", "V1", "--size", "100", m_dir.filePath("x.bin")}), 0);
    QCOMPARE(QFileInfo(m_dir.filePath("x.bin")).size(), qint64(112 + 100));
    QCOMPARE(SimFleetProcess::makeFirmware({"--model", "ZN-3108", "--version", "V1", m_dir.filePath("none/x.bin")}), 1);
}

void TestTolanUpgrade::upgradeFinishes()
{
    DWORD handle = 0, upgrade = 0;
    QCOMPARE(login(ip(0), handle), DWORD(TLSDK_OK));
    const QString file = firmware(model(0), "V5.0.0 build 261207");
    QVERIFY(!file.isEmpty());
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(file), &upgrade), DWORD(TLSDK_OK));
    QVERIFY(upgrade != 0 && upgrade != handle);
    QCOMPARE(state(upgrade), DWORD(TLSDK_UPGRADE_RUNNING));
    // Polled like the maintenance worker: running with rising progress, then 1.
    DWORD last = 0;
    int polls = 0;
    while (state(upgrade) == TLSDK_UPGRADE_RUNNING && polls < 200) {
        const DWORD now = progress(upgrade);
        QVERIFY(now >= last && now <= 100);
        last = now;
        ++polls;
        QTest::qWait(30);
    }
    QVERIFY(polls > 2);
    QVERIFY(last > 0);
    QCOMPARE(state(upgrade), DWORD(TLSDK_UPGRADE_FINISHED));
    QCOMPARE(progress(upgrade), DWORD(100));
    QCOMPARE(version(handle), QString("V5.0.0 build 261207"));

    QCOMPARE(TLSDK_CloseUpgrade(upgrade), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_CloseUpgrade(upgrade), DWORD(TLSDK_ERR_HANDLE));
    DWORD value = 0;
    QCOMPARE(TLSDK_GetUpgradeState(upgrade, &value), DWORD(TLSDK_ERR_HANDLE));
    // Handles of the two kinds are not interchangeable.
    QCOMPARE(TLSDK_GetUpgradeState(handle, &value), DWORD(TLSDK_ERR_HANDLE));
    QCOMPARE(TLSDK_Restart(upgrade), DWORD(TLSDK_ERR_HANDLE));
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::failedUpgradeReportsState3()
{
    DWORD handle = 0, upgrade = 0;
    QCOMPARE(login(ip(1), handle), DWORD(TLSDK_OK));
    const QString before = version(handle);
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(firmware(model(1), "V5.0.1-fail")), &upgrade), DWORD(TLSDK_OK));
    QTRY_COMPARE_WITH_TIMEOUT(state(upgrade), DWORD(TLSDK_UPGRADE_FAILED), 10000);
    QCOMPARE(version(handle), before);
    QCOMPARE(TLSDK_CloseUpgrade(upgrade), DWORD(TLSDK_OK));
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::stalledUpgradeShowsNoProgress()
{
    DWORD handle = 0, upgrade = 0, second = 0;
    QCOMPARE(login(ip(2), handle), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(firmware(model(2), "V5.0.2-stall")), &upgrade), DWORD(TLSDK_OK));
    const QString good = firmware(model(2), "V5.0.3");
    // One upgrade at a time.
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(good), &second), DWORD(TLSDK_ERR_BUSY));
    QCOMPARE(second, DWORD(0));
    // A sound upgrade started after it has finished, and this one still shows no progress.
    runControlUpgrade("V5.0.5");
    QCOMPARE(state(upgrade), DWORD(TLSDK_UPGRADE_RUNNING));
    QCOMPARE(progress(upgrade), DWORD(0));
    // Closing abandons it; the device takes a new upgrade.
    QCOMPARE(TLSDK_CloseUpgrade(upgrade), DWORD(TLSDK_OK));
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(good), &second), DWORD(TLSDK_OK));
    QTRY_COMPARE_WITH_TIMEOUT(state(second), DWORD(TLSDK_UPGRADE_FINISHED), 10000);
    QCOMPARE(version(handle), QString("V5.0.3"));
    TLSDK_CloseUpgrade(second);
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::hungUpgradeNeverFinishes()
{
    DWORD handle = 0, upgrade = 0;
    QCOMPARE(login(ip(3), handle), DWORD(TLSDK_OK));
    const QString before = version(handle);
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(firmware(model(3), "V5.0.4-hang")), &upgrade), DWORD(TLSDK_OK));
    QTRY_VERIFY_WITH_TIMEOUT(progress(upgrade) >= 50, 10000);
    // A sound upgrade started after it has finished, and this one is still short of its end.
    runControlUpgrade("V5.0.6");
    QCOMPARE(state(upgrade), DWORD(TLSDK_UPGRADE_RUNNING));
    QVERIFY(progress(upgrade) <= 90);
    QCOMPARE(TLSDK_CloseUpgrade(upgrade), DWORD(TLSDK_OK));
    QCOMPARE(version(handle), before);
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::badFirmwareRefused_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<uint>("expected");
    QTest::newRow("other model") << 0 << uint(TLSDK_ERR_FIRMWARE);
    QTest::newRow("damaged payload") << 1 << uint(TLSDK_ERR_FIRMWARE);
    QTest::newRow("truncated") << 2 << uint(TLSDK_ERR_FIRMWARE);
    QTest::newRow("not firmware") << 3 << uint(TLSDK_ERR_FIRMWARE);
    QTest::newRow("empty file") << 4 << uint(TLSDK_ERR_FILE);
    QTest::newRow("missing file") << 5 << uint(TLSDK_ERR_FILE);
}

void TestTolanUpgrade::badFirmwareRefused()
{
    QFETCH(int, kind);
    QFETCH(uint, expected);
    DWORD handle = 0;
    QCOMPARE(login(ip(1), handle), DWORD(TLSDK_OK));
    const QString before = version(handle);
    const QString path = m_dir.filePath(QString("bad%1.bin").arg(kind));
    const QString source = firmware(kind == 0 ? "ZN-0000" : model(1), "V6.0.0");
    QVERIFY(QFile::copy(source, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray content = file.readAll();
    switch (kind) {
    case 1: content[500] = char(content[500] ^ 0x40); break;
    case 2: content.chop(1000); break;
    case 3: content = QByteArray("PK\x03\x04 not a firmware image").repeated(20); break;
    case 4: content.clear(); break;
    }
    file.resize(0);
    file.write(content);
    file.close();
    if (kind == 5)
        QVERIFY(file.remove());

    DWORD upgrade = 123;
    QCOMPARE(TLSDK_Upgrade(handle, qPrintable(path), &upgrade), DWORD(expected));
    QCOMPARE(upgrade, DWORD(0));
    QCOMPARE(TLSDK_CloseUpgrade(upgrade), DWORD(TLSDK_ERR_HANDLE));
    QCOMPARE(version(handle), before);
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::stateKeptAcrossRuns()
{
    // Runs after upgradeFinishes: the new version survives a simulator restart.
    m_sim->stop();
    m_sim = std::make_unique<SimFleetProcess>(simArguments("127.41.0.10", m_dir.filePath("state")));
    CORVANE_START_SIMULATOR(*m_sim);
    DWORD handle = 0;
    QCOMPARE(login(ip(0), handle), DWORD(TLSDK_OK));
    QCOMPARE(version(handle), QString("V5.0.0 build 261207"));
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::stoppedDeviceTimesOut()
{
    SimFleetProcess victim(simArguments("127.41.1.10", m_dir.filePath("victim-state")));
    QVERIFY(QDir().mkpath(m_dir.filePath("victim-state")));
    CORVANE_START_SIMULATOR(victim);
    DWORD handle = 0;
    QCOMPARE(login(victim.devices().at(0).ip, handle), DWORD(TLSDK_OK));
    QVERIFY(victim.processId() > 0);
    ::kill(pid_t(victim.processId()), SIGSTOP);

    // The kernel still accepts connections for the frozen process; only the
    // timeout ends the call.
    QElapsedTimer timer;
    timer.start();
    QByteArray buffer(TLSDK_DEVICE_INFO_SIZE, '\0');
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_DEVICE_INFO, buffer.data()), DWORD(TLSDK_ERR_TIMEOUT));
    QVERIFY(timer.elapsed() >= kTimeoutMs - 100);
    QVERIFY(timer.elapsed() < 3 * kTimeoutMs);
    DWORD fresh = 0;
    timer.restart();
    QVERIFY(login(victim.devices().at(1).ip, fresh) != TLSDK_OK);
    QVERIFY(timer.elapsed() < 3 * kTimeoutMs);

    // Logging out of a frozen device forgets the handle without the full wait.
    DWORD spare = 0;
    ::kill(pid_t(victim.processId()), SIGCONT);
    QCOMPARE(login(victim.devices().at(0).ip, spare), DWORD(TLSDK_OK));
    ::kill(pid_t(victim.processId()), SIGSTOP);
    timer.restart();
    QCOMPARE(TLSDK_Logout(spare), DWORD(TLSDK_OK));
    QVERIFY(timer.elapsed() < kTimeoutMs - 500);
    QCOMPARE(TLSDK_Logout(spare), DWORD(TLSDK_ERR_HANDLE));

    ::kill(pid_t(victim.processId()), SIGCONT);
    QCOMPARE(TLSDK_GetDevCfg(handle, TLSDK_CFG_DEVICE_INFO, buffer.data()), DWORD(TLSDK_OK));
    TLSDK_Logout(handle);
}

void TestTolanUpgrade::killedDeviceFailsAtOnce()
{
    SimFleetProcess victim(simArguments("127.41.2.10", m_dir.filePath("victim2-state")));
    QVERIFY(QDir().mkpath(m_dir.filePath("victim2-state")));
    CORVANE_START_SIMULATOR(victim);
    DWORD handle = 0;
    QCOMPARE(login(victim.devices().at(0).ip, handle), DWORD(TLSDK_OK));
    const QString file = m_dir.filePath("big.bin");
    QCOMPARE(SimFleetProcess::makeFirmware({"--model", victim.devices().at(0).model, "--version", "V7", "--size", "8000000", file}), 0);

    // Freeze the device so the upload is surely under way when it dies.
    ::kill(pid_t(victim.processId()), SIGSTOP);
    std::future<DWORD> call = std::async(std::launch::async, [handle, file] {
        DWORD upgrade = 0;
        return TLSDK_Upgrade(handle, qPrintable(file), &upgrade);
    });
    QCOMPARE(call.wait_for(std::chrono::milliseconds(kTimeoutMs / 4)), std::future_status::timeout);
    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(victim.processId()), SIGKILL);
    const DWORD result = call.get();
    QVERIFY(result == TLSDK_ERR_CONNECT || result == TLSDK_ERR_TIMEOUT);
    QVERIFY(timer.elapsed() < 2 * kTimeoutMs);
    victim.stop();
    TLSDK_Logout(handle);
}

QTEST_MAIN(TestTolanUpgrade)
#include "tst_tolan_upgrade.moc"
