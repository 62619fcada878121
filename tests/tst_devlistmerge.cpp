#include "devlibraries.h"
#include "devlistmerge.h"
#include "devrequests.h"

#include "zelt_mw_sdk.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

stDiscoveryBean found(const QString &strIp, const QString &strModel = QStringLiteral("M1"))
{
    stDiscoveryBean bean;
    bean.strIp = strIp;
    bean.strModel = strModel;
    bean.strSerial = QStringLiteral("SN-") + strIp;
    bean.strMac = QStringLiteral("001122334455");
    bean.strVersion = QStringLiteral("V1");
    return bean;
}

CUIDeviceBean device(int iId, const QString &strIp)
{
    CUIDeviceBean dev;
    dev.m_lDevId = iId;
    dev.m_strIp = strIp;
    dev.m_lStatus = DevStatusNotLogged;
    return dev;
}

} // namespace

class TestDevListMerge : public QObject
{
    Q_OBJECT

private slots:
    void discoveryAppendsNewAddressesNumberedOn();
    void discoveryNumbersGrowPastTheHighestInASortedList();
    void resultCopiesInformationButOnlyALoginTheSession();
    void resultForAnUnknownAddressChangesNothing();
    void addressResultMovesOnlyOnSuccess();
    void addressResultKeepsThePlainForm();
    void upgradeEventTouchesOnlyRunningUpgradesOfThatKey();
    void versionReadAgainChangesOnlyTheVersion();
    void roundsTellStaleResults();
    void loginPreparationClosesTheOldSessionFirst();
    void addressRequestsCarryTheDeviceIdentity();
    void libraryEventReachesTheReceiverQueued();
};

void TestDevListMerge::discoveryAppendsNewAddressesNumberedOn()
{
    QList<CUIDeviceBean> listDev;
    CDevListMerge merge(listDev);
    const QList<stDiscoveryBean> listFound{found(QStringLiteral("127.0.0.2")), found(QStringLiteral("127.0.0.3")),
                                           found(QStringLiteral("127.0.0.2"))};
    QCOMPARE(merge.mergeDiscovered(listFound, QStringLiteral("admin"), QStringLiteral("pw")), 2);
    QCOMPARE(listDev.size(), 2);
    QCOMPARE(listDev.at(0).m_lDevId, 1);
    QCOMPARE(listDev.at(1).m_lDevId, 2);
    QCOMPARE(listDev.at(1).m_strSerial, QStringLiteral("SN-127.0.0.3"));
    QCOMPARE(listDev.at(0).m_strUserName, QStringLiteral("admin"));
    QCOMPARE(listDev.at(0).m_strPassword, QStringLiteral("pw"));
    QCOMPARE(listDev.at(0).m_lStatus, qint32(DevStatusNotLogged));
    QCOMPARE(listDev.at(0).m_ulListRound, merge.round());
    QVERIFY(listDev.at(0).m_strMask.isEmpty());

    // Answers without an address are never taken for a listed device.
    QCOMPARE(merge.mergeDiscovered({found(QString()), found(QString())}, QString(), QString()), 2);
}

void TestDevListMerge::discoveryNumbersGrowPastTheHighestInASortedList()
{
    QList<CUIDeviceBean> listDev{device(5, QStringLiteral("127.0.0.1")), device(2, QStringLiteral("127.0.0.9"))};
    CDevListMerge merge(listDev);
    merge.mergeDiscovered({found(QStringLiteral("127.0.0.4"))}, QString(), QString());
    QCOMPARE(listDev.last().m_lDevId, 7);
}

