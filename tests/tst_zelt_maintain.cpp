// Maintenance through the configuration library against simulated IPCs:
// firmware upgrade with its outcome through the event callback,
// configuration export and import, diagnostics, reboot and kept state.
#include "simfleetprocess.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QtTest>

#include <zlib.h>

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

const char *const kFirst = "127.95.0.10";

struct Event
{
    QByteArray userId;
    DWORD type;
    DWORD value;
    std::thread::id thread;
};

std::mutex g_eventsMutex;
QList<Event> g_events;

void DEV_API onEvent(const char *szUserID, DWORD ulEventType, DWORD *pulValue)
{
    std::lock_guard<std::mutex> lock(g_eventsMutex);
    g_events.append({QByteArray(szUserID), ulEventType, *pulValue, std::this_thread::get_id()});
}

// The outcome of the device's upgrade; progress events come before it.
bool eventFor(const QByteArray &userId, Event &event)
{
    std::lock_guard<std::mutex> lock(g_eventsMutex);
    for (const Event &e : qAsConst(g_events)) {
        if (e.userId == userId && e.type == ZELT_MW_EVENT_UPGRADE) {
            event = e;
            return true;
        }
    }
    return false;
}

int eventCount(const QByteArray &userId)
{
    std::lock_guard<std::mutex> lock(g_eventsMutex);
    return int(std::count_if(g_events.cbegin(), g_events.cend(), [&userId](const Event &e) {
        return e.userId == userId && e.type == ZELT_MW_EVENT_UPGRADE;
    }));
}

QByteArray login(const QString &ip)
{
    char userId[ZELT_MW_USERID_LEN] = {};
    return ZELT_MW_Login("admin", "vorpe", ip.toLatin1().constData(), 0, userId) == 0 ? QByteArray(userId) : QByteArray();
}

QByteArray readCfg(const QByteArray &userId, DWORD cmd)
{
    QByteArray buf(int(zelt_cfg_size(cmd)), '\0');
    DWORD len = DWORD(buf.size());
    return ZELT_MW_GetConfig(userId.constData(), cmd, 0, &len, buf.data()) == 0 ? buf : QByteArray();
}

DWORD setEnhance(const QByteArray &userId, std::size_t offset, quint32 value)
{
    QByteArray buf = readCfg(userId, ZELT_MW_IMAGE_ENHANCE_CFG);
    if (buf.isEmpty())
        return ZELT_MW_ERR_PROTOCOL;
    zelt_put_u32(buf.data(), offset, value);
    return ZELT_MW_SetConfig(userId.constData(), ZELT_MW_IMAGE_ENHANCE_CFG, 0, ZELT_ENH_SIZE, buf.constData());
}

quint32 enhance(const QByteArray &userId, std::size_t offset)
{
    const QByteArray buf = readCfg(userId, ZELT_MW_IMAGE_ENHANCE_CFG);
    return buf.isEmpty() ? 0xFFFFFFFFu : zelt_get_u32(buf.constData(), offset);
}

QByteArray version(const QByteArray &userId)
{
    QByteArray base(ZELT_QUERY_BASE_SIZE, '\0');
    ZELT_MW_QueryDeviceInfo(userId.constData(), 0, ZELT_MW_QUERY_DEVICE_BASE, base.data());
    return QByteArray(base.constData() + ZELT_QUERY_BASE_VERSION);
}

// Points the first encoder entry of an exported file at stream 7 and gives
// the file a valid checksum again.
bool craftStreamIndex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray data = file.readAll();
    const int nameField = 32;
    int pos = 4 + 4 + 2 * nameField + 4;
    const quint32 count = zelt_get_u32(data.constData(), 8 + 2 * nameField);
    for (quint32 i = 0; i < count && pos + 12 <= data.size() - 4; ++i) {
        const quint32 cmd = zelt_get_u32(data.constData(), pos);
        const quint32 len = zelt_get_u32(data.constData(), pos + 8);
        if (cmd == ZELT_MW_VIDEO_ENCODER_CFG) {
            zelt_put_u32(data.data(), pos + 12 + ZELT_ENC_STREAM, 7);
            const int body = data.size() - 4;
            zelt_put_u32(data.data(), body, quint32(crc32(0L, reinterpret_cast<const Bytef *>(data.constData()), uInt(body))));
            file.seek(0);
            return file.write(data) == data.size();
        }
        pos += 12 + int(len);
    }
    return false;
}

void flipByte(const QString &path, qint64 at)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(at));
    char c = 0;
    file.getChar(&c);
    file.seek(at);
    file.putChar(char(c ^ 0x5A));
}

} // namespace

