// The maintenance worker's own logic (upgrade polling, fresh logins, folder
// and file names) against a scripted maintenance library behind the
// worker's entry-point table. Runs in well under a second per case.
#include "thread_maintain.h"

#include "recordtypes.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <functional>
#include <mutex>

namespace {

// What the scripted library was asked and what it answers. Reset per test.
struct stFakeLib
{
    std::mutex mutex;
    DWORD ulLoginResult = 0;
    DWORD ulUpgradeResult = 0;
    DWORD ulFileResult = 0;
    // State and progress reported at poll n (1-based).
    std::function<DWORD(int)> fnState = [](int) { return DWORD(TLSDK_UPGRADE_RUNNING); };
    std::function<DWORD(int)> fnProgress = [](int) { return DWORD(0); };
    int iLogins = 0;
    int iLogouts = 0;
    int iUpgrades = 0;
    int iStatePolls = 0;
    int iCloses = 0;
    int iIpcCalls = 0;
    DWORD ulLastClosed = 0;
    QString strIp;
    QString strUser;
    WORD wPort = 0;
    QString strLastPath;
    QString strLastKey;
};

stFakeLib *g_pFake = nullptr;
constexpr DWORD kLoginHandle = 41;
constexpr DWORD kUpgradeHandle = 77;

DWORD fakeLogin(const char *szIp, WORD wPort, const char *szUser, const char *, DWORD *pulHandle, void *)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    g_pFake->strIp = QString::fromLatin1(szIp);
    g_pFake->strUser = QString::fromLatin1(szUser);
    g_pFake->wPort = wPort;
    if (g_pFake->ulLoginResult != 0)
        return g_pFake->ulLoginResult;
    ++g_pFake->iLogins;
    *pulHandle = kLoginHandle;
    return 0;
}

DWORD fakeLogout(DWORD ulHandle)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    if (ulHandle == kLoginHandle)
        ++g_pFake->iLogouts;
    return 0;
}

DWORD fakeUpgrade(DWORD ulHandle, const char *szPath, DWORD *pulUpgradeHandle)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    ++g_pFake->iUpgrades;
    g_pFake->strLastPath = QFile::decodeName(szPath);
    if (ulHandle != kLoginHandle)
        return TLSDK_ERR_HANDLE;
    if (g_pFake->ulUpgradeResult != 0)
        return g_pFake->ulUpgradeResult;
    *pulUpgradeHandle = kUpgradeHandle;
    return 0;
}

DWORD fakeGetState(DWORD, DWORD *pulState)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    *pulState = g_pFake->fnState(++g_pFake->iStatePolls);
    return 0;
}

DWORD fakeGetProgress(DWORD, DWORD *pulProgress)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    *pulProgress = g_pFake->fnProgress(g_pFake->iStatePolls);
    return 0;
}

DWORD fakeCloseUpgrade(DWORD ulHandle)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    ++g_pFake->iCloses;
    g_pFake->ulLastClosed = ulHandle;
    return 0;
}

DWORD fakeFileCall(DWORD ulHandle, const char *szPath)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    g_pFake->strLastPath = QFile::decodeName(szPath);
    return ulHandle == kLoginHandle ? g_pFake->ulFileResult : DWORD(TLSDK_ERR_HANDLE);
}

DWORD fakeIpcCall(const char *szKey, const char *szPath)
{
    std::lock_guard<std::mutex> lock(g_pFake->mutex);
    ++g_pFake->iIpcCalls;
    g_pFake->strLastKey = QString::fromLatin1(szKey);
    g_pFake->strLastPath = QFile::decodeName(szPath);
    return g_pFake->ulFileResult;
}

stMaintainLibApi fakeApi()
{
    stMaintainLibApi oApi;
    oApi.pfnIpcUpgrade = fakeIpcCall;
    oApi.pfnIpcExportDiagnosis = fakeIpcCall;
    oApi.pfnIpcImportConfig = fakeIpcCall;
    oApi.pfnIpcExportConfig = fakeIpcCall;
    oApi.pfnLogin = fakeLogin;
    oApi.pfnLogout = fakeLogout;
    oApi.pfnUpgrade = fakeUpgrade;
    oApi.pfnGetUpgradeState = fakeGetState;
    oApi.pfnGetUpgradeProgress = fakeGetProgress;
    oApi.pfnCloseUpgrade = fakeCloseUpgrade;
    oApi.pfnExportMtInfo = fakeFileCall;
    oApi.pfnImportCfg = fakeFileCall;
    oApi.pfnExportCfg = fakeFileCall;
    return oApi;
}