void TestDevListMerge::resultCopiesInformationButOnlyALoginTheSession()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2")), device(2, QStringLiteral("127.0.0.3"))};
    listDev[0].m_strLoginKey = QStringLiteral("fresh");
    listDev[0].m_strDevType = QStringLiteral("IPC");
    CDevListMerge merge(listDev);

    CUIDeviceBean oUpgrade = listDev.at(0);
    oUpgrade.m_strLoginKey = QStringLiteral("stale");
    oUpgrade.m_strDevType = QStringLiteral("NVR");
    oUpgrade.m_lStatus = DevStatusUpgradeOk;
    oUpgrade.m_strVersion = QStringLiteral("V2");
    oUpgrade.m_strMask = QStringLiteral("255.0.0.0");
    QCOMPARE(merge.mergeResult(oUpgrade), QList<int>{0});
    QCOMPARE(listDev.at(0).m_lStatus, qint32(DevStatusUpgradeOk));
    QCOMPARE(listDev.at(0).m_strVersion, QStringLiteral("V2"));
    QCOMPARE(listDev.at(0).m_strMask, QStringLiteral("255.0.0.0"));
    QCOMPARE(listDev.at(0).m_strLoginKey, QStringLiteral("fresh"));
    QCOMPARE(listDev.at(0).m_strDevType, QStringLiteral("IPC"));

    CUIDeviceBean oFailed = listDev.at(0);
    oFailed.m_lStatus = DevStatusLoginFailed;
    oFailed.m_strLoginKey.clear();
    merge.mergeResult(oFailed);
    QVERIFY(listDev.at(0).m_strLoginKey.isEmpty());
    QCOMPARE(listDev.at(1).m_lStatus, qint32(DevStatusNotLogged));
}

void TestDevListMerge::resultForAnUnknownAddressChangesNothing()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2"))};
    CDevListMerge merge(listDev);
    CUIDeviceBean oOther = device(1, QStringLiteral("127.0.0.20"));
    oOther.m_lStatus = DevStatusLogged;
    QVERIFY(merge.mergeResult(oOther).isEmpty());
    QCOMPARE(listDev.at(0).m_lStatus, qint32(DevStatusNotLogged));
}

void TestDevListMerge::addressResultMovesOnlyOnSuccess()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2"))};
    CDevListMerge merge(listDev);
    CBatchEditNetAddrBean oResult;
    oResult.m_strOldIp = QStringLiteral("127.0.0.2");
    oResult.m_strNewIp = QStringLiteral("127.0.0.50");
    oResult.m_strMask = QStringLiteral("255.255.255.0");
    oResult.m_strGateway = QStringLiteral("127.0.0.1");
    for (qint32 lFail : {qint32(DevStatusModifyFailed), qint32(DevStatusModifyConflict), qint32(DevStatusModifyInvalid)}) {
        oResult.m_lResult = lFail;
        QCOMPARE(merge.mergeAddressResult(oResult), QList<int>{0});
        QCOMPARE(listDev.at(0).m_strIp, QStringLiteral("127.0.0.2"));
        QCOMPARE(listDev.at(0).m_lStatus, lFail);
        QVERIFY(listDev.at(0).m_strMask.isEmpty());
    }
    oResult.m_lResult = DevStatusModifyOk;
    QCOMPARE(merge.mergeAddressResult(oResult), QList<int>{0});
    QCOMPARE(listDev.at(0).m_strIp, QStringLiteral("127.0.0.50"));
    QCOMPARE(listDev.at(0).m_strMask, QStringLiteral("255.255.255.0"));
    QCOMPARE(listDev.at(0).m_strGateway, QStringLiteral("127.0.0.1"));
    // The device has moved: the same result no longer finds it.
    QVERIFY(merge.mergeAddressResult(oResult).isEmpty());
}

void TestDevListMerge::addressResultKeepsThePlainForm()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2"))};
    CDevListMerge merge(listDev);
    CBatchEditNetAddrBean oResult;
    oResult.m_strOldIp = QStringLiteral("127.0.0.2");
    oResult.m_strNewIp = QStringLiteral("127.000.000.051");
    oResult.m_lResult = DevStatusModifyOk;
    merge.mergeAddressResult(oResult);
    QCOMPARE(listDev.at(0).m_strIp, QStringLiteral("127.0.0.51"));
}

