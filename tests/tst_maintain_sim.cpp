// The maintenance worker against simulated devices: real libraries, real
// files. Loopback range 127.47.0.0/16.
#include "thread_maintain.h"

#include "recordtypes.h"
#include "simfleetprocess.h"
#include "tolan_cfg.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {

const QString kFirstIp = QStringLiteral("127.47.0.10");
constexpr int kIpcCount = 2;
constexpr int kNvrCount = 6;
constexpr int kUpgradeMs = 2500;

// Counts the upgrade polls and closes that reach the real library.
std::atomic<int> g_iStatePolls{0};
std::atomic<int> g_iCloses{0};

DWORD countingGetState(DWORD ulHandle, DWORD *pulState)
{
    ++g_iStatePolls;
    return TLSDK_GetUpgradeState(ulHandle, pulState);
}

DWORD countingClose(DWORD ulHandle)
{
    ++g_iCloses;
    return TLSDK_CloseUpgrade(ulHandle);
}

stMaintainLibApi countingApi()
{
    stMaintainLibApi oApi;
    oApi.pfnGetUpgradeState = countingGetState;
    oApi.pfnCloseUpgrade = countingClose;
    return oApi;
}

} // namespace

class TestMaintainSim : public QObject
{
    Q_OBJECT

public slots:
    void getResultSlot(CUIDeviceBean &oBean) { m_listResults.append(oBean); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void nvrUpgrade_data();
    void nvrUpgrade();
    void nvrUpgradeInstallsTheVersion();
    void diagExport();
    void configRoundTrip_data();
    void configRoundTrip();
    void damagedConfigIsRefused();

private:
    // Worker on a thread of its own, as the device tab runs it.
    void startWorker(const stMaintainLibApi &oApi = stMaintainLibApi());
    void request(const char *pszSlot, const QString &strPath, const CUIDeviceBean &oBean);
    CUIDeviceBean nvr(int iIndex) const;
    CUIDeviceBean ipc(int iIndex);
    QString makeFirmware(const QString &strModel, const QString &strVersion);
    // The one result expected next, waited for up to iTimeoutMs.
    CUIDeviceBean takeResult(int iTimeoutMs = 15000);

    std::unique_ptr<SimFleetProcess> m_pSim;
    QList<SimFleetProcess::Device> m_listIpc;
    QList<SimFleetProcess::Device> m_listNvr;
    QTemporaryDir m_oDir;
    QThread *m_pThread = nullptr;
    CMaintainThread *m_pWorker = nullptr;
    QList<CUIDeviceBean> m_listResults;
    QStringList m_listIpcKeys;
};

void TestMaintainSim::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_oDir.isValid());
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpcCount), QStringLiteral("--nvr"),
                                      QString::number(kNvrCount), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--seed"), QStringLiteral("66"), QStringLiteral("--upgrade-ms"),
                                      QString::number(kUpgradeMs), QStringLiteral("--restart-ms"),
                                      QStringLiteral("300")}));
    CORVANE_START_SIMULATOR(*m_pSim);
    for (const SimFleetProcess::Device &oDev : m_pSim->devices()) {
        if (!SimFleetProcess::inRange(oDev.ip, kFirstIp, kIpcCount + kNvrCount))
            continue;
        (oDev.type == QLatin1String("IPC") ? m_listIpc : m_listNvr).append(oDev);
    }
    QCOMPARE(m_listIpc.size(), kIpcCount);
    QCOMPARE(m_listNvr.size(), kNvrCount);
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    QCOMPARE(TLSDK_Init(), DWORD(0));
}

void TestMaintainSim::cleanupTestCase()
{
    for (const QString &strKey : qAsConst(m_listIpcKeys))
        ZELT_MW_Logout(strKey.toLatin1().constData());
    if (m_pSim)
        m_pSim->stop();
}

void TestMaintainSim::init()
{
    m_listResults.clear();
    g_iStatePolls = 0;
    g_iCloses = 0;
}