CUIDeviceBean device(const QString &strType)
{
    CUIDeviceBean oBean;
    oBean.m_strIp = QStringLiteral("127.0.0.5");
    oBean.m_strDevType = strType;
    oBean.m_strUserName = QStringLiteral("admin");
    oBean.m_strPassword = QStringLiteral("secret");
    oBean.m_strLoginKey = strType == QLatin1String("IPC") ? QStringLiteral("uid-5") : QStringLiteral("12");
    oBean.m_lStatus = DevStatusUpgrading;
    return oBean;
}

} // namespace

// Answer of the scripted library at poll n.
using FnPollAnswer = std::function<DWORD(int)>;
Q_DECLARE_METATYPE(FnPollAnswer)

class TestThreadMaintain : public QObject
{
    Q_OBJECT

public slots:
    // The worker reports here, as it does to the device tab.
    void getResultSlot(CUIDeviceBean &oBean) { m_listResults.append(oBean); }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pollIntervalDefaultsToTenSeconds();
    void nvrUpgradePolling_data();
    void nvrUpgradePolling();
    void nvrUpgradeReportsProgress();
    void nvrUpgradeNotStarted();
    void ipcUpgradeWaitsForCallback();
    void fileOperations_data();
    void fileOperations();
    void diagExportFolders();
    void diagExportFolderCannotBeCreated();
    void failedLoginSkipsTheLibraryCall();
    void stopRequestEndsPolling();

private:
    // Reads what the fake library recorded; the worker writes it on its own thread.
    template <typename T>
    T fake(T stFakeLib::*pMember) const
    {
        std::lock_guard<std::mutex> lock(m_pFake->mutex);
        return m_pFake->*pMember;
    }

    QList<CUIDeviceBean> m_listResults;
    stFakeLib *m_pFake = nullptr;
};

void TestThreadMaintain::initTestCase()
{
    registerRecordTypes();
}

void TestThreadMaintain::init()
{
    m_pFake = new stFakeLib;
    g_pFake = m_pFake;
    m_listResults.clear();
}

void TestThreadMaintain::cleanup()
{
    g_pFake = nullptr;
    delete m_pFake;
    m_pFake = nullptr;
}

void TestThreadMaintain::pollIntervalDefaultsToTenSeconds()
{
    CMaintainThread oWorker(this);
    QCOMPARE(oWorker.pollInterval(), 10000);
    oWorker.setPollInterval(5);
    QCOMPARE(oWorker.pollInterval(), 5);
}

void TestThreadMaintain::nvrUpgradePolling_data()
{
    using Fn = FnPollAnswer;
    QTest::addColumn<Fn>("state");
    QTest::addColumn<Fn>("progress");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("polls");

    const Fn running = [](int) { return DWORD(TLSDK_UPGRADE_RUNNING); };
    const Fn rising = [](int n) { return DWORD(n * 5); };
    QTest::newRow("finished at the third poll")
        << Fn([](int n) { return DWORD(n >= 3 ? TLSDK_UPGRADE_FINISHED : TLSDK_UPGRADE_RUNNING); }) << rising
        << int(DevStatusUpgradeOk) << 3;
    QTest::newRow("no progress by the 60 s poll") << running << Fn([](int) { return DWORD(0); })
                                                  << int(DevStatusUpgradeFailed) << 6;
    QTest::newRow("first progress at the 60 s poll")
        << Fn([](int n) { return DWORD(n >= 9 ? TLSDK_UPGRADE_FINISHED : TLSDK_UPGRADE_RUNNING); })
        << Fn([](int n) { return DWORD(n >= 6 ? 10 : 0); }) << int(DevStatusUpgradeOk) << 9;
    QTest::newRow("progress but never finished") << running << rising << int(DevStatusUpgradeFailed) << 18;
    QTest::newRow("finished at the 180 s poll")
        << Fn([](int n) { return DWORD(n >= 18 ? TLSDK_UPGRADE_FINISHED : TLSDK_UPGRADE_RUNNING); }) << rising
        << int(DevStatusUpgradeOk) << 18;
    QTest::newRow("device reports failure")
        << Fn([](int n) { return DWORD(n >= 2 ? TLSDK_UPGRADE_FAILED : TLSDK_UPGRADE_RUNNING); }) << rising
        << int(DevStatusUpgradeFailed) << 2;
    // A finished state wins over missing progress.
    QTest::newRow("finished without progress")
        << Fn([](int) { return DWORD(TLSDK_UPGRADE_FINISHED); }) << Fn([](int) { return DWORD(0); })
        << int(DevStatusUpgradeOk) << 1;
}