void TestDevListMerge::upgradeEventTouchesOnlyRunningUpgradesOfThatKey()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2")), device(2, QStringLiteral("127.0.0.3")),
                                 device(3, QStringLiteral("127.0.0.4"))};
    listDev[0].m_strLoginKey = QStringLiteral("7");
    listDev[0].m_lStatus = DevStatusUpgrading;
    listDev[1].m_strLoginKey = QStringLiteral("7");
    listDev[1].m_lStatus = DevStatusLogged;
    listDev[2].m_strLoginKey = QStringLiteral("8");
    listDev[2].m_lStatus = DevStatusUpgrading;
    listDev[2].m_strFailReason = QStringLiteral("earlier failure");
    CDevListMerge merge(listDev);
    QCOMPARE(merge.mergeUpgradeEvent(QStringLiteral("7"), 2), QList<int>{0});
    QCOMPARE(listDev.at(0).m_lStatus, qint32(DevStatusUpgradeFailed));
    QCOMPARE(listDev.at(0).m_strFailReason, QStringLiteral("固件与设备型号不符"));
    QCOMPARE(listDev.at(1).m_lStatus, qint32(DevStatusLogged));
    QCOMPARE(merge.mergeUpgradeEvent(QStringLiteral("8"), 0), QList<int>{2});
    QCOMPARE(listDev.at(2).m_lStatus, qint32(DevStatusUpgradeOk));
    QVERIFY(listDev.at(2).m_strFailReason.isEmpty());
}

void TestDevListMerge::versionReadAgainChangesOnlyTheVersion()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2")), device(2, QStringLiteral("127.0.0.3"))};
    listDev[0].m_lStatus = DevStatusUpgradeOk;
    listDev[0].m_strVersion = QStringLiteral("V1");
    listDev[0].m_strLoginKey = QStringLiteral("7");
    listDev[1].m_strVersion = QStringLiteral("V1");
    CDevListMerge merge(listDev);
    CUIDeviceBean oRead = listDev.at(0);
    oRead.m_strVersion = QStringLiteral("V2");
    oRead.m_lStatus = DevStatusLogged;
    oRead.m_strLoginKey = QStringLiteral("probe");
    QCOMPARE(merge.mergeVersion(oRead), QList<int>{0});
    QCOMPARE(listDev.at(0).m_strVersion, QStringLiteral("V2"));
    QCOMPARE(listDev.at(0).m_lStatus, qint32(DevStatusUpgradeOk));
    QCOMPARE(listDev.at(0).m_strLoginKey, QStringLiteral("7"));
    QCOMPARE(listDev.at(1).m_strVersion, QStringLiteral("V1"));
}

void TestDevListMerge::roundsTellStaleResults()
{
    QList<CUIDeviceBean> listDev;
    CDevListMerge merge(listDev);
    const quint32 ulFirst = merge.round();
    QVERIFY(merge.isCurrentRound(ulFirst));
    QVERIFY(merge.isCurrentRound(0));
    merge.nextRound();
    QVERIFY(!merge.isCurrentRound(ulFirst));
    QVERIFY(merge.isCurrentRound(merge.round()));
    QVERIFY(merge.isCurrentRound(0));
}

void TestDevListMerge::loginPreparationClosesTheOldSessionFirst()
{
    QList<CUIDeviceBean> listDev{device(1, QStringLiteral("127.0.0.2")), device(2, QStringLiteral("127.0.0.3")),
                                 device(3, QStringLiteral("127.0.0.4"))};
    listDev[2].m_strLoginKey = QStringLiteral("old");
    listDev[2].m_strDevType = QStringLiteral("IPC");
    QList<CUIDeviceBean> listClose;
    const QList<CUIDeviceBean> listLogin =
        DevRequests::prepareLogin(listDev, {2, 0, 9}, QStringLiteral("u"), QStringLiteral("p"), listClose);
    QCOMPARE(listLogin.size(), 2);
    QCOMPARE(listLogin.at(0).m_strIp, QStringLiteral("127.0.0.4"));
    QCOMPARE(listLogin.at(1).m_strIp, QStringLiteral("127.0.0.2"));
    QCOMPARE(listClose.size(), 2);
    QCOMPARE(listClose.at(0).m_strLoginKey, QStringLiteral("old"));
    QCOMPARE(listClose.at(0).m_strUserName, QStringLiteral("u"));
    for (const CUIDeviceBean &dev : {listDev.at(0), listDev.at(2), listLogin.at(0)}) {
        QCOMPARE(dev.m_lStatus, qint32(DevStatusConnecting));
        QVERIFY(dev.m_strLoginKey.isEmpty());
        QCOMPARE(dev.m_strPassword, QStringLiteral("p"));
    }
    QCOMPARE(listDev.at(1).m_lStatus, qint32(DevStatusNotLogged));
}

