// The device tab's side of the configuration dialog against simulated
// devices: the icon opens its own row's device, a login resumes the opening,
// a failing capability kind ends the opening with one message and logs the
// device out, and an NVR opens with system information only; streams no
// page shows end on their own session, the wait overlay stays up while the
// pages read, and a device moved by its network page is logged out.
#include "dev_devcfgdlg.h"
#include "dev_encodecfgform.h"
#include "dev_imagecfgform.h"
#include "dev_manageform.h"
#include "dev_networkcfgform.h"
#include "devtabhelper.h"
#include "encodedevmodelex.h"
#include "ipwidget.h"
#include "msgdlg.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "tableviewex.h"
#include "waitdlg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// This file's own loopback range and discovery port.
const QString kFirst = QStringLiteral("127.23.0.10");
const QString kFaultFirst = QStringLiteral("127.23.1.10");
const QString kStreamFirst = QStringLiteral("127.105.0.10");
const QString kSilentFirst = QStringLiteral("127.105.1.10");
const QString kMoveFirst = QStringLiteral("127.105.2.10");
const QString kOnvifFirst = QStringLiteral("127.105.3.10");
const QString kMovedTo = QStringLiteral("127.105.2.200");
const QString kDiscoveryPort = QStringLiteral("39623");
// Library calls give up after this; the delays of the simulators here stay below it.
const QByteArray kCallTimeoutMs = "600";

// True once the session runs no main stream: starting one is not shared
// with a running one (the probe's own stream is stopped again).
bool streamEnded(const QByteArray &userId)
{
    DWORD ulHandle = 0;
    const DWORD ulResult = ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &ulHandle);
    if (ulResult == ZELT_MW_OK || ulResult == ZELT_MW_STREAM_SHARED || ulResult == ZELT_MW_STREAM_NO_AUDIO)
        ZELT_MW_StopMediaStream(userId.constData(), ulHandle);
    return ulResult == ZELT_MW_OK || ulResult == ZELT_MW_STREAM_NO_AUDIO;
}

// Counts the pages built while the tab's wait overlay was up.
class CBuildWatch : public QObject
{
public:
    explicit CBuildWatch(QWidget *pForm) : m_pForm(pForm) { qApp->installEventFilter(this); }
    ~CBuildWatch() override { qApp->removeEventFilter(this); }
    int iPages = 0;
    int iUnderOverlay = 0;

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        // The encoding page is built last, after the other pages' reads.
        if (pEvent->type() == QEvent::ChildAdded && qobject_cast<CEncodeCfgForm *>(pWatched)
            && !m_seen.contains(pWatched)) {
            m_seen << pWatched;
            ++iPages;
            auto *pWait = m_pForm->findChild<CWaitDlg *>();
            if (pWait && pWait->isVisible())
                ++iUnderOverlay;
        }
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    QWidget *m_pForm;
    QList<QObject *> m_seen;
};

// Handles every modal dialog that comes up (the wait overlay aside) with the
// given function, recording class names and message texts.
class CModalWatch
{
public:
    explicit CModalWatch(std::function<void(QWidget *)> handler)
        : m_handler(std::move(handler))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    QStringList seen;
    QStringList texts;

private:
    void poll()
    {
        QWidget *pModal = QApplication::activeModalWidget();
        if (!pModal || !pModal->isVisible() || pModal == m_pLast)
            return;
        const QString cls = QString::fromLatin1(pModal->metaObject()->className());
        if (cls == QLatin1String("CWaitDlg"))
            return;
        m_pLast = pModal;
        seen << cls;
        if (auto *pLabel = pModal->findChild<QLabel *>(QStringLiteral("oMsgLabel")))
            texts << pLabel->text();
        m_handler(pModal);
    }
    std::function<void(QWidget *)> m_handler;
    QTimer m_timer;
    QPointer<QWidget> m_pLast;
};

