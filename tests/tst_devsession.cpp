#include "devsession.h"
#include "simfleetprocess.h"
#include "zelt_mw_sdk.h"

#include <QElapsedTimer>
#include <QtTest>

#include <csignal>

// Device sessions against simulated devices: which library serves a type,
// restart, and the bounded logout of everything at exit.
class TestDevSession : public QObject
{
    Q_OBJECT

private:
    SimFleetProcess m_sim{{QStringLiteral("--ipc"), QStringLiteral("1"), QStringLiteral("--nvr"), QStringLiteral("2"),
                           QStringLiteral("--first"), QStringLiteral("127.69.0.10"), QStringLiteral("--restart-ms"),
                           QStringLiteral("200")}};

    CUIDeviceBean record(const QString &strType, int iNth = 0) const
    {
        for (const SimFleetProcess::Device &device : m_sim.devices()) {
            if (device.type == strType && iNth-- == 0) {
                CUIDeviceBean oDev;
                oDev.m_strIp = device.ip;
                oDev.m_strUserName = QStringLiteral("admin");
                oDev.m_strPassword = QStringLiteral("vorpe");
                return oDev;
            }
        }
        qFatal("no simulated %s", qPrintable(strType));
    }
    // Logs in as the login worker does and returns the record it keeps.
    static CUIDeviceBean loggedIn(CUIDeviceBean oDev)
    {
        if (oDev.m_strIp.isEmpty())
            return oDev;
        QString strUserId;
        if (DevSession::loginIpc(oDev, strUserId) == 0) {
            oDev.m_strDevType = DevSession::kTypeIpc;
            oDev.m_strLoginKey = strUserId;
            return oDev;
        }
        DWORD ulHandle = 0;
        if (DevSession::loginNvr(oDev, ulHandle) == 0) {
            oDev.m_strDevType = DevSession::kTypeNvr;
            oDev.m_strLoginKey = QString::number(ulHandle);
        }
        return oDev;
    }

private slots:
    void initTestCase()
    {
        CORVANE_START_SIMULATOR(m_sim);
        QCOMPARE(m_sim.devices().size(), 3);
        ZELT_MW_Init();
        TLSDK_Init();
    }

    void typeDecidesTheLibrary()
    {
        const CUIDeviceBean oIpc = loggedIn(record(QStringLiteral("IPC")));
        const CUIDeviceBean oNvr = loggedIn(record(QStringLiteral("NVR")));
        QVERIFY(DevSession::isIpc(oIpc));
        QVERIFY(!DevSession::isNvr(oIpc));
        QVERIFY(DevSession::isNvr(oNvr));
        QVERIFY(!oNvr.m_strLoginKey.isEmpty());

        // A wrong password is refused by both libraries.
        CUIDeviceBean oWrong = record(QStringLiteral("NVR"));
        oWrong.m_strPassword = QStringLiteral("wrong");
        DWORD ulHandle = 0;
        QVERIFY(DevSession::loginNvr(oWrong, ulHandle) != 0);
        QString strUserId;
        QVERIFY(DevSession::loginIpc(oWrong, strUserId) != 0);

        DevSession::logout(oIpc);
        DevSession::logout(oNvr);
        // Without a type nothing is called; an NVR key that is no number neither.
        CUIDeviceBean oOdd = oNvr;
        oOdd.m_strLoginKey = QStringLiteral("abc");
        DevSession::logout(oOdd);
        oOdd.m_strDevType.clear();
        DevSession::logout(oOdd);
    }

    void restartByType()
    {
        QString strReason;
        const CUIDeviceBean oIpc = loggedIn(record(QStringLiteral("IPC")));
        QCOMPARE(DevSession::restart(oIpc, strReason), DWORD(0));
        // An NVR restarts through a session of its own, with the stored account.
        CUIDeviceBean oNvr = loggedIn(record(QStringLiteral("NVR"), 1));
        QCOMPARE(DevSession::restart(oNvr, strReason), DWORD(0));
        oNvr.m_strPassword = QStringLiteral("wrong");
        QVERIFY(DevSession::restart(oNvr, strReason) != 0);
        QVERIFY(!strReason.isEmpty());
    }

    void logoutAllIsBoundedWhenDevicesStopAnswering()
    {
        // The restarted devices come back after a moment.
        QList<CUIDeviceBean> listDev;
        QTRY_VERIFY_WITH_TIMEOUT(!(listDev = {loggedIn(record(QStringLiteral("IPC"))),
                                              loggedIn(record(QStringLiteral("NVR"))),
                                              loggedIn(record(QStringLiteral("NVR"), 1))})
                                      .isEmpty()
                                     && std::all_of(listDev.cbegin(), listDev.cend(),
                                                    [](const CUIDeviceBean &d) { return !d.m_strLoginKey.isEmpty(); }),
                                 10000);
        CUIDeviceBean oNever = record(QStringLiteral("IPC"));
        listDev << oNever; // never logged in: nothing to close

        QVERIFY(m_sim.processId() > 0);
        ::kill(pid_t(m_sim.processId()), SIGSTOP);
        QElapsedTimer timer;
        timer.start();
        // The library itself gives a silent device up to a second; the wait here is shorter.
        const bool bDone = DevSession::logoutAll(listDev, 200);
        const qint64 lElapsed = timer.elapsed();
        ::kill(pid_t(m_sim.processId()), SIGCONT);
        QVERIFY(!bDone);
        QVERIFY2(lElapsed < 700, qPrintable(QString::number(lElapsed)));
        // The ones left over end in the background once the devices answer
        // (or the library gives up on them).
        QTRY_COMPARE_WITH_TIMEOUT(DevSession::logoutsRunning(), 0, 10000);

        // Answering devices: all done well within the bound.
        listDev = {loggedIn(record(QStringLiteral("IPC"))), loggedIn(record(QStringLiteral("NVR")))};
        QVERIFY(DevSession::logoutAll(listDev, 1000));
        QCOMPARE(DevSession::logoutsRunning(), 0);
    }
};

QTEST_MAIN(TestDevSession)
#include "tst_devsession.moc"
