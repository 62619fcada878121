#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_devlogin.h"
#include "uidevicebean.h"

#include "TolanNetSDK.h"
#include "tolan_cfg.h"
#include "zelt_mw_sdk.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtTest>

#include <array>

// Receives what the login worker reports, as an owner does.
class CLoginReceiver : public QObject
{
    Q_OBJECT

public:
    QList<CUIDeviceBean> listSingle;
    QList<CUIDeviceBean> listFinal;
    ulong ulEvent = 0;
    int nFinal = 0;

public slots:
    void getResultSlot(CUIDeviceBean &oBean) { listSingle << oBean; }
    void getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType)
    {
        // Every single result comes before the final one.
        QCOMPARE(listSingle.size(), oDevList.size());
        listFinal = oDevList;
        ulEvent = ulEventType;
        ++nFinal;
    }
};

// The login worker against simulated devices: library choice, the device
// information read after login, and logout through the login key.
class TestDevLogin : public QObject
{
    Q_OBJECT

signals:
    void sendLoginSignal(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void sendLogoutSignal(CUIDeviceBean &oBean);

private:
    const QString m_strFirst = QStringLiteral("127.66.0.10");
    const QString m_strNowhere = QStringLiteral("127.66.0.200");
    SimFleetProcess m_sim{{QStringLiteral("--ipc"), QStringLiteral("1"), QStringLiteral("--nvr"),
                           QStringLiteral("1"), QStringLiteral("--first"), m_strFirst}};
    CLoginReceiver m_receiver;
    QThread m_loginThread;
    QThread m_logoutThread;
    CDevThread *m_pLogin = nullptr;
    CDevThread *m_pLogout = nullptr;

    const SimFleetProcess::Device &simDevice(const QString &strType)
    {
        for (const SimFleetProcess::Device &device : m_sim.devices()) {
            if (device.type == strType)
                return device;
        }
        qFatal("no simulated %s", qPrintable(strType));
    }
    static CUIDeviceBean record(const QString &strIp, const QString &strSerial = QString())
    {
        CUIDeviceBean oBean;
        oBean.m_lDevId = 7;
        oBean.m_lStatus = DevStatusConnecting;
        oBean.m_strIp = strIp;
        oBean.m_strSerial = strSerial;
        oBean.m_strMac = QStringLiteral("from-discovery");
        oBean.m_strUserName = QStringLiteral("admin");
        oBean.m_strPassword = QStringLiteral("vorpe");
        return oBean;
    }
    QList<CUIDeviceBean> login(QList<CUIDeviceBean> list, ulong ulEvent)
    {
        m_receiver.listSingle.clear();
        const int nBefore = m_receiver.nFinal;
        emit sendLoginSignal(list, ulEvent);
        if (!QTest::qWaitFor([&] { return m_receiver.nFinal > nBefore; }, 30000))
            return {};
        return m_receiver.listFinal;
    }

private slots:
    void initTestCase()
    {
        // Devices that never answer cost this much each (read at the first library call).
        qputenv("CORVANE_ZELT_TIMEOUT_MS", "1500");
        registerRecordTypes();
        CORVANE_START_SIMULATOR(m_sim);
        ZELT_MW_Init();
        TLSDK_Init();

        m_pLogin = new CDevThread(&m_receiver);
        m_pLogin->moveToThread(&m_loginThread);
        connect(this, &TestDevLogin::sendLoginSignal, m_pLogin, &CDevThread::devLoginSlot);
        m_pLogout = new CDevThread(&m_receiver);
        m_pLogout->moveToThread(&m_logoutThread);
        connect(this, &TestDevLogin::sendLogoutSignal, m_pLogout, &CDevThread::devLogoutSlot);
        connect(&m_loginThread, &QThread::finished, m_pLogin, &QObject::deleteLater);
        connect(&m_logoutThread, &QThread::finished, m_pLogout, &QObject::deleteLater);
        m_loginThread.start(QThread::InheritPriority);
        m_logoutThread.start(QThread::InheritPriority);
    }

    void cleanupTestCase()
    {
        m_loginThread.quit();
        m_logoutThread.quit();
        m_loginThread.wait();
        m_logoutThread.wait();
    }

    void ipcNvrUnreachable()
    {
        const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"));
        const SimFleetProcess::Device &nvr = simDevice(QStringLiteral("NVR"));
        QList<CUIDeviceBean> list{record(ipc.ip, ipc.serial), record(nvr.ip), record(m_strNowhere)};
        const QList<CUIDeviceBean> listResult = login(list, 5);
        QCOMPARE(m_receiver.nFinal, 1);
        QCOMPARE(m_receiver.ulEvent, 5UL);
        QCOMPARE(listResult.size(), 3);

        // One single result per device, in list order.
        QCOMPARE(m_receiver.listSingle.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_receiver.listSingle.at(i).m_strIp, list.at(i).m_strIp);

        const CUIDeviceBean &oIpc = listResult.at(0);
        QCOMPARE(oIpc.m_strDevType, QStringLiteral("IPC"));
        QCOMPARE(oIpc.m_lStatus, 2);
        QVERIFY(!oIpc.m_strLoginKey.isEmpty());
        QCOMPARE(oIpc.m_strModel, ipc.model);
        QVERIFY(!oIpc.m_strVersion.isEmpty());
        QVERIFY(!oIpc.m_strMask.isEmpty());
        // The IPC keeps the identity discovery delivered.
        QCOMPARE(oIpc.m_strSerial, ipc.serial);
        QCOMPARE(oIpc.m_strMac, QStringLiteral("from-discovery"));
        QVERIFY(oIpc.m_strExtSerial.isEmpty() || oIpc.m_strExtSerial.startsWith(ipc.serial));
        QVERIFY(oIpc.m_strExtSerial != ipc.serial);
        QCOMPARE(oIpc.m_lDevId, 7);

        const CUIDeviceBean &oNvr = listResult.at(1);
        QCOMPARE(oNvr.m_strDevType, QStringLiteral("NVR"));
        QCOMPARE(oNvr.m_lStatus, 2);
        QCOMPARE(oNvr.m_strModel, nvr.model);
        QCOMPARE(oNvr.m_strSerial, nvr.serial);
        QCOMPARE(oNvr.m_strMac, nvr.mac.toLower());
        QVERIFY(!oNvr.m_strGateway.isEmpty());

        const CUIDeviceBean &oNone = listResult.at(2);
        QCOMPARE(oNone.m_lStatus, 3);
        QVERIFY(oNone.m_strDevType.isEmpty());
        QVERIFY(oNone.m_strLoginKey.isEmpty());
        QCOMPARE(oNone.m_strMac, QStringLiteral("from-discovery"));

        for (CUIDeviceBean oBean : listResult)
            emit sendLogoutSignal(oBean);
    }

    // Logins of a list overlap, yet every result goes out in list order.
    void slowDevicesOverlapAndResultsKeepListOrder()
    {
        // The bookkeeping outlives the servers: a server's sockets report
        // their disconnection while the server is being destroyed.
        QList<QTcpSocket *> listOpen;
        int nMostOpen = 0;
        // Two addresses that accept the connection and never answer.
        QTcpServer silentA;
        QTcpServer silentB;
        if (!silentA.listen(QHostAddress(QStringLiteral("127.66.0.150")), 7060)
            || !silentB.listen(QHostAddress(QStringLiteral("127.66.0.151")), 7060))
            CORVANE_DEVICE_SKIP("cannot listen on the silent devices' addresses");
        for (QTcpServer *pServer : {&silentA, &silentB}) {
            connect(pServer, &QTcpServer::newConnection, this, [&, pServer] {
                while (QTcpSocket *pSocket = pServer->nextPendingConnection()) {
                    listOpen << pSocket;
                    connect(pSocket, &QTcpSocket::disconnected, this, [&, pSocket] { listOpen.removeOne(pSocket); });
                    nMostOpen = std::max(nMostOpen, int(listOpen.size()));
                }
            });
        }
        const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"));
        const SimFleetProcess::Device &nvr = simDevice(QStringLiteral("NVR"));
        const QList<CUIDeviceBean> list{record(QStringLiteral("127.66.0.150")), record(ipc.ip, ipc.serial),
                                        record(QStringLiteral("127.66.0.151")), record(nvr.ip),
                                        record(m_strNowhere)};
        const QList<CUIDeviceBean> listResult = login(list, 9);
        QCOMPARE(listResult.size(), list.size());
        QCOMPARE(m_receiver.listSingle.size(), list.size());
        for (int i = 0; i < list.size(); ++i) {
            QCOMPARE(m_receiver.listSingle.at(i).m_strIp, list.at(i).m_strIp);
            QCOMPARE(listResult.at(i).m_strIp, list.at(i).m_strIp);
        }
        const QList<int> listStatus{3, 2, 3, 2, 3};
        for (int i = 0; i < list.size(); ++i)
            QCOMPARE(listResult.at(i).m_lStatus, listStatus.at(i));
        QCOMPARE(listResult.at(1).m_strDevType, QStringLiteral("IPC"));
        QCOMPARE(listResult.at(3).m_strDevType, QStringLiteral("NVR"));
        // Both silent devices were waited on at the same time.
        QCOMPARE(nMostOpen, 2);
        for (CUIDeviceBean oBean : listResult)
            emit sendLogoutSignal(oBean);
    }

    void emptyListGivesOnlyTheFinalResult()
    {
        const int nBefore = m_receiver.nFinal;
        const QList<CUIDeviceBean> listResult = login({}, 0);
        QCOMPARE(m_receiver.nFinal, nBefore + 1);
        QVERIFY(listResult.isEmpty());
        QVERIFY(m_receiver.listSingle.isEmpty());
        QCOMPARE(m_receiver.ulEvent, 0UL);
    }

    void wrongPasswordFailsOnBothLibraries()
    {
        const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"));
        CUIDeviceBean oBean = record(ipc.ip, ipc.serial);
        oBean.m_strPassword = QStringLiteral("wrong");
        const QList<CUIDeviceBean> listResult = login({oBean}, 2);
        QCOMPARE(listResult.size(), 1);
        QCOMPARE(listResult.at(0).m_lStatus, 3);
        QVERIFY(listResult.at(0).m_strDevType.isEmpty());
        QCOMPARE(m_receiver.ulEvent, 2UL);
    }

    void nvrHandleRoundTrip()
    {
        const SimFleetProcess::Device &nvr = simDevice(QStringLiteral("NVR"));
        const QList<CUIDeviceBean> listResult = login({record(nvr.ip)}, 0);
        QCOMPARE(listResult.size(), 1);
        CUIDeviceBean oNvr = listResult.at(0);
        bool bOk = false;
        const DWORD ulHandle = oNvr.m_strLoginKey.toUInt(&bOk);
        QVERIFY(bOk);
        QCOMPARE(QString::number(ulHandle), oNvr.m_strLoginKey);

        // The session stays open after the login...
        std::array<char, TLSDK_DEVICE_INFO_SIZE> aInfo{};
        QCOMPARE(TLSDK_GetDevCfg(ulHandle, TLSDK_CFG_DEVICE_INFO, aInfo.data()), DWORD(TLSDK_OK));
        // ...and the logout instance closes it through the login key.
        emit sendLogoutSignal(oNvr);
        QTRY_COMPARE_WITH_TIMEOUT(TLSDK_GetDevCfg(ulHandle, TLSDK_CFG_DEVICE_INFO, aInfo.data()),
                                  DWORD(TLSDK_ERR_HANDLE), 10000);
    }

    void ipcLogoutClosesTheSession()
    {
        const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"));
        const QList<CUIDeviceBean> listResult = login({record(ipc.ip, ipc.serial)}, 0);
        QCOMPARE(listResult.size(), 1);
        CUIDeviceBean oIpc = listResult.at(0);
        const QByteArray baUserId = oIpc.m_strLoginKey.toLatin1();
        emit sendLogoutSignal(oIpc);
        std::array<char, 200> aNet{};
        QTRY_VERIFY_WITH_TIMEOUT(
            ZELT_MW_QueryDeviceInfo(baUserId.constData(), 0, ZELT_MW_QUERY_NETWORK, aNet.data()) != ZELT_MW_OK,
            10000);
    }

    void logoutOfUnknownTypeDoesNothing()
    {
        // A record never logged in, or with a key that is no handle, must not reach a library.
        CUIDeviceBean oBean = record(m_strNowhere);
        oBean.m_strLoginKey = QStringLiteral("1");
        emit sendLogoutSignal(oBean);
        oBean.m_strDevType = QStringLiteral("nvr");
        emit sendLogoutSignal(oBean);
        oBean.m_strDevType = QStringLiteral("NVR");
        oBean.m_strLoginKey = QStringLiteral("not-a-handle");
        emit sendLogoutSignal(oBean);
        // The queue still works afterwards.
        const QList<CUIDeviceBean> listResult = login({}, 4);
        QCOMPARE(m_receiver.ulEvent, 4UL);
        QVERIFY(listResult.isEmpty());
    }
};

QTEST_MAIN(TestDevLogin)
#include "tst_devlogin.moc"