void TestThreadMaintain::nvrUpgradePolling()
{
    QFETCH(FnPollAnswer, state);
    QFETCH(FnPollAnswer, progress);
    QFETCH(int, status);
    QFETCH(int, polls);
    m_pFake->fnState = state;
    m_pFake->fnProgress = progress;

    CMaintainThread oWorker(this, fakeApi());
    oWorker.setPollInterval(1);
    CUIDeviceBean oBean = device(QStringLiteral("NVR"));
    oWorker.devUpgradeSlot(QStringLiteral("/fw/nvr.bin"), oBean);

    QCOMPARE(m_listResults.size(), 1);
    QCOMPARE(m_listResults.at(0).m_lStatus, status);
    QCOMPARE(m_listResults.at(0).m_strIp, oBean.m_strIp);
    QCOMPARE(fake(&stFakeLib::iStatePolls), polls);
    QCOMPARE(fake(&stFakeLib::iCloses), 1);
    QCOMPARE(fake(&stFakeLib::ulLastClosed), kUpgradeHandle);
    QCOMPARE(fake(&stFakeLib::iLogins), 1);
    QCOMPARE(fake(&stFakeLib::iLogouts), 1);
    QCOMPARE(fake(&stFakeLib::wPort), WORD(6060));
    QCOMPARE(fake(&stFakeLib::strIp), QStringLiteral("127.0.0.5"));
    QCOMPARE(fake(&stFakeLib::strUser), QStringLiteral("admin"));
    QCOMPARE(fake(&stFakeLib::strLastPath), QStringLiteral("/fw/nvr.bin"));
}

void TestThreadMaintain::nvrUpgradeReportsProgress()
{
    m_pFake->fnState = [](int n) { return DWORD(n >= 4 ? TLSDK_UPGRADE_FINISHED : TLSDK_UPGRADE_RUNNING); };
    // 20, 20 (not repeated), 60, then finished.
    m_pFake->fnProgress = [](int n) { return DWORD(n == 3 ? 60 : 20); };
    CMaintainThread oWorker(this, fakeApi());
    oWorker.setPollInterval(1);
    QSignalSpy progress(&oWorker, &CMaintainThread::sendProgressSignal);
    CUIDeviceBean oBean = device(QStringLiteral("NVR"));
    oWorker.devUpgradeSlot(QStringLiteral("/fw/nvr.bin"), oBean);
    QCOMPARE(progress.size(), 2);
    QCOMPARE(progress.at(0).at(0).toString(), oBean.m_strIp);
    QCOMPARE(progress.at(0).at(1).toInt(), 20);
    QCOMPARE(progress.at(1).at(1).toInt(), 60);
    QCOMPARE(m_listResults.size(), 1);
    QCOMPARE(m_listResults.at(0).m_lStatus, qint32(DevStatusUpgradeOk));
}

void TestThreadMaintain::nvrUpgradeNotStarted()
{
    CMaintainThread oWorker(this, fakeApi());
    oWorker.setPollInterval(1);
    CUIDeviceBean oBean = device(QStringLiteral("NVR"));

    m_pFake->ulUpgradeResult = TLSDK_ERR_FIRMWARE;
    oWorker.devUpgradeSlot(QStringLiteral("/fw/other.bin"), oBean);
    QCOMPARE(m_listResults.size(), 1);
    QCOMPARE(m_listResults.at(0).m_lStatus, long(DevStatusUpgradeFailed));
    QCOMPARE(fake(&stFakeLib::iStatePolls), 0);
    QCOMPARE(fake(&stFakeLib::iCloses), 0); // nothing was opened
    QCOMPARE(fake(&stFakeLib::iLogouts), 1);

    m_pFake->ulLoginResult = TLSDK_ERR_PASSWORD;
    oWorker.devUpgradeSlot(QStringLiteral("/fw/other.bin"), oBean);
    QCOMPARE(m_listResults.size(), 2);
    QCOMPARE(m_listResults.at(1).m_lStatus, long(DevStatusUpgradeFailed));
    QCOMPARE(fake(&stFakeLib::iUpgrades), 1);
    QCOMPARE(fake(&stFakeLib::iLogouts), 1);
}

void TestThreadMaintain::ipcUpgradeWaitsForCallback()
{
    CMaintainThread oWorker(this, fakeApi());
    CUIDeviceBean oBean = device(QStringLiteral("IPC"));
    oWorker.devUpgradeSlot(QStringLiteral("/fw/ipc.zip"), oBean);
    QVERIFY(m_listResults.isEmpty());
    QCOMPARE(fake(&stFakeLib::strLastKey), QStringLiteral("uid-5"));
    QCOMPARE(fake(&stFakeLib::iLogins), 0);

    m_pFake->ulFileResult = ZELT_MW_ERR_FIRMWARE;
    oWorker.devUpgradeSlot(QStringLiteral("/fw/ipc.zip"), oBean);
    QCOMPARE(m_listResults.size(), 1);
    QCOMPARE(m_listResults.at(0).m_lStatus, long(DevStatusUpgradeFailed));
}

