#include "batcheditnetaddrbean.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_modifyip.h"
#include "uidevicebean.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

// Receives the address worker's results, as the device tab does.
class CModifyReceiver : public QObject
{
    Q_OBJECT

public:
    QList<CBatchEditNetAddrBean> listResult;

public slots:
    void getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean) { listResult << oNetAddrBean; }
};

// The address worker: validation before anything is sent, and the result
// codes of real changes against simulated devices (all within 127.0.0.0/8).
class TestModifyIp : public QObject
{
    Q_OBJECT

signals:
    void sendModifyIPSignal(CBatchEditNetAddrBean &oNetAddrBean);

private:
    const QString m_strFirst = QStringLiteral("127.67.0.10");
    SimFleetProcess m_sim{{QStringLiteral("--ipc"), QStringLiteral("3"), QStringLiteral("--first"), m_strFirst}};
    CModifyReceiver m_receiver;
    QThread m_thread;

    CBatchEditNetAddrBean request(int iDevice, const QString &strOldIp, const QString &strNewIp)
    {
        const SimFleetProcess::Device &device = m_sim.devices().at(iDevice);
        CBatchEditNetAddrBean oBean;
        oBean.m_strOldIp = strOldIp;
        oBean.m_strNewIp = strNewIp;
        oBean.m_strMask = QStringLiteral("255.0.0.0");
        oBean.m_strGateway = QStringLiteral("127.0.0.1");
        oBean.m_strUserName = QStringLiteral("admin");
        oBean.m_strPassword = QStringLiteral("stale");
        oBean.m_strInputPassword = QStringLiteral("vorpe");
        oBean.m_strSerial = device.serial;
        oBean.m_strMac = device.mac;
        return oBean;
    }
    // Sends the requests back to back and returns the results once all are in.
    QList<CBatchEditNetAddrBean> change(QList<CBatchEditNetAddrBean> list)
    {
        m_receiver.listResult.clear();
        for (CBatchEditNetAddrBean &oBean : list)
            emit sendModifyIPSignal(oBean);
        if (!QTest::qWaitFor([&] { return m_receiver.listResult.size() >= list.size(); }, 30000))
            QTest::qFail("missing address results", __FILE__, __LINE__);
        return m_receiver.listResult;
    }
    int changeOne(const CBatchEditNetAddrBean &oBean)
    {
        const QList<CBatchEditNetAddrBean> list = change({oBean});
        return list.size() == 1 ? list.at(0).m_lResult : -100;
    }

private slots:
    void usableAddress_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("usable");
        QTest::newRow("host") << "192.168.1.10" << true;
        QTest::newRow("broadcast-like") << "192.168.1.255" << true;
        QTest::newRow("zero padded") << "192.168.001.010" << true;
        QTest::newRow("network") << "192.168.1.0" << false;
        QTest::newRow("padded zero host") << "127.0.0.000" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("three parts") << "10.0.0" << false;
        QTest::newRow("octet too big") << "10.0.0.256" << false;
        QTest::newRow("dots only") << "...5" << false;
        QTest::newRow("trailing text") << "10.0.0.1 " << false;
        QTest::newRow("four digits") << "10.0.0.0001" << false;
    }
    void usableAddress()
    {
        QFETCH(QString, address);
        QFETCH(bool, usable);
        QCOMPARE(CModifyIPThread::isUsableAddress(address), usable);
    }

    void initTestCase()
    {
        registerRecordTypes();
        CORVANE_START_SIMULATOR(m_sim);
        QCOMPARE(m_sim.devices().size(), 3);
        auto *pWorker = new CModifyIPThread(&m_receiver);
        pWorker->moveToThread(&m_thread);
        connect(this, &TestModifyIp::sendModifyIPSignal, pWorker, &CModifyIPThread::modifyAddrSlot);
        connect(&m_thread, &QThread::finished, pWorker, &QObject::deleteLater);
        m_thread.start(QThread::InheritPriority);
    }

    void cleanupTestCase()
    {
        m_thread.quit();
        m_thread.wait();
    }

    void invalidAddressIsNotSent()
    {
        // Nothing listens at the old address: a request that went out would
        // time out and fail with 20, not come back at once with 22.
        const QString strNowhere = QStringLiteral("127.67.0.250");
        QElapsedTimer timer;
        timer.start();
        const QList<CBatchEditNetAddrBean> list = change({request(0, strNowhere, QStringLiteral("127.67.3.0")),
                                                         request(0, strNowhere, QString()),
                                                         request(0, strNowhere, QStringLiteral("127.67.3"))});
        QCOMPARE(list.size(), 3);
        for (const CBatchEditNetAddrBean &oBean : list) {
            QCOMPARE(oBean.m_lResult, 22);
            QCOMPARE(oBean.m_strOldIp, strNowhere);
        }
        QCOMPARE(CUIDeviceBean::statusText(list.at(0).m_lResult), QStringLiteral("修改失败(IP地址无效)"));
        QVERIFY(timer.elapsed() < 1000);
    }

    void changeAndChangeBack()
    {
        const QString strOld = m_sim.devices().at(0).ip;
        const QString strNew = QStringLiteral("127.67.1.10");
        CBatchEditNetAddrBean oBean = request(0, strOld, strNew);
        QCOMPARE(changeOne(oBean), 19);
        // Only a device that really moved answers at its new address.
        QCOMPARE(changeOne(request(0, strNew, strOld)), 19);
    }

    void conflictAndRefusal()
    {
        const QString strFirst = m_sim.devices().at(0).ip;
        const QString strSecond = m_sim.devices().at(1).ip;
        QCOMPARE(changeOne(request(0, strFirst, strSecond)), 21);

        CBatchEditNetAddrBean oWrong = request(0, strFirst, QStringLiteral("127.67.1.11"));
        oWrong.m_strInputPassword = QStringLiteral("wrong");
        // The password held in the record does not authorise the change.
        oWrong.m_strPassword = QStringLiteral("vorpe");
        QCOMPARE(changeOne(oWrong), 20);

        CBatchEditNetAddrBean oIdentity = request(1, strFirst, QStringLiteral("127.67.1.12"));
        QCOMPARE(changeOne(oIdentity), 20);
    }

    void zeroPaddedAddressIsSentAsTyped()
    {
        const QString strOld = m_sim.devices().at(2).ip;
        QCOMPARE(changeOne(request(2, strOld, QStringLiteral("127.067.001.020"))), 19);
        QCOMPARE(m_receiver.listResult.at(0).m_strNewIp, QStringLiteral("127.067.001.020"));
        // The device read the octets as decimal numbers.
        QCOMPARE(changeOne(request(2, QStringLiteral("127.67.1.20"), strOld)), 19);
    }

    void answersKeepTheOrderOfRequests()
    {
        const QString strOld = m_sim.devices().at(1).ip;
        const QString strNew = QStringLiteral("127.67.2.11");
        const QList<CBatchEditNetAddrBean> list = change({request(1, strOld, strNew),
                                                         request(1, strOld, QStringLiteral("127.67.2.0")),
                                                         request(1, strNew, strOld)});
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0).m_strNewIp, strNew);
        QCOMPARE(list.at(0).m_lResult, 19);
        QCOMPARE(list.at(1).m_lResult, 22);
        QCOMPARE(list.at(2).m_lResult, 19);
    }
};

QTEST_MAIN(TestModifyIp)
#include "tst_modifyip.moc"