void TestDevListMerge::addressRequestsCarryTheDeviceIdentity()
{
    CUIDeviceBean dev = device(1, QStringLiteral("127.0.0.2"));
    dev.m_strModel = QStringLiteral("M7");
    dev.m_strSerial = QStringLiteral("S1");
    dev.m_strMac = QStringLiteral("aabbccddeeff");
    dev.m_strUserName = QStringLiteral("admin");
    dev.m_strPassword = QStringLiteral("stored");
    const CBatchEditNetAddrBean oSingle = DevRequests::addressChange(
        dev, QStringLiteral("127.0.0.9"), QStringLiteral("255.0.0.0"), QStringLiteral("127.0.0.1"), QStringLiteral("typed"));
    QCOMPARE(oSingle.m_strOldIp, dev.m_strIp);
    QCOMPARE(oSingle.m_strNewIp, QStringLiteral("127.0.0.9"));
    QCOMPARE(oSingle.m_strSerial, QStringLiteral("S1"));
    QCOMPARE(oSingle.m_strMac, QStringLiteral("aabbccddeeff"));
    QCOMPARE(oSingle.m_strPassword, QStringLiteral("stored"));
    QCOMPARE(oSingle.m_strInputPassword, QStringLiteral("typed"));

    const QList<CBatchEditNetAddrBean> listRows = DevRequests::batchRows({dev, device(2, QStringLiteral("127.0.0.3"))});
    QCOMPARE(listRows.size(), 2);
    QCOMPARE(listRows.at(0).m_strName, QStringLiteral("M7_127.0.0.2"));
    QCOMPARE(listRows.at(0).m_strInputPassword, QStringLiteral("stored"));
    QCOMPARE(listRows.at(1).m_strName, QStringLiteral("_127.0.0.3"));
}

void TestDevListMerge::libraryEventReachesTheReceiverQueued()
{
    DWORD ulValue = 5;
    // No receiver yet: nothing happens.
    CDevLibraries::eventCallback("3", ZELT_MW_EVENT_UPGRADE, &ulValue);

    CDevLibraries libs(QDir::tempPath() + QStringLiteral("/corvane-log/"));
    QList<QPair<QString, qint64>> listEvents;
    connect(&libs, &CDevLibraries::sendUpgradeEventSignal, this,
            [&listEvents](QString strUserId, qint64 lValue) { listEvents.append({strUserId, lValue}); },
            Qt::QueuedConnection);

    QThread *pLibThread = QThread::create([&ulValue] {
        CDevLibraries::eventCallback("", ZELT_MW_EVENT_UPGRADE, &ulValue);
        CDevLibraries::eventCallback(nullptr, ZELT_MW_EVENT_UPGRADE, &ulValue);
        CDevLibraries::eventCallback("3", ZELT_MW_EVENT_UPGRADE + 1, &ulValue);
        CDevLibraries::eventCallback("3", ZELT_MW_EVENT_UPGRADE, nullptr);
        CDevLibraries::eventCallback("3", ZELT_MW_EVENT_UPGRADE, &ulValue);
    });
    pLibThread->start();
    QVERIFY(pLibThread->wait(5000));
    delete pLibThread;
    QTRY_COMPARE(listEvents.size(), 1);
    QCOMPARE(listEvents.at(0).first, QStringLiteral("3"));
    QCOMPARE(listEvents.at(0).second, qint64(5));
}

QTEST_MAIN(TestDevListMerge)
#include "tst_devlistmerge.moc"