void TestThreadMaintain::fileOperations_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("op"); // 0 import, 1 export
    QTest::addColumn<DWORD>("libResult");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("sentPath");
    QTest::addColumn<int>("status");

    const QString strCfg = QStringLiteral("/cfg/Config.cfg");
    const QString strDir = QStringLiteral("/cfg/out");
    const QString strDirFile = QDir::toNativeSeparators(QStringLiteral("/cfg/out/127.0.0.5_config.cfg"));
    QTest::newRow("NVR import") << "NVR" << 0 << DWORD(0) << strCfg << strCfg << int(DevStatusImportOk);
    QTest::newRow("NVR import refused") << "NVR" << 0 << DWORD(TLSDK_ERR_CONFIG_FILE) << strCfg << strCfg
                                        << int(DevStatusImportFailed);
    QTest::newRow("untyped import") << "" << 0 << DWORD(0) << strCfg << strCfg << int(DevStatusImportOk);
    QTest::newRow("IPC import") << "IPC" << 0 << DWORD(0) << strCfg << strCfg << int(DevStatusImportOk);
    QTest::newRow("IPC import refused") << "IPC" << 0 << DWORD(ZELT_MW_ERR_CONFIG_FILE) << strCfg << strCfg
                                        << int(DevStatusImportFailed);
    QTest::newRow("NVR export") << "NVR" << 1 << DWORD(0) << strDir << strDirFile << int(DevStatusExportOk);
    QTest::newRow("NVR export failed") << "NVR" << 1 << DWORD(TLSDK_ERR_FILE) << strDir << strDirFile
                                       << int(DevStatusExportFailed);
    QTest::newRow("IPC export") << "IPC" << 1 << DWORD(0) << strDir << strDir << int(DevStatusExportOk);
}

void TestThreadMaintain::fileOperations()
{
    QFETCH(QString, type);
    QFETCH(int, op);
    QFETCH(DWORD, libResult);
    QFETCH(QString, path);
    QFETCH(QString, sentPath);
    QFETCH(int, status);
    m_pFake->ulFileResult = libResult;

    CMaintainThread oWorker(this, fakeApi());
    CUIDeviceBean oBean = device(type);
    if (op == 0)
        oWorker.importCfgSlot(path, oBean);
    else
        oWorker.exportCfgSlot(path, oBean);

    QCOMPARE(m_listResults.size(), 1);
    QCOMPARE(m_listResults.at(0).m_lStatus, status);
    QCOMPARE(fake(&stFakeLib::strLastPath), sentPath);
    const bool bIpc = type == QLatin1String("IPC");
    QCOMPARE(fake(&stFakeLib::iIpcCalls), bIpc ? 1 : 0);
    QCOMPARE(fake(&stFakeLib::iLogins), bIpc ? 0 : 1);
    QCOMPARE(fake(&stFakeLib::iLogouts), fake(&stFakeLib::iLogins));
}

void TestThreadMaintain::diagExportFolders()
{
    QTemporaryDir oDir;
    QVERIFY(oDir.isValid());
    const QString strBase = QDir::toNativeSeparators(oDir.path());
    CMaintainThread oWorker(this, fakeApi());

    CUIDeviceBean oIpc = device(QStringLiteral("IPC"));
    oWorker.exportDiagInfoSlot(strBase, oIpc);
    const QString strIpcFolder = QDir::toNativeSeparators(oDir.path() + QStringLiteral("/127.0.0.5"));
    QCOMPARE(fake(&stFakeLib::strLastPath), strIpcFolder);
    QVERIFY(QFileInfo(strIpcFolder).isDir());
    QCOMPARE(m_listResults.last().m_lStatus, long(DevStatusExportOk));

    CUIDeviceBean oNvr = device(QStringLiteral("NVR"));
    const QDateTime oBefore = QDateTime::currentDateTime();
    oWorker.exportDiagInfoSlot(strBase, oNvr);
    QCOMPARE(m_listResults.last().m_lStatus, long(DevStatusExportOk));
    const QString strSep = QRegularExpression::escape(QString(QDir::separator()));
    const QRegularExpression oPattern(QStringLiteral("^") + QRegularExpression::escape(strIpcFolder) + strSep
                                      + QStringLiteral("NVR(\\d{14})") + strSep + QStringLiteral("mtinfo\\.tgz$"));
    const QRegularExpressionMatch oMatch = oPattern.match(fake(&stFakeLib::strLastPath));
    QVERIFY2(oMatch.hasMatch(), qPrintable(fake(&stFakeLib::strLastPath)));
    const QDateTime oStamp = QDateTime::fromString(oMatch.captured(1), QStringLiteral("yyyyMMddhhmmss"));
    QVERIFY(oStamp.isValid());
    QVERIFY(qAbs(oStamp.secsTo(oBefore)) <= 2);
    QVERIFY(QFileInfo(QFileInfo(fake(&stFakeLib::strLastPath)).path()).isDir());
    QCOMPARE(fake(&stFakeLib::iLogouts), 1);
}

