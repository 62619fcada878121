// ONVIF devices of the simulator through the program's own paths: the
// discovery service, the login and address workers, the session dispatch
// and the maintenance worker.
#include "devdiscovery.h"
#include "devlistmerge.h"
#include "devrequests.h"
#include "devsession.h"
#include "devtext.h"
#include "ipv4.h"
#include "onvifdevice.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_devlogin.h"
#include "thread_maintain.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kFirstIp = QStringLiteral("127.140.0.10");
constexpr int kOnvifCount = 4;
} // namespace

class TestOnvif : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void discoveryListsOnvifBesideNative();
    void loginReadsDeviceAndWrongPasswordSaysSo();
    void addressChangeMovesTheRow();
    void restartComesBackAndDaylightSavingIsKept();
    void networkPageSettingsReachTheDeviceAndTheRowFollows();
    void upgradeReportsProgress();
    void operationTheDeviceLacksSaysSo();
    void nonLoopbackDestinationIsRefused();

private:
    CUIDeviceBean loggedIn(int iIndex);

    QScopedPointer<SimFleetProcess> m_pSim;
    QList<CUIDeviceBean> m_listDev;
    QTemporaryDir m_oDir;
};

void TestOnvif::initTestCase()
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    registerRecordTypes();
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QStringLiteral("1"), QStringLiteral("--onvif"),
                                      QString::number(kOnvifCount), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--restart-ms"), QStringLiteral("300"),
                                      QStringLiteral("--onvif-unsupported"), QStringLiteral("GetSystemLog"),
                                      QStringLiteral("--state"), m_oDir.path()}));
    CORVANE_START_SIMULATOR(*m_pSim);
}

void TestOnvif::cleanupTestCase()
{
    if (m_pSim)
        m_pSim->stop();
}

CUIDeviceBean TestOnvif::loggedIn(int iIndex)
{
    CUIDeviceBean dev = m_listDev.value(iIndex);
    dev.m_strUserName = QStringLiteral("admin");
    dev.m_strPassword = QStringLiteral("vorpe");
    CDevThread::loginDevice(&dev);
    return dev;
}