void TestMaintainSim::cleanup()
{
    if (m_pThread) {
        m_pThread->requestInterruption();
        m_pThread->quit();
        m_pThread->wait();
        delete m_pThread;
        m_pThread = nullptr;
        m_pWorker = nullptr;
    }
}

void TestMaintainSim::startWorker(const stMaintainLibApi &oApi)
{
    m_pThread = new QThread;
    m_pWorker = new CMaintainThread(this, oApi);
    m_pWorker->moveToThread(m_pThread);
    connect(m_pThread, &QThread::finished, m_pWorker, &QObject::deleteLater);
    m_pThread->start(QThread::InheritPriority);
}

void TestMaintainSim::request(const char *pszSlot, const QString &strPath, const CUIDeviceBean &oBean)
{
    CUIDeviceBean oCopy = oBean;
    QVERIFY(QMetaObject::invokeMethod(m_pWorker, pszSlot, Qt::QueuedConnection, Q_ARG(QString, strPath),
                                      Q_ARG(CUIDeviceBean &, oCopy)));
}

CUIDeviceBean TestMaintainSim::nvr(int iIndex) const
{
    CUIDeviceBean oBean;
    oBean.m_strIp = m_listNvr.at(iIndex).ip;
    oBean.m_strModel = m_listNvr.at(iIndex).model;
    oBean.m_strDevType = QStringLiteral("NVR");
    oBean.m_strUserName = QStringLiteral("admin");
    oBean.m_strPassword = QStringLiteral("vorpe");
    return oBean;
}

CUIDeviceBean TestMaintainSim::ipc(int iIndex)
{
    CUIDeviceBean oBean;
    oBean.m_strIp = m_listIpc.at(iIndex).ip;
    oBean.m_strModel = m_listIpc.at(iIndex).model;
    oBean.m_strDevType = QStringLiteral("IPC");
    oBean.m_strUserName = QStringLiteral("admin");
    oBean.m_strPassword = QStringLiteral("vorpe");
    char szUserId[ZELT_MW_USERID_LEN] = {};
    const DWORD ulRet = ZELT_MW_Login("admin", "vorpe", oBean.m_strIp.toLatin1().constData(), 0, szUserId);
    if (ulRet == 0) {
        oBean.m_strLoginKey = QString::fromLatin1(szUserId);
        m_listIpcKeys.append(oBean.m_strLoginKey);
    } else {
        QTest::qFail(qPrintable(QStringLiteral("IPC login failed: %1").arg(ulRet)), __FILE__, __LINE__);
    }
    return oBean;
}

QString TestMaintainSim::makeFirmware(const QString &strModel, const QString &strVersion)
{
    const QString strFile = m_oDir.filePath(strModel + QLatin1Char('_') + strVersion + QStringLiteral(".bin"));
    return SimFleetProcess::makeFirmware(strModel, strVersion, strFile) ? QDir::toNativeSeparators(strFile)
                                                                        : QString();
}

CUIDeviceBean TestMaintainSim::takeResult(int iTimeoutMs)
{
    [&]() { QTRY_VERIFY_WITH_TIMEOUT(!m_listResults.isEmpty(), iTimeoutMs); }();
    return m_listResults.isEmpty() ? CUIDeviceBean() : m_listResults.takeFirst();
}

void TestMaintainSim::nvrUpgrade_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("pollMs");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("minPolls");
    QTest::addColumn<int>("maxPolls");
    QTest::addColumn<QString>("reason");
    const QString strTimeout = QStringLiteral("超时");
    // The device needs kUpgradeMs: with 1 s between polls it is done at the third.
    QTest::newRow("finished at the third poll") << 0 << "9.1.0" << 1000 << int(DevStatusUpgradeOk) << 3 << 3 << QString();
    QTest::newRow("no progress") << 1 << "9.1.0-stall" << 50 << int(DevStatusUpgradeFailed) << 6 << 6 << strTimeout;
    QTest::newRow("never finishes") << 2 << "9.1.0-hang" << 200 << int(DevStatusUpgradeFailed) << 18 << 18
                                    << strTimeout;
    // Fails halfway through, at about 1250 ms.
    QTest::newRow("device reports failure") << 3 << "9.1.0-fail" << 200 << int(DevStatusUpgradeFailed) << 6 << 9
                                            << QStringLiteral("固件损坏或型号不符");
}