void press(QWidget *pDialog, const char *pszButton)
{
    if (auto *pButton = pDialog->findChild<QPushButton *>(QLatin1String(pszButton)))
        pButton->click();
}

} // namespace

class TestDevCfgTab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconOpensItsRowAfterLogin();
    void failingKindEndsOpening();
    void failedLiveStartStillOpens();
    void tabClosedWhileRequestsPending();
    void unshownStreamsEndOnTheirOwnSession();
    void silentDeviceKeepsOverlayUntilShown();
    void movedDeviceLogsItsRowOut();
    void onvifCameraGetsEveryPage();

private:
    int rowOf(const CDevManageForm &form, const QString &ip) const;
    bool waitForDevices(const CDevManageForm &form, const QStringList &ips) const;
    void clickIcon(CDevManageForm &form, const QString &ip);
};

void TestDevCfgTab::initTestCase()
{
    registerRecordTypes();
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
    qputenv("CORVANE_ZELT_TIMEOUT_MS", kCallTimeoutMs);
}

int TestDevCfgTab::rowOf(const CDevManageForm &form, const QString &ip) const
{
    for (int i = 0; i < form.deviceList().size(); ++i) {
        if (form.deviceList().at(i).m_strIp == ip)
            return i;
    }
    return -1;
}

bool TestDevCfgTab::waitForDevices(const CDevManageForm &form, const QStringList &ips) const
{
    return QTest::qWaitFor([&] {
        return std::all_of(ips.begin(), ips.end(), [&](const QString &ip) { return rowOf(form, ip) >= 0; });
    }, 10000);
}

void TestDevCfgTab::clickIcon(CDevManageForm &form, const QString &ip)
{
    auto *pView = form.findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    pView->setCurrentIndex(form.devModel()->index(rowOf(form, ip), 1));
    emit pView->sendOpenConfigDlgSignal();
}