void TestOnvif::discoveryListsOnvifBesideNative()
{
    CDevDiscovery oDiscovery;
    const QString strLast = SimFleetProcess::numberToIp(SimFleetProcess::ipToNumber(kFirstIp) + kOnvifCount);
    oDiscovery.sendProbe2(kFirstIp, strLast);
    auto countOnvif = [&oDiscovery] {
        int n = 0;
        for (const stDiscoveryBean &bean : oDiscovery.results())
            n += bean.strProtocol == QLatin1String("onvif") ? 1 : 0;
        return n;
    };
    QTRY_COMPARE_WITH_TIMEOUT(countOnvif(), kOnvifCount, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(oDiscovery.resultCount(), kOnvifCount + 1, 5000);

    CDevListMerge oMerge(m_listDev);
    QCOMPARE(oMerge.mergeDiscovered(oDiscovery.results(), QStringLiteral("admin"), QStringLiteral("vorpe")),
             kOnvifCount + 1);
    // A second answer of the same device adds no row.
    QCOMPARE(oMerge.mergeDiscovered(oDiscovery.results(), QStringLiteral("admin"), QStringLiteral("vorpe")), 0);
    m_listDev.erase(std::remove_if(m_listDev.begin(), m_listDev.end(),
                                   [](const CUIDeviceBean &dev) { return !dev.isOnvif(); }),
                    m_listDev.end());
    std::sort(m_listDev.begin(), m_listDev.end(), [](const CUIDeviceBean &a, const CUIDeviceBean &b) {
        return SimFleetProcess::ipToNumber(a.m_strIp) < SimFleetProcess::ipToNumber(b.m_strIp);
    });
    QCOMPARE(m_listDev.size(), kOnvifCount);
    for (const CUIDeviceBean &dev : qAsConst(m_listDev)) {
        QVERIFY(dev.m_strEndpoint.startsWith(QLatin1String("urn:")));
        QCOMPARE(QUrl(dev.m_strXAddr).host(), dev.m_strIp);
        QVERIFY(dev.modelText().startsWith(QLatin1String("ONVIF")));
    }
}

void TestOnvif::loginReadsDeviceAndWrongPasswordSaysSo()
{
    QVERIFY(!m_listDev.isEmpty());
    const CUIDeviceBean dev = loggedIn(0);
    QCOMPARE(dev.m_lStatus, qint32(DevStatusLogged));
    QVERIFY(!dev.m_strManufacturer.isEmpty());
    QVERIFY(!dev.m_strSerial.isEmpty());
    QVERIFY(!dev.m_strVersion.isEmpty());
    QCOMPARE(dev.m_strMac.size(), 12);
    QVERIFY(Ipv4::isValidMask(dev.m_strMask));

    CUIDeviceBean wrong = m_listDev.at(0);
    wrong.m_strUserName = QStringLiteral("admin");
    wrong.m_strPassword = QStringLiteral("not-the-password");
    CDevThread::loginDevice(&wrong);
    QCOMPARE(wrong.m_lStatus, qint32(DevStatusLoginFailed));
    QCOMPARE(wrong.m_strFailReason, COnvifError(COnvifError::Account).reason());
}

void TestOnvif::addressChangeMovesTheRow()
{
    QVERIFY(m_listDev.size() > 1);
    const CUIDeviceBean dev = loggedIn(1);
    QCOMPARE(dev.m_lStatus, qint32(DevStatusLogged));
    const QString strNewIp = QStringLiteral("127.140.1.50");
    CBatchEditNetAddrBean oRequest =
        DevRequests::addressChange(dev, strNewIp, dev.m_strMask, QStringLiteral("127.140.1.1"), dev.m_strPassword);
    DevSession::changeAddress(oRequest);
    QCOMPARE(oRequest.m_strFailReason, QString());
    QCOMPARE(oRequest.m_lResult, qint32(DevStatusModifyOk));

    CDevListMerge oMerge(m_listDev);
    m_listDev[1] = dev;
    QCOMPARE(oMerge.mergeAddressResult(oRequest).size(), 1);
    QCOMPARE(m_listDev.at(1).m_strIp, strNewIp);
    // The row reaches the device at its new address.
    QTRY_COMPARE_WITH_TIMEOUT(loggedIn(1).m_lStatus, qint32(DevStatusLogged), 10000);
    QCOMPARE(loggedIn(1).m_strGateway, QStringLiteral("127.140.1.1"));
}

void TestOnvif::restartComesBackAndDaylightSavingIsKept()
{
    QVERIFY(m_listDev.size() > 2);
    const CUIDeviceBean dev = loggedIn(2);
    QByteArray dst(ZELT_DST_SIZE, '\0');
    auto *p = reinterpret_cast<uint8_t *>(dst.data());
    zelt_put_u32(p, ZELT_DST_ENABLED, 1);
    p[ZELT_DST_START_MONTH] = 3;
    p[ZELT_DST_START_WEEK] = 5;
    p[ZELT_DST_START_WEEKDAY] = 0;
    p[ZELT_DST_START_HOUR] = 2;
    p[ZELT_DST_END_MONTH] = 10;
    p[ZELT_DST_END_WEEK] = 5;
    p[ZELT_DST_END_WEEKDAY] = 0;
    p[ZELT_DST_END_HOUR] = 3;
    zelt_put_u16(p, ZELT_DST_OFFSET_MIN, 60);
    QString strReason;
    QCOMPARE(DevSession::writeConfig(dev, ZELT_MW_DST_CFG, dst, strReason), DWORD(0));
    QCOMPARE(strReason, QString());

    QCOMPARE(DevSession::restart(dev, strReason), DWORD(0));
    QTRY_COMPARE_WITH_TIMEOUT(loggedIn(2).m_lStatus, qint32(DevStatusLogged), 15000);

    COnvifNode answer;
    QVERIFY(COnvifSoap::ofThread()
                .call({QUrl(dev.m_strXAddr), dev.m_strUserName, dev.m_strPassword},
                      QStringLiteral("<tds:GetSystemDateAndTime/>"), answer, false)
                .ok());
    const COnvifNode *pTz = answer.find(OnvifNs::kSchema, QStringLiteral("TZ"));
    QVERIFY(pTz);
    QVERIFY2(pTz->m_strText.contains(QLatin1String(",M3.5.0/2,M10.5.0/3")), qPrintable(pTz->m_strText));
    // The dialog reads the rule back as it wrote it.
    QByteArray readBack;
    QCOMPARE(DevSession::readConfig(loggedIn(2), ZELT_MW_DST_CFG, readBack, strReason), DWORD(0));
    QCOMPARE(readBack, dst);
}

void TestOnvif::networkPageSettingsReachTheDeviceAndTheRowFollows()
{
    QVERIFY(!m_listDev.isEmpty());
    const CUIDeviceBean dev = loggedIn(0);
    QString strReason;
    QByteArray dns, ntx, port, netIf;
    QCOMPARE(DevSession::readConfig(dev, ZELT_MW_DNS_SERVER_CFG, dns, strReason), DWORD(0));
    QCOMPARE(DevSession::readConfig(dev, ZELT_MW_NTX_CFG, ntx, strReason), DWORD(0));
    QCOMPARE(DevSession::readConfig(dev, ZELT_MW_PORT_CFG, port, strReason), DWORD(0));
    QCOMPARE(int(zelt_get_u16(port.constData(), ZELT_PORT_HTTP)), QUrl(dev.m_strXAddr).port());
    DevText::toBuffer(QStringLiteral("127.140.9.1"), dns.data() + ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN);
    DevText::toBuffer(QStringLiteral("127.140.9.2"), dns.data() + ZELT_DNS_ALTERNATE, ZELT_DNS_ADDR_LEN);
    DevText::toBuffer(QStringLiteral("127.140.9.3"), ntx.data() + ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN);
    QCOMPARE(DevSession::writeConfig(dev, ZELT_MW_DNS_SERVER_CFG, dns, strReason), DWORD(0));
    QCOMPARE(DevSession::writeConfig(dev, ZELT_MW_NTX_CFG, ntx, strReason), DWORD(0));
    QByteArray dnsRead, ntxRead;
    QCOMPARE(DevSession::readConfig(dev, ZELT_MW_DNS_SERVER_CFG, dnsRead, strReason), DWORD(0));
    QCOMPARE(DevSession::readConfig(dev, ZELT_MW_NTX_CFG, ntxRead, strReason), DWORD(0));
    QCOMPARE(dnsRead, dns);
    QCOMPARE(ntxRead, ntx);

    // The system information page gets the device's clock, zone and scopes.
    const QList<QPair<QString, QString>> listInfo = DevSession::extraSystemInfo(dev, strReason);
    QCOMPARE(strReason, QString());
    QVERIFY(std::any_of(listInfo.cbegin(), listInfo.cend(), [](const QPair<QString, QString> &row) {
        return row.second.contains(QLatin1String("onvif://www.onvif.org/"));
    }));

    // A new address from the interface structure: the device moves, its row with it (as the configuration
    // dialog does), and the next refresh finds it there.
    const QString strNewIp = QStringLiteral("127.140.2.60");
    QCOMPARE(DevSession::readConfig(dev, ZELT_MW_NETWORK_INTERFACE_CFG, netIf, strReason), DWORD(0));
    DevText::toBuffer(strNewIp, netIf.data() + ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN);
    QCOMPARE(DevSession::writeConfig(dev, ZELT_MW_NETWORK_INTERFACE_CFG, netIf, strReason), DWORD(0));
    CDevDiscovery oDiscovery;
    oDiscovery.sendProbe2(strNewIp, strNewIp);
    QTRY_COMPARE_WITH_TIMEOUT(oDiscovery.resultCount(), 1, 5000);
    CDevListMerge oMerge(m_listDev);
    oMerge.mergeMove(dev.m_strIp, strNewIp);
    QCOMPARE(oMerge.mergeDiscovered(oDiscovery.results(), dev.m_strUserName, dev.m_strPassword), 0);
    QCOMPARE(m_listDev.at(0).m_strIp, strNewIp);
    QCOMPARE(loggedIn(0).m_lStatus, qint32(DevStatusLogged));
}

void TestOnvif::upgradeReportsProgress()
{
    QVERIFY(m_listDev.size() > 3);
    const CUIDeviceBean dev = loggedIn(3);
    QCOMPARE(dev.m_lStatus, qint32(DevStatusLogged));
    const QString strFile = m_oDir.filePath(QStringLiteral("fw.bin"));
    QVERIFY(SimFleetProcess::makeFirmware(dev.m_strModel, QStringLiteral("V9.9.9"), strFile));

    CMaintainThread oWorker(nullptr);
    QSignalSpy spyProgress(&oWorker, &CMaintainThread::sendProgressSignal);
    QSignalSpy spyResult(&oWorker, &CMaintainThread::sendResultSignal);
    CUIDeviceBean oRequest = dev;
    oWorker.devUpgradeSlot(strFile, oRequest);
    QCOMPARE(spyResult.size(), 1);
    QCOMPARE(oRequest.m_strFailReason, QString());
    QCOMPARE(oRequest.m_lStatus, qint32(DevStatusUpgradeOk));
    QVERIFY(!spyProgress.isEmpty());
    QCOMPARE(spyProgress.last().at(1).toInt(), 100);
    QTRY_COMPARE_WITH_TIMEOUT(loggedIn(3).m_strVersion, QStringLiteral("V9.9.9"), 15000);
}

void TestOnvif::operationTheDeviceLacksSaysSo()
{
    const CUIDeviceBean dev = loggedIn(1);
    QCOMPARE(dev.m_lStatus, qint32(DevStatusLogged));
    CMaintainThread oWorker(nullptr);
    QSignalSpy spyResult(&oWorker, &CMaintainThread::sendResultSignal);
    CUIDeviceBean oRequest = dev;
    oWorker.exportDiagInfoSlot(m_oDir.path(), oRequest);
    QCOMPARE(spyResult.size(), 1);
    // The record the device tab puts into the row.
    const CUIDeviceBean oRow = spyResult.first().first().value<CUIDeviceBean>();
    QCOMPARE(oRow.m_lStatus, qint32(DevStatusExportFailed));
    QCOMPARE(oRow.m_strFailReason, COnvifError(COnvifError::Unsupported).reason());
}

void TestOnvif::nonLoopbackDestinationIsRefused()
{
    // IPv6 loopback: outside 127.0.0.0/8, yet nothing could leave the machine were it sent.
    COnvifDevice device(QStringLiteral("http://[::1]:9/onvif/device_service"), QStringLiteral("admin"),
                        QStringLiteral("vorpe"));
    QCOMPARE(device.open().kind(), COnvifError::Refused);
}

QTEST_MAIN(TestOnvif)
#include "tst_onvif.moc"