class TestZeltMaintain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void upgradeSucceedsThroughCallback();
    void upgradeFailsThroughCallback_data();
    void upgradeFailsThroughCallback();
    void upgradeOfMissingFileFailsAtOnce();
    void exportThenImport();
    void foreignOrDamagedFilesRefused();
    void diagnosisIsARealArchive();
    void restoreImageDefaults();
    void rebootKeepsSettings();
    void stateKeptAcrossRuns();

private:
    const SimFleetProcess::Device *deviceOf(const QString &model, int nth = 0) const;

    QTemporaryDir m_dir;
    SimFleetProcess m_sim {{"--ipc", "12", "--first", kFirst, "--seed", "5", "--upgrade-ms", "600", "--restart-ms", "800"}};
};

void TestZeltMaintain::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    QCOMPARE(ZELT_MW_SetEventCallback(onEvent), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
}

void TestZeltMaintain::cleanupTestCase()
{
    m_sim.stop();
}

const SimFleetProcess::Device *TestZeltMaintain::deviceOf(const QString &model, int nth) const
{
    for (const SimFleetProcess::Device &device : m_sim.devices()) {
        if (device.model == model && nth-- == 0)
            return &device;
    }
    return nullptr;
}

void TestZeltMaintain::upgradeSucceedsThroughCallback()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-2320"));
    QVERIFY(device);
    const QString firmware = m_dir.filePath(QStringLiteral("good.bin"));
    QVERIFY(SimFleetProcess::makeFirmware(device->model, QStringLiteral("V9.1.0"), firmware));
    const QByteArray userId = login(device->ip);
    QVERIFY(!userId.isEmpty());
    QVERIFY(version(userId) != "V9.1.0");

    QCOMPARE(ZELT_MW_Upgrade(userId.constData(), firmware.toLocal8Bit().constData()), DWORD(0));
    Event event;
    QTRY_VERIFY_WITH_TIMEOUT(eventFor(userId, event), 15000);
    QCOMPARE(event.type, DWORD(ZELT_MW_EVENT_UPGRADE));
    QCOMPARE(event.value, DWORD(0));
    QVERIFY(event.thread != std::this_thread::get_id());
    // The upload's percentage went out while it ran, up to the whole image.
    {
        std::lock_guard<std::mutex> lock(g_eventsMutex);
        QVERIFY(std::any_of(g_events.cbegin(), g_events.cend(), [&userId](const Event &e) {
            return e.userId == userId && e.type == ZELT_MW_EVENT_UPGRADE_UPLOAD && e.value == 100;
        }));
    }
    QCOMPARE(version(userId), QByteArray("V9.1.0"));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltMaintain::upgradeFailsThroughCallback_data()
{
    QTest::addColumn<QString>("imageModel");
    QTest::addColumn<QString>("imageVersion");
    QTest::addColumn<bool>("damage");
    QTest::newRow("other model") << QStringLiteral("ZC-5330") << QStringLiteral("V9.2.0") << false;
    QTest::newRow("damaged image") << QStringLiteral("ZC-2320N") << QStringLiteral("V9.3.0") << true;
    QTest::newRow("refused by the device") << QStringLiteral("ZC-2320N") << QStringLiteral("V9.4.0-fail") << false;
}

void TestZeltMaintain::upgradeFailsThroughCallback()
{
    QFETCH(QString, imageModel);
    QFETCH(QString, imageVersion);
    QFETCH(bool, damage);
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-2320N"));
    QVERIFY(device);
    const QString firmware = m_dir.filePath(QStringLiteral("bad.bin"));
    QVERIFY(SimFleetProcess::makeFirmware(imageModel, imageVersion, firmware));
    if (damage)
        flipByte(firmware, 2000);
    const QByteArray userId = login(device->ip);
    const QByteArray before = version(userId);

    QCOMPARE(ZELT_MW_Upgrade(userId.constData(), firmware.toLocal8Bit().constData()), DWORD(0));
    Event event;
    QTRY_VERIFY_WITH_TIMEOUT(eventFor(userId, event), 15000);
    QCOMPARE(event.type, DWORD(ZELT_MW_EVENT_UPGRADE));
    QVERIFY(event.value > 0);
    QCOMPARE(version(userId), before);
    ZELT_MW_Logout(userId.constData());
}