void TestDevCfgTab::iconOpensItsRowAfterLogin()
{
    SimFleetProcess sim({"--ipc", "2", "--nvr", "1", "--first", kFirst, "--port", kDiscoveryPort,
                         "--ipc-models", "ZC-2320,ZC-5330"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipcA = sim.devices().at(0);
    const SimFleetProcess::Device ipcB = sim.devices().at(1);
    const SimFleetProcess::Device nvr = sim.devices().at(2);
    CDevManageForm form;
    QVERIFY(waitForDevices(form, {ipcA.ip, ipcB.ip, nvr.ip}));

    // Device A checked, the icon of B's row clicked: B is logged in and opened.
    form.devModel()->checkedList() = {form.deviceList().at(rowOf(form, ipcA.ip)).m_lDevId};
    QString serialShown;
    QStringList tabs;
    CModalWatch watch([&](QWidget *pDialog) {
        if (auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog)) {
            for (int i = 0; i < pDlg->tabWidget()->count(); ++i)
                tabs << pDlg->tabWidget()->tabText(i);
            serialShown = pDlg->findChild<QLabel *>(QStringLiteral("oSerialLabel"))->text();
            pDlg->close();
        } else {
            press(pDialog, "oOkBtn");
        }
    });
    clickIcon(form, ipcB.ip);
    QTRY_VERIFY_WITH_TIMEOUT(!tabs.isEmpty(), 15000);
    QCOMPARE(watch.seen, QStringList({"CDevLoginDlg", "CDevCfgDlg"}));
    QCOMPARE(serialShown, ipcB.serial);
    QCOMPARE(tabs, QStringList({"图像", "网络", "编码", "系统信息"}));
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

    // An NVR: system information only.
    tabs.clear();
    clickIcon(form, nvr.ip);
    QTRY_VERIFY_WITH_TIMEOUT(!tabs.isEmpty(), 15000);
    QCOMPARE(tabs, QStringList{"系统信息"});
    QCOMPARE(serialShown, nvr.serial);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::failingKindEndsOpening()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--port", kDiscoveryPort, "--ipc-models",
                         "ZC-2320", "--cap-fail", "4", "--cfg-delay", "50"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().first();
    CDevManageForm form;
    QVERIFY(waitForDevices(form, {ipc.ip}));

    CModalWatch watch([](QWidget *pDialog) {
        if (qobject_cast<CDevCfgDlg *>(pDialog))
            pDialog->close();
        else
            press(pDialog, QString::fromLatin1(pDialog->metaObject()->className()) == QLatin1String("CMsgDlg")
                               ? "oCancelBtn"
                               : "oOkBtn");
    });
    QStringList listUserIds;
    connect(&form, &CDevManageForm::sendGetCapSig, this,
            [&listUserIds](QString strUserId, ulong, quint32) { listUserIds << strUserId; });
    clickIcon(form, ipc.ip);
    QTRY_COMPARE_WITH_TIMEOUT(watch.seen.size(), 2, 15000);
    QCOMPARE(watch.seen, QStringList({"CDevLoginDlg", "CMsgDlg"}));
    QCOMPARE(watch.texts, QStringList{"连接超时,请检查设备网络连接。"});
    const CUIDeviceBean &dev = form.deviceList().at(rowOf(form, ipc.ip));
    QVERIFY(dev.m_strLoginKey.isEmpty());
    QCOMPARE(dev.m_lStatus, qint32(DevStatusNotLogged));
    // The session the opening used is logged out.
    QCOMPARE(listUserIds.size(), 3);
    const QByteArray userId = listUserIds.first().toLatin1();
    QTRY_VERIFY_WITH_TIMEOUT([&userId] {
        quint8 buf[ZELT_VIN_SIZE] = {};
        DWORD len = sizeof buf;
        return ZELT_MW_GetConfig(userId.constData(), ZELT_MW_VIDEO_INPUT_MODE_CFG, 0, &len, buf) == ZELT_MW_ERR_USERID;
    }(), 10000);
    // Nothing of that opening arrived after the message: no dialog, no second message.
    QCOMPARE(watch.seen.size(), 2);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::failedLiveStartStillOpens()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--port", kDiscoveryPort, "--ipc-models",
                         "ZC-2320", "--stream-fail"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().first();
    CDevManageForm form;
    QVERIFY(waitForDevices(form, {ipc.ip}));
    int iTabs = 0;
    CModalWatch watch([&iTabs](QWidget *pDialog) {
        if (auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog)) {
            iTabs = pDlg->tabWidget()->count();
            pDlg->close();
        } else {
            press(pDialog, "oOkBtn");
        }
    });
    clickIcon(form, ipc.ip);
    QTRY_VERIFY_WITH_TIMEOUT(iTabs > 0, 15000);
    QCOMPARE(iTabs, 4);
    QVERIFY(!form.deviceList().at(rowOf(form, ipc.ip)).m_strLoginKey.isEmpty());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::tabClosedWhileRequestsPending()
{
    // Slow answers: the tab goes away with the capability requests still queued.
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--port", kDiscoveryPort, "--ipc-models",
                         "ZC-5330", "--cfg-delay", "200"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().first();
    auto pForm = std::make_unique<CDevManageForm>();
    QVERIFY(waitForDevices(*pForm, {ipc.ip}));
    CModalWatch watch([](QWidget *pDialog) { press(pDialog, "oOkBtn"); });
    QSignalSpy requests(pForm.get(), &CDevManageForm::sendStartLive_sig);
    clickIcon(*pForm, ipc.ip);
    QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, 15000);
    pForm.reset();
    QCOMPARE(watch.seen, QStringList{"CDevLoginDlg"});
}

