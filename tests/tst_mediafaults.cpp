// The live picture of simulated ONVIF cameras whose streams go wrong: an RTSP
// server that answers garbage falls back to snapshots, and a stream that
// stops sending or a camera that restarts mid-stream each end in a notice
// with a retry, and a stream address where nothing listens falls back at once.
// After an address change the live stream plays from the new address.
#include "devrequests.h"
#include "devsession.h"
#include "imagesettingsform.h"
#include "mediaaccess.h"
#include "simfleetprocess.h"
#include "uidevicebean.h"
#include "videowidget.h"

#include <QLabel>
#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QString kGarbageIp = QStringLiteral("127.152.0.10");
const QString kStopFirst = QStringLiteral("127.153.0.10");
const QString kDeadUri = QStringLiteral("127.176.0.10");
const QString kMoveFrom = QStringLiteral("127.178.0.10");
const QString kMoveTo = QStringLiteral("127.178.1.50");

CUIDeviceBean camera(const QString &strIp)
{
    CUIDeviceBean dev;
    dev.m_strIp = strIp;
    dev.m_strProtocol = QStringLiteral("onvif");
    dev.m_strXAddr = QStringLiteral("http://%1:8080/onvif/device_service").arg(strIp);
    dev.m_strUserName = QStringLiteral("admin");
    dev.m_strPassword = QStringLiteral("vorpe");
    return dev;
}

QString note(const CImageSettingsForm &form)
{
    return form.findChild<QLabel *>(QStringLiteral("oLiveNoteLabel"))->text();
}

bool retryShown(const CImageSettingsForm &form)
{
    return !form.findChild<QPushButton *>(QStringLiteral("oRetryBtn"))->isHidden();
}

} // namespace

class TestMediaFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void garbageStreamFallsBackToSnapshots();
    void stoppedAndRestartedStreamsEndInNotices();
    void deadStreamUriFallsBackToSnapshots();
    void streamFollowsAddressChange();
};

void TestMediaFaults::initTestCase()
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
}

void TestMediaFaults::garbageStreamFallsBackToSnapshots()
{
    SimFleetProcess sim({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"), kGarbageIp,
                         QStringLiteral("--onvif-rtsp-garbage")});
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    std::unique_ptr<CMediaDevice> pDevice = DevSession::mediaDevice(camera(kGarbageIp));
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    QTRY_VERIFY_WITH_TIMEOUT(note(form).contains(QStringLiteral("快照")), 15000);
    QVERIFY(!retryShown(form));
    // The pictures keep coming, once a second.
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 10000);
    form.video()->showFrame(QImage());
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 5000);
}

void TestMediaFaults::stoppedAndRestartedStreamsEndInNotices()
{
    SimFleetProcess sim({QStringLiteral("--onvif"), QStringLiteral("2"), QStringLiteral("--first"), kStopFirst,
                         QStringLiteral("--onvif-stream-stop"), QStringLiteral("15000"), QStringLiteral("--restart-ms"),
                         QStringLiteral("2000")});
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    const CUIDeviceBean stalling = camera(kStopFirst);
    const CUIDeviceBean restarting = camera(SimFleetProcess::addressAt(kStopFirst, 1));
    std::unique_ptr<CMediaDevice> pStalling = DevSession::mediaDevice(stalling);
    std::unique_ptr<CMediaDevice> pRestarting = DevSession::mediaDevice(restarting);
    CImageSettingsForm stalled;
    CImageSettingsForm restarted;
    QVERIFY(stalled.load(pStalling.get()));
    QVERIFY(restarted.load(pRestarting.get()));
    QTRY_VERIFY_WITH_TIMEOUT(!stalled.video()->frame().isNull() && !restarted.video()->frame().isNull(), 10000);

    QString strReason;
    QCOMPARE(DevSession::restart(restarting, strReason), DWORD(0));
    QTRY_VERIFY_WITH_TIMEOUT(retryShown(restarted), 5000);
    QVERIFY2(note(restarted).contains(QStringLiteral("中断")), qPrintable(note(restarted)));

    QTRY_VERIFY_WITH_TIMEOUT(retryShown(stalled), 30000);
    QVERIFY2(note(stalled).contains(QStringLiteral("超时")), qPrintable(note(stalled)));
}

void TestMediaFaults::deadStreamUriFallsBackToSnapshots()
{
    SimFleetProcess sim({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"), kDeadUri,
                         QStringLiteral("--onvif-dead-stream-uri")});
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    std::unique_ptr<CMediaDevice> pDevice = DevSession::mediaDevice(camera(kDeadUri));
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    // A refused connection is known at once: sooner than the player's own open timeout.
    QTRY_VERIFY_WITH_TIMEOUT(note(form).contains(QStringLiteral("快照")), 4000);
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 5000);
}

void TestMediaFaults::streamFollowsAddressChange()
{
    SimFleetProcess sim({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"), kMoveFrom});
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    CUIDeviceBean dev = camera(kMoveFrom);
    DevSession::loginOnvif(dev);
    QCOMPARE(dev.m_lStatus, qint32(DevStatusLogged));
    CBatchEditNetAddrBean oRequest =
        DevRequests::addressChange(dev, kMoveTo, dev.m_strMask, QStringLiteral("127.178.1.1"), dev.m_strPassword);
    DevSession::changeAddress(oRequest);
    QCOMPARE(oRequest.m_lResult, qint32(DevStatusModifyOk));
    const auto reachable = [] {
        CUIDeviceBean moved = camera(kMoveTo);
        DevSession::loginOnvif(moved);
        return moved.m_lStatus == DevStatusLogged;
    };
    QTRY_VERIFY_WITH_TIMEOUT(reachable(), 10000);

    std::unique_ptr<CMediaDevice> pDevice = DevSession::mediaDevice(camera(kMoveTo));
    CImageSettingsForm form;
    QVERIFY(form.load(pDevice.get()));
    QTRY_VERIFY_WITH_TIMEOUT(!form.video()->frame().isNull(), 10000);
    QVERIFY2(!note(form).contains(QStringLiteral("快照")), qPrintable(note(form)));
    // Nothing streams from the old address any more.
    QTcpSocket oldAddress;
    oldAddress.connectToHost(kMoveFrom, 8554);
    QVERIFY(!oldAddress.waitForConnected(3000));
    QCOMPARE(oldAddress.error(), QAbstractSocket::ConnectionRefusedError);
}

QTEST_MAIN(TestMediaFaults)
#include "tst_mediafaults.moc"