void TestZeltMaintain::upgradeOfMissingFileFailsAtOnce()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-5330"));
    QVERIFY(device);
    const QByteArray userId = login(device->ip);
    QCOMPARE(ZELT_MW_Upgrade(userId.constData(), m_dir.filePath(QStringLiteral("none.bin")).toLocal8Bit().constData()),
             DWORD(ZELT_MW_ERR_FILE));
    QCOMPARE(ZELT_MW_Upgrade("closed", "x"), DWORD(ZELT_MW_ERR_USERID));
    // An upgrade that does start ends with an event; the refused ones before it sent none.
    const QString foreign = m_dir.filePath(QStringLiteral("foreign.bin"));
    QVERIFY(SimFleetProcess::makeFirmware(QStringLiteral("ZC-2320"), QStringLiteral("V9.5.0"), foreign));
    QCOMPARE(ZELT_MW_Upgrade(userId.constData(), foreign.toLocal8Bit().constData()), DWORD(0));
    Event event;
    QTRY_VERIFY_WITH_TIMEOUT(eventFor(userId, event), 15000);
    QVERIFY(event.value > 0);
    QCOMPARE(eventCount(userId), 1);
    ZELT_MW_Logout(userId.constData());
}

void TestZeltMaintain::exportThenImport()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-5330"));
    QVERIFY(device);
    const QByteArray userId = login(device->ip);
    QCOMPARE(setEnhance(userId, ZELT_ENH_BRIGHTNESS, 33), DWORD(0));
    const QByteArray dst = readCfg(userId, ZELT_MW_DST_CFG);
    const QString folder = m_dir.filePath(QStringLiteral("export"));
    QCOMPARE(ZELT_MW_ExportConfig(userId.constData(), folder.toLocal8Bit().constData()), DWORD(0));
    const QString file = folder + QLatin1Char('/') + device->ip + QStringLiteral("_config.cfg");
    QVERIFY(QFileInfo(file).size() > 0);

    // Change the device, then bring the exported settings back.
    QCOMPARE(setEnhance(userId, ZELT_ENH_BRIGHTNESS, 200), DWORD(0));
    QByteArray changed = dst;
    changed[ZELT_DST_START_MONTH] = 4;
    QCOMPARE(ZELT_MW_SetConfig(userId.constData(), ZELT_MW_DST_CFG, 0, ZELT_DST_SIZE, changed.constData()), DWORD(0));
    QCOMPARE(ZELT_MW_ImportConfig(userId.constData(), file.toLocal8Bit().constData()), DWORD(0));
    QCOMPARE(enhance(userId, ZELT_ENH_BRIGHTNESS), 33u);
    QCOMPARE(readCfg(userId, ZELT_MW_DST_CFG), dst);

    // A path naming the file is used as it is.
    const QString named = m_dir.filePath(QStringLiteral("named/mine.cfg"));
    QCOMPARE(ZELT_MW_ExportConfig(userId.constData(), named.toLocal8Bit().constData()), DWORD(0));
    QVERIFY(QFile::exists(named));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltMaintain::foreignOrDamagedFilesRefused()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-5330"), 1);
    const SimFleetProcess::Device *other = deviceOf(QStringLiteral("ZC-2330F"));
    QVERIFY(device && other);
    const QByteArray userId = login(device->ip);
    const QByteArray otherId = login(other->ip);
    const QString own = m_dir.filePath(QStringLiteral("own.cfg"));
    const QString foreign = m_dir.filePath(QStringLiteral("foreign.cfg"));
    QCOMPARE(ZELT_MW_ExportConfig(userId.constData(), own.toLocal8Bit().constData()), DWORD(0));
    QCOMPARE(ZELT_MW_ExportConfig(otherId.constData(), foreign.toLocal8Bit().constData()), DWORD(0));
    QCOMPARE(setEnhance(userId, ZELT_ENH_CONTRAST, 17), DWORD(0));

    QCOMPARE(ZELT_MW_ImportConfig(userId.constData(), foreign.toLocal8Bit().constData()), DWORD(ZELT_MW_ERR_CONFIG_FILE));
    const QString damaged = m_dir.filePath(QStringLiteral("damaged.cfg"));
    QVERIFY(QFile::copy(own, damaged));
    flipByte(damaged, QFileInfo(damaged).size() / 2);
    QCOMPARE(ZELT_MW_ImportConfig(userId.constData(), damaged.toLocal8Bit().constData()), DWORD(ZELT_MW_ERR_CONFIG_FILE));
    const QString text = m_dir.filePath(QStringLiteral("text.cfg"));
    QFile textFile(text);
    QVERIFY(textFile.open(QIODevice::WriteOnly));
    textFile.write("[network]\nip=127.0.0.1\n");
    textFile.close();
    QCOMPARE(ZELT_MW_ImportConfig(userId.constData(), text.toLocal8Bit().constData()), DWORD(ZELT_MW_ERR_CONFIG_FILE));
    QCOMPARE(ZELT_MW_ImportConfig(userId.constData(), m_dir.filePath("missing.cfg").toLocal8Bit().constData()),
             DWORD(ZELT_MW_ERR_FILE));
    // An entry whose structure names another stream than its key, checksum intact.
    const QString crafted = m_dir.filePath(QStringLiteral("crafted.cfg"));
    QVERIFY(QFile::copy(own, crafted));
    QVERIFY(craftStreamIndex(crafted));
    QCOMPARE(ZELT_MW_ImportConfig(userId.constData(), crafted.toLocal8Bit().constData()), DWORD(ZELT_MW_ERR_CONFIG_FILE));
    // Nothing of the refused files was applied, and the device still answers.
    QCOMPARE(enhance(userId, ZELT_ENH_CONTRAST), 17u);
    ZELT_MW_Logout(userId.constData());
    ZELT_MW_Logout(otherId.constData());
}