void TestDevCfgTab::unshownStreamsEndOnTheirOwnSession()
{
    // No image document: no image page, so its stream has no one to show it.
    SimFleetProcess sim({"--ipc", "2", "--first", kStreamFirst, "--port", kDiscoveryPort, "--ipc-models", "ZC-5330",
                         "--cfg-delay", "150", "--cap-garbled", "1"});
    CORVANE_START_SIMULATOR(sim);
    CDevManageForm form;
    DevTabHelper::logInEveryListed(&form, 2);
    if (QTest::currentTestFailed())
        return;
    QStringList tabs;
    QSignalSpy starts(&form, &CDevManageForm::sendStartLive_sig);
    bool bFirstEnded = false, bShownEnded = false, bImagePage = true;
    // Checked while the dialog is on screen (its exec() runs this).
    CModalWatch watch([&](QWidget *pDialog) {
        auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog);
        if (!pDlg)
            return;
        for (int i = 0; i < pDlg->tabWidget()->count(); ++i)
            tabs << pDlg->tabWidget()->tabText(i);
        bImagePage = pDlg->findChild<CImageCfgForm *>() != nullptr;
        if (starts.size() == 2) {
            // Neither the late stream of the first opening nor the one of the
            // dialog on screen plays anywhere.
            const QByteArray first = starts.at(0).at(0).toString().toLatin1();
            const QByteArray second = starts.at(1).at(0).toString().toLatin1();
            bFirstEnded = first != second && QTest::qWaitFor([&first] { return streamEnded(first); }, 5000);
            bShownEnded = QTest::qWaitFor([&second] { return streamEnded(second); }, 5000);
        }
        pDlg->close();
    });
    // The first opening ends while its answers are still on their way.
    clickIcon(form, sim.devices().at(0).ip);
    clickIcon(form, sim.devices().at(1).ip);
    QTRY_VERIFY_WITH_TIMEOUT(!tabs.isEmpty(), 15000);
    QCOMPARE(tabs, QStringList({"网络", "编码", "系统信息"}));
    QCOMPARE(starts.size(), 2);
    QVERIFY(!bImagePage);
    QVERIFY(bFirstEnded);
    QVERIFY(bShownEnded);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::silentDeviceKeepsOverlayUntilShown()
{
    // Capabilities and stream answer; configuration reads never do.
    SimFleetProcess sim({"--ipc", "1", "--first", kSilentFirst, "--port", kDiscoveryPort, "--ipc-models", "ZC-5330",
                         "--cfg-silent", kSilentFirst});
    CORVANE_START_SIMULATOR(sim);
    CDevManageForm form;
    DevTabHelper::logInEveryListed(&form, 1);
    if (QTest::currentTestFailed())
        return;
    int iTabs = 0;
    bool bOverlayAtShow = true;
    CModalWatch watch([&](QWidget *pDialog) {
        if (auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog)) {
            iTabs = pDlg->tabWidget()->count();
            auto *pWait = form.findChild<CWaitDlg *>();
            bOverlayAtShow = pWait && pWait->isVisible();
            pDlg->close();
        } else {
            press(pDialog, "oOkBtn");
        }
    });
    CBuildWatch build(&form);
    clickIcon(form, sim.devices().first().ip);
    // Every read of the pages runs into the library's timeout; then the dialog shows.
    QTRY_VERIFY_WITH_TIMEOUT(iTabs > 0, 60000);
    QCOMPARE(iTabs, 4);
    QCOMPARE(build.iPages, 1);
    QCOMPARE(build.iUnderOverlay, 1);
    QVERIFY(!bOverlayAtShow);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::movedDeviceLogsItsRowOut()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kMoveFirst, "--port", kDiscoveryPort, "--ipc-models", "ZC-5330"});
    CORVANE_START_SIMULATOR(sim);
    const QString strOldIp = sim.devices().first().ip;
    CDevManageForm form;
    DevTabHelper::logInEveryListed(&form, 1);
    if (QTest::currentTestFailed())
        return;
    const QByteArray userId = form.deviceList().at(rowOf(form, strOldIp)).m_strLoginKey.toLatin1();
    QString strReport;
    bool bPagesDisabled = false;
    CModalWatch watch([&](QWidget *pDialog) {
        auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog);
        if (!pDlg)
            return;
        // Yes to the question whether the connection may drop.
        CMsgDlg::takeAnswered();
        CMsgDlg::setNextAnswer(1);
        auto *pNetwork = pDlg->findChild<CNetworkCfgForm *>();
        connect(pNetwork, &CNetworkCfgForm::sendReportSignal, pNetwork,
                [&strReport](QString strResult, ULONG) { strReport = strResult; });
        const QStringList listParts = kMovedTo.split(QLatin1Char('.'));
        const QList<QLineEdit *> listEdits =
            pNetwork->findChild<IpWidget *>(QStringLiteral("oIpAddrWidget"))->findChildren<QLineEdit *>();
        for (int i = 0; i < listEdits.size(); ++i)
            listEdits.at(i)->setText(listParts.value(i));
        press(pNetwork, "oSaveBtn");
        if (!QTest::qWaitFor([&strReport] { return !strReport.isEmpty(); }, 10000))
            qWarning("no report after the save");
        // The other pages of that opening take no more edits.
        bPagesDisabled = !pDlg->findChild<CImageCfgForm *>()->isEnabled()
                         && !pDlg->findChild<CEncodeCfgForm *>()->isEnabled();
        pDlg->close();
    });
    clickIcon(form, strOldIp);
    QTRY_VERIFY_WITH_TIMEOUT(!strReport.isEmpty(), 15000);
    QCOMPARE(strReport, QStringLiteral("设置参数成功！设备地址已改为%1，请刷新设备列表。").arg(kMovedTo));
    QCOMPARE(watch.seen, QStringList({"CDevCfgDlg"}));
    QCOMPARE(CMsgDlg::takeAnswered().size(), 1);
    QVERIFY(bPagesDisabled);
    // The row follows the device to its new address and logs in there; the
    // session of the old address is gone, and the device itself has closed it.
    QTRY_VERIFY(rowOf(form, strOldIp) < 0 && rowOf(form, kMovedTo) >= 0);
    QTRY_COMPARE(form.deviceList().at(rowOf(form, kMovedTo)).m_lStatus, qint32(DevStatusLogged));
    QVERIFY(form.deviceList().at(rowOf(form, kMovedTo)).m_strLoginKey.toLatin1() != userId);
    quint8 buf[ZELT_NETIF_SIZE] = {};
    DWORD ulLen = sizeof buf;
    QVERIFY(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_NETWORK_INTERFACE_CFG, 0, &ulLen, buf) != ZELT_MW_OK);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::onvifCameraGetsEveryPage()
{
    // A camera reached through its media interface shows its stream and
    // picture pages beside the network and system pages of the same dialog.
    SimFleetProcess sim({"--onvif", "1", "--first", kOnvifFirst, "--port", kDiscoveryPort, "--onvif-discovery-port",
                         kDiscoveryPort, "--onvif-rtsp-port", "0"});
    CORVANE_START_SIMULATOR(sim);
    CDevManageForm form;
    DevTabHelper::logInEveryListed(&form, 1);
    if (QTest::currentTestFailed())
        return;
    QStringList tabs;
    CModalWatch watch([&tabs](QWidget *pDialog) {
        auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog);
        if (!pDlg)
            return;
        for (int i = 0; i < pDlg->tabWidget()->count(); ++i)
            tabs << pDlg->tabWidget()->tabText(i);
        pDlg->close();
    });
    clickIcon(form, sim.devices().first().ip);
    QTRY_VERIFY_WITH_TIMEOUT(!tabs.isEmpty(), 15000);
    QCOMPARE(tabs, (QStringList{QStringLiteral("图像"), QStringLiteral("网络"), QStringLiteral("编码"),
                                QStringLiteral("系统信息")}));
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

QTEST_MAIN(TestDevCfgTab)
#include "tst_devcfgtab.moc"