void TestMaintainSim::nvrUpgrade()
{
    QFETCH(int, device);
    QFETCH(QString, version);
    QFETCH(int, pollMs);
    QFETCH(int, status);
    QFETCH(int, minPolls);
    QFETCH(int, maxPolls);
    QFETCH(QString, reason);

    const CUIDeviceBean oBean = nvr(device);
    const QString strFirmware = makeFirmware(oBean.m_strModel, version);
    QVERIFY(!strFirmware.isEmpty());
    startWorker(countingApi());
    m_pWorker->setPollInterval(pollMs);
    request("devUpgradeSlot", strFirmware, oBean);

    const CUIDeviceBean oResult = takeResult(30000);
    QCOMPARE(oResult.m_strIp, oBean.m_strIp);
    QCOMPARE(oResult.m_lStatus, status);
    QCOMPARE(oResult.m_strFailReason, reason);
    QVERIFY2(g_iStatePolls >= minPolls && g_iStatePolls <= maxPolls, qPrintable(QString::number(g_iStatePolls)));
    QCOMPARE(g_iCloses.load(), 1);
}

void TestMaintainSim::nvrUpgradeInstallsTheVersion()
{
    // Firmware for another model is refused before anything starts.
    const CUIDeviceBean oBean = nvr(4);
    const QString strForeign = makeFirmware(oBean.m_strModel + QStringLiteral("X"), QStringLiteral("9.2.0"));
    QVERIFY(!strForeign.isEmpty());
    startWorker(countingApi());
    m_pWorker->setPollInterval(1000);
    request("devUpgradeSlot", strForeign, oBean);
    CUIDeviceBean oResult = takeResult();
    QCOMPARE(oResult.m_lStatus, long(DevStatusUpgradeFailed));
    QCOMPARE(oResult.m_strFailReason, QStringLiteral("固件损坏或型号不符"));
    QCOMPARE(g_iStatePolls.load(), 0);

    const QString strFirmware = makeFirmware(oBean.m_strModel, QStringLiteral("9.2.0"));
    request("devUpgradeSlot", strFirmware, oBean);
    oResult = takeResult(30000);
    QCOMPARE(oResult.m_lStatus, long(DevStatusUpgradeOk));
    QVERIFY(oResult.m_strFailReason.isEmpty());

    // The device restarts with the new version.
    QByteArray baInfo(TLSDK_DEVICE_INFO_SIZE, '\0');
    auto readVersion = [&]() {
        DWORD ulHandle = 0;
        if (TLSDK_Login(oBean.m_strIp.toLatin1().constData(), 0, "admin", "vorpe", &ulHandle, nullptr) != 0)
            return QString();
        baInfo.fill('\0');
        const DWORD ulRet = TLSDK_GetDevCfg(ulHandle, TLSDK_CFG_DEVICE_INFO, baInfo.data());
        TLSDK_Logout(ulHandle);
        return ulRet == 0 ? QString::fromLatin1(baInfo.constData() + TLSDK_DEVINFO_VERSION) : QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(readVersion(), QStringLiteral("9.2.0"), 15000);
}

void TestMaintainSim::diagExport()
{
    QTemporaryDir oOut;
    QVERIFY(oOut.isValid());
    const QString strOut = QDir::toNativeSeparators(oOut.path());
    startWorker();
    const CUIDeviceBean oIpc = ipc(0);
    QVERIFY(!oIpc.m_strLoginKey.isEmpty());
    const CUIDeviceBean oNvr = nvr(5);
    request("exportDiagInfoSlot", strOut, oIpc);
    request("exportDiagInfoSlot", strOut, oNvr);

    CUIDeviceBean oResult = takeResult();
    QCOMPARE(oResult.m_strIp, oIpc.m_strIp);
    QCOMPARE(oResult.m_lStatus, long(DevStatusExportOk));
    const QDir oIpcDir(oOut.filePath(oIpc.m_strIp));
    const QStringList listIpcFiles = oIpcDir.entryList(QDir::Files);
    QCOMPARE(listIpcFiles.size(), 1);
    QVERIFY(QFileInfo(oIpcDir.filePath(listIpcFiles.first())).size() > 0);

    oResult = takeResult();
    QCOMPARE(oResult.m_strIp, oNvr.m_strIp);
    QCOMPARE(oResult.m_lStatus, long(DevStatusExportOk));
    const QDir oNvrDir(oOut.filePath(oNvr.m_strIp));
    const QStringList listStamped = oNvrDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(listStamped.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^NVR\\d{14}$")).match(listStamped.first()).hasMatch(),
             qPrintable(listStamped.first()));
    const QFileInfo oArchive(oNvrDir.filePath(listStamped.first() + QStringLiteral("/mtinfo.tgz")));
    QVERIFY(oArchive.isFile());
    QVERIFY(oArchive.size() > 0);
}

void TestMaintainSim::configRoundTrip_data()
{
    QTest::addColumn<bool>("isIpc");
    QTest::newRow("IPC") << true;
    QTest::newRow("NVR") << false;
}

void TestMaintainSim::configRoundTrip()
{
    QFETCH(bool, isIpc);
    QTemporaryDir oOut;
    QVERIFY(oOut.isValid());
    const CUIDeviceBean oBean = isIpc ? ipc(1) : nvr(5);
    startWorker();
    request("exportCfgSlot", QDir::toNativeSeparators(oOut.path()), oBean);
    QCOMPARE(takeResult().m_lStatus, long(DevStatusExportOk));

    const QStringList listFiles = QDir(oOut.path()).entryList({QStringLiteral("*.cfg")}, QDir::Files);
    // One file per device, named by address whatever the library.
    QCOMPARE(listFiles.size(), 1);
    QCOMPARE(listFiles.first(), oBean.m_strIp + QStringLiteral("_config.cfg"));
    const QString strFile = QDir::toNativeSeparators(oOut.filePath(listFiles.first()));
    QVERIFY(QFileInfo(strFile).size() > 0);

    request("importCfgSlot", strFile, oBean);
    QCOMPARE(takeResult().m_lStatus, long(DevStatusImportOk));
}

void TestMaintainSim::damagedConfigIsRefused()
{
    QTemporaryDir oOut;
    QVERIFY(oOut.isValid());
    QFile oFile(oOut.filePath(QStringLiteral("damaged.cfg")));
    QVERIFY(oFile.open(QIODevice::WriteOnly));
    oFile.write("not a configuration");
    oFile.close();
    const QString strFile = QDir::toNativeSeparators(oFile.fileName());
    const QString strMissing = QDir::toNativeSeparators(oOut.filePath(QStringLiteral("missing.cfg")));

    startWorker();
    const CUIDeviceBean oIpc = ipc(1);
    const CUIDeviceBean oNvr = nvr(5);
    for (const CUIDeviceBean &oBean : {oIpc, oNvr}) {
        request("importCfgSlot", strFile, oBean);
        CUIDeviceBean oResult = takeResult();
        QCOMPARE(oResult.m_lStatus, long(DevStatusImportFailed));
        QCOMPARE(oResult.m_strFailReason, QStringLiteral("配置文件损坏、过大或不属于该设备"));
        request("importCfgSlot", strMissing, oBean);
        oResult = takeResult();
        QCOMPARE(oResult.m_lStatus, long(DevStatusImportFailed));
        QCOMPARE(oResult.m_strFailReason, QStringLiteral("文件无法读写或过大"));
    }
}

QTEST_MAIN(TestMaintainSim)
#include "tst_maintain_sim.moc"