void TestThreadMaintain::diagExportFolderCannotBeCreated()
{
    QTemporaryDir oDir;
    QVERIFY(oDir.isValid());
    // A file where the address folder should go.
    QFile oBlocker(oDir.filePath(QStringLiteral("127.0.0.5")));
    QVERIFY(oBlocker.open(QIODevice::WriteOnly));
    oBlocker.close();

    CMaintainThread oWorker(this, fakeApi());
    CUIDeviceBean oIpc = device(QStringLiteral("IPC"));
    oWorker.exportDiagInfoSlot(QDir::toNativeSeparators(oDir.path()), oIpc);
    CUIDeviceBean oNvr = device(QStringLiteral("NVR"));
    oWorker.exportDiagInfoSlot(QDir::toNativeSeparators(oDir.path()), oNvr);
    QCOMPARE(m_listResults.size(), 2);
    QCOMPARE(m_listResults.at(0).m_lStatus, long(DevStatusExportFailed));
    QCOMPARE(m_listResults.at(1).m_lStatus, long(DevStatusExportFailed));
    QCOMPARE(fake(&stFakeLib::iIpcCalls), 0);
    QCOMPARE(fake(&stFakeLib::iLogouts), fake(&stFakeLib::iLogins));
}

void TestThreadMaintain::failedLoginSkipsTheLibraryCall()
{
    m_pFake->ulLoginResult = TLSDK_ERR_CONNECT;
    CMaintainThread oWorker(this, fakeApi());
    QTemporaryDir oDir;
    CUIDeviceBean oBean = device(QStringLiteral("NVR"));
    oWorker.importCfgSlot(QStringLiteral("/cfg/a.cfg"), oBean);
    oWorker.exportCfgSlot(oDir.path(), oBean);
    oWorker.exportDiagInfoSlot(oDir.path(), oBean);
    QCOMPARE(m_listResults.size(), 3);
    QCOMPARE(m_listResults.at(0).m_lStatus, long(DevStatusImportFailed));
    QCOMPARE(m_listResults.at(1).m_lStatus, long(DevStatusExportFailed));
    QCOMPARE(m_listResults.at(2).m_lStatus, long(DevStatusExportFailed));
    QVERIFY(fake(&stFakeLib::strLastPath).isEmpty());
    QCOMPARE(fake(&stFakeLib::iLogouts), 0);
}

void TestThreadMaintain::stopRequestEndsPolling()
{
    // Queued requests across threads, as the device tab sends them.
    QThread oThread;
    auto *pWorker = new CMaintainThread(this, fakeApi());
    pWorker->moveToThread(&oThread);
    connect(&oThread, &QThread::finished, pWorker, &QObject::deleteLater);
    oThread.start(QThread::InheritPriority);

    CUIDeviceBean oBean = device(QStringLiteral("NVR"));
    QMetaObject::invokeMethod(pWorker, "devUpgradeSlot", Qt::QueuedConnection,
                              Q_ARG(QString, QStringLiteral("/fw/nvr.bin")), Q_ARG(CUIDeviceBean &, oBean));
    QTRY_COMPARE(fake(&stFakeLib::iUpgrades), 1);
    // A default 10 s interval: only the stop request can end this quickly.
    oThread.requestInterruption();
    oThread.quit();
    QVERIFY(oThread.wait(2000));
    QTRY_COMPARE(m_listResults.size(), 1);
    QCOMPARE(m_listResults.at(0).m_lStatus, long(DevStatusUpgradeFailed));
    QCOMPARE(fake(&stFakeLib::iCloses), 1);
    QCOMPARE(fake(&stFakeLib::iLogouts), 1);
}

QTEST_MAIN(TestThreadMaintain)
#include "tst_thread_maintain.moc"