void TestZeltMaintain::diagnosisIsARealArchive()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-1210D"));
    QVERIFY(device);
    const QByteArray userId = login(device->ip);
    const QString folder = m_dir.filePath(QStringLiteral("diag/") + device->ip);
    QCOMPARE(ZELT_MW_ExportDiagnosis(userId.constData(), folder.toLocal8Bit().constData()), DWORD(0));
    const QStringList archives = QDir(folder).entryList({QStringLiteral("*.tgz")});
    QCOMPARE(archives.size(), 1);
    QVERIFY(archives.first().startsWith(QLatin1String("IPC")));

    QProcess tar;
    tar.start(QStringLiteral("tar"), {"-xzOf", folder + QLatin1Char('/') + archives.first(), "system/info.txt"});
    QVERIFY(tar.waitForFinished(10000));
    QCOMPARE(tar.exitCode(), 0);
    const QByteArray info = tar.readAllStandardOutput();
    QVERIFY(info.contains(device->serial.toLatin1()));
    QVERIFY(info.contains(device->model.toLatin1()));
    QVERIFY(!info.contains("vorpe"));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltMaintain::restoreImageDefaults()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-1210D"), 1);
    QVERIFY(device);
    const QByteArray userId = login(device->ip);
    QCOMPARE(setEnhance(userId, ZELT_ENH_SATURATION, 9), DWORD(0));
    QCOMPARE(ZELT_MW_RestoreImageDefault(userId.constData(), 0, 0), DWORD(0));
    QCOMPARE(enhance(userId, ZELT_ENH_SATURATION), 128u);
    ZELT_MW_Logout(userId.constData());
}

void TestZeltMaintain::rebootKeepsSettings()
{
    const SimFleetProcess::Device *device = deviceOf(QStringLiteral("ZC-1210D"), 2);
    QVERIFY(device);
    const QByteArray userId = login(device->ip);
    QCOMPARE(setEnhance(userId, ZELT_ENH_BRIGHTNESS, 77), DWORD(0));
    QCOMPARE(ZELT_MW_Reboot(userId.constData()), DWORD(0));
    // While it restarts it answers nothing, and its sessions are gone.
    QVERIFY(login(device->ip).isEmpty());
    QByteArray again;
    QTRY_VERIFY_WITH_TIMEOUT(!(again = login(device->ip)).isEmpty(), 10000);
    QVERIFY(readCfg(userId, ZELT_MW_IMAGE_ENHANCE_CFG).isEmpty());
    QCOMPARE(enhance(again, ZELT_ENH_BRIGHTNESS), 77u);
    ZELT_MW_Logout(userId.constData());
    ZELT_MW_Logout(again.constData());
}

void TestZeltMaintain::stateKeptAcrossRuns()
{
    const QString state = m_dir.filePath(QStringLiteral("state"));
    QVERIFY(QDir().mkpath(state));
    const QStringList args {"--ipc", "1", "--first", "127.93.1.10", "--state", state};
    QString ip;
    {
        SimFleetProcess sim(args);
        CORVANE_START_SIMULATOR(sim);
        ip = sim.devices().first().ip;
        const QByteArray userId = login(ip);
        QCOMPARE(setEnhance(userId, ZELT_ENH_CONTRAST, 42), DWORD(0));
        ZELT_MW_Logout(userId.constData());
    }
    SimFleetProcess sim(args);
    CORVANE_START_SIMULATOR(sim);
    QCOMPARE(sim.devices().first().ip, ip);
    const QByteArray userId = login(ip);
    QCOMPARE(enhance(userId, ZELT_ENH_CONTRAST), 42u);
    ZELT_MW_Logout(userId.constData());
}

QTEST_GUILESS_MAIN(TestZeltMaintain)
#include "tst_zelt_maintain.moc"
