// The device tab against the simulator: search cycle, merge, filter and count,
// results merged back, the question before a refresh, and answers that are
// not what they claim.
#include "dev_manageform.h"
#include "devdiscovery.h"
#include "devfailreason.h"
#include "devsession.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"
#include "ipwidget.h"
#include "msgdlg.h"
#include "recordtypes.h"
#include "searcheditbox.h"
#include "simfleetprocess.h"
#include "tableviewex.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTimer>
#include <QLabel>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// This file's own loopback range and discovery port.
const QString kFirstIp = QStringLiteral("127.12.0.5");
const QString kDiscoveryPort = QStringLiteral("39512");
const QString kOnvifDiscoveryPort = QStringLiteral("39513");
constexpr int kIpcCount = 12;
constexpr int kNvrCount = 4;
constexpr int kFleet = kIpcCount + kNvrCount;

QString countText(CDevManageForm &form)
{
    return form.findChild<QLabel *>(QStringLiteral("oDevNumLabel"))->text();
}

} // namespace

class TestDevManageForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void firstSearchListsFleetOnce();
    void secondRefreshMergesAgain();
    void segmentSearchFindsFleet();
    void filterUpdatesCount();
    void selectAllSkipsHiddenRows();
    void refreshAsksWhileBusy();
    void resultsMergeIntoList();
    void listGoesToCapacityTab();
    void onvifByeMarksRowOffline();
    void onvifPasswordChangeTakesEffect();
    void forgedAnswersNeverReplaceRealRows();
    void forgedOnvifAnswerNeverTakesCameraRow();
    void onvifPhantomsBoundedPerAddress();
    void onvifRestartEndsOnline();
    void onvifBatchAddressChangeMovesCamera();

private:
    void verifyFleetListed(CDevManageForm &form);
    // Rows of the ONVIF devices, in list order.
    QList<int> onvifRows() const;

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
};

void TestDevManageForm::initTestCase()
{
    registerRecordTypes();
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
    qputenv("CORVANE_ONVIF_DISCOVERY_PORT", kOnvifDiscoveryPort.toLatin1());
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpcCount), QStringLiteral("--nvr"),
                                      QString::number(kNvrCount), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--port"), kDiscoveryPort}));
    CORVANE_START_SIMULATOR(*m_pSim);
    QCOMPARE(m_pSim->devices().size(), kFleet);
}

void TestDevManageForm::cleanupTestCase()
{
    m_pSim.reset();
}

void TestDevManageForm::init()
{
    if (!m_pSim || !m_pSim->isRunning())
        CORVANE_DEVICE_SKIP("simulator unavailable");
    m_pForm.reset(new CDevManageForm);
    // The first search runs at construction.
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
}

void TestDevManageForm::cleanup()
{
    m_pForm.reset();
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestDevManageForm::verifyFleetListed(CDevManageForm &form)
{
    const QList<CUIDeviceBean> &listDev = form.deviceList();
    QCOMPARE(listDev.size(), kFleet);
    QCOMPARE(countText(form), QString::number(kFleet));
    QSet<int> setIds;
    QSet<QString> setIps;
    for (int i = 0; i < listDev.size(); ++i) {
        const CUIDeviceBean &dev = listDev.at(i);
        const SimFleetProcess::Device *pSimDev = m_pSim->findByIp(dev.m_strIp);
        QVERIFY2(pSimDev, qPrintable(dev.m_strIp));
        QCOMPARE(dev.m_strModel, pSimDev->model);
        QCOMPARE(dev.m_strSerial, pSimDev->serial);
        QCOMPARE(dev.m_strMac, pSimDev->mac);
        QCOMPARE(dev.m_lStatus, 0);
        QCOMPARE(dev.m_strUserName, QStringLiteral("admin"));
        QCOMPARE(dev.m_strPassword, QStringLiteral("vorpe"));
        QVERIFY(dev.m_strMask.isEmpty() && dev.m_strGateway.isEmpty());
        setIds.insert(dev.m_lDevId);
        setIps.insert(dev.m_strIp);
        // Ascending by numeric address: 127.12.0.9 comes before 127.12.0.10.
        if (i > 0)
            QVERIFY(SimFleetProcess::ipToNumber(listDev.at(i - 1).m_strIp) < SimFleetProcess::ipToNumber(dev.m_strIp));
    }
    QCOMPARE(setIps.size(), kFleet);
    QSet<int> setExpected;
    for (int i = 1; i <= kFleet; ++i)
        setExpected.insert(i);
    QCOMPARE(setIds, setExpected);
}

void TestDevManageForm::firstSearchListsFleetOnce()
{
    verifyFleetListed(*m_pForm);
    QCOMPARE(m_pForm->deviceList().first().m_strIp, kFirstIp);
}

void TestDevManageForm::secondRefreshMergesAgain()
{
    m_pForm->devModel()->checkedList().append(3);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    // Emptied at once, merged half a second later.
    QVERIFY(m_pForm->deviceList().isEmpty());
    QCOMPARE(countText(*m_pForm), QStringLiteral("0"));
    QVERIFY(m_pForm->devModel()->checkedList().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
    verifyFleetListed(*m_pForm);

    // Descending order on the header is kept by the next merge.
    auto *pView = m_pForm->findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    pView->horizontalHeader()->setSortIndicator(1, Qt::DescendingOrder);
    m_pForm->on_oRefreshBtn_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
    QCOMPARE(m_pForm->deviceList().last().m_strIp, kFirstIp);
}

void TestDevManageForm::segmentSearchFindsFleet()
{
    CUISearchModeBean oMode;
    oMode.bMulticast = false;
    oMode.bSegmentSearch = true;
    oMode.strBeginIP = QStringLiteral("127.12.0.1");
    oMode.strEndIP = QStringLiteral("127.12.0.40");
    QCOMPARE(m_pForm->applySearchMode(oMode), 0ul);
    m_pForm->on_oRefreshBtn_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
    verifyFleetListed(*m_pForm);

    // Both probes: the pause between them is a timer of the window's own
    // event loop, neither a sleep nor a nested loop. An event posted before
    // the refresh is handled after it returns and before the merge.
    oMode.bMulticast = true;
    QCOMPARE(m_pForm->applySearchMode(oMode), 0ul);
    bool bTicked = false;
    int iListedAtTick = -1;
    QTimer::singleShot(0, this, [&] {
        bTicked = true;
        iListedAtTick = m_pForm->deviceList().size();
    });
    m_pForm->on_oRefreshBtn_clicked();
    QVERIFY(!bTicked);
    QVERIFY(m_pForm->deviceList().isEmpty());
    QTRY_VERIFY(bTicked);
    QCOMPARE(iListedAtTick, 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
    verifyFleetListed(*m_pForm);
}

void TestDevManageForm::filterUpdatesCount()
{
    // Addresses .5 to .20: "127.12.0.1" also matches .10 to .19.
    m_pForm->onFilter(QStringLiteral("127.12.0.1"));
    QCOMPARE(countText(*m_pForm), QStringLiteral("10"));

    const QString strModel = m_pSim->devices().last().model;
    const int iModelCount = int(std::count_if(m_pSim->devices().cbegin(), m_pSim->devices().cend(),
        [&strModel](const SimFleetProcess::Device &d) { return d.model.contains(strModel, Qt::CaseInsensitive); }));
    m_pForm->onFilter(strModel.toLower());
    QCOMPARE(countText(*m_pForm), QString::number(iModelCount));

    m_pForm->onFilter(QString());
    QCOMPARE(countText(*m_pForm), QString::number(kFleet));

    // Typed into the search box; a refresh empties the box and lists everything.
    auto *pBox = m_pForm->findChild<SearchEditBox *>();
    QVERIFY(pBox);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(pBox, &focusIn);
    pBox->setText(QStringLiteral("127.12.0.2"));
    QCOMPARE(countText(*m_pForm), QStringLiteral("1"));
    m_pForm->on_oRefreshBtn_clicked();
    QVERIFY(pBox->isShowingHint());
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
    QCOMPARE(countText(*m_pForm), QString::number(kFleet));
    auto *pView = m_pForm->findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    for (int i = 0; i < kFleet; ++i)
        QVERIFY(!pView->isRowHidden(i));
}

void TestDevManageForm::selectAllSkipsHiddenRows()
{
    m_pForm->onFilter(QStringLiteral("127.12.0.1"));
    m_pForm->onEncTableViewHeaderClicked(0);
    QList<int> listChecked = m_pForm->devModel()->checkedList();
    QCOMPARE(listChecked.size(), 10);
    for (const CUIDeviceBean &dev : m_pForm->deviceList())
        QCOMPARE(listChecked.contains(dev.m_lDevId), dev.m_strIp.startsWith(QStringLiteral("127.12.0.1")));
    m_pForm->onEncTableViewHeaderClicked(0);
    QVERIFY(m_pForm->devModel()->checkedList().isEmpty());
    // Other headers leave the marks alone.
    m_pForm->onEncTableViewHeaderClicked(2);
    QVERIFY(m_pForm->devModel()->checkedList().isEmpty());
}

void TestDevManageForm::refreshAsksWhileBusy()
{
    CUIDeviceBean oBusy = m_pForm->deviceList().at(4);
    oBusy.m_lStatus = DevStatusUpgrading;
    m_pForm->getResultSlot(oBusy);
    const QList<CUIDeviceBean> listBefore = m_pForm->deviceList();

    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 1ul);
    const QList<CMsgDlg::stAnswered> listAsked = CMsgDlg::takeAnswered();
    QCOMPARE(listAsked.size(), 1);
    QCOMPARE(listAsked.at(0).text, QStringLiteral("刷新列表可能会导致正在进行的操作失败，您确定要刷新吗？"));
    QCOMPARE(listAsked.at(0).title, QStringLiteral("信息"));
    QCOMPARE(listAsked.at(0).kind, int(MsgQuery));
    QCOMPARE(m_pForm->deviceList().size(), listBefore.size());
    QCOMPARE(m_pForm->deviceList().at(4).m_lStatus, int(DevStatusUpgrading));

    CMsgDlg::setNextAnswer(QDialog::Accepted);
    QSignalSpy spyLogout(m_pForm.get(), &CDevManageForm::sendLogoutSignal);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QCOMPARE(CMsgDlg::takeAnswered().size(), 1);
    QCOMPARE(spyLogout.count(), kFleet);
    QVERIFY(m_pForm->deviceList().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet, 10000);
    verifyFleetListed(*m_pForm);
}

void TestDevManageForm::resultsMergeIntoList()
{
    CUIDeviceBean oResult = m_pForm->deviceList().at(2);
    const int iDevId = oResult.m_lDevId;
    oResult.m_lDevId = 999;
    oResult.m_lStatus = DevStatusLogged;
    oResult.m_strLoginKey = QStringLiteral("42");
    oResult.m_strDevType = QStringLiteral("NVR");
    oResult.m_strMask = QStringLiteral("255.255.255.0");
    oResult.m_strGateway = QStringLiteral("127.12.0.1");
    oResult.m_strExtSerial = QStringLiteral("ext");
    oResult.m_strUserName = QStringLiteral("someone");
    m_pForm->getResultSlot(oResult);
    const CUIDeviceBean &dev = m_pForm->deviceList().at(2);
    QCOMPARE(dev.m_lStatus, int(DevStatusLogged));
    QCOMPARE(dev.m_strLoginKey, QStringLiteral("42"));
    QCOMPARE(dev.m_strDevType, QStringLiteral("NVR"));
    QCOMPARE(dev.m_strMask, QStringLiteral("255.255.255.0"));
    QCOMPARE(dev.m_strExtSerial, QStringLiteral("ext"));
    QCOMPARE(dev.m_lDevId, iDevId);
    QCOMPARE(dev.m_strUserName, QStringLiteral("admin"));
    QCOMPARE(m_pForm->devModel()->data(m_pForm->devModel()->index(2, 9)).toString(), CUIDeviceBean::statusText(2));

    // An operation's result carries the session of when it was sent; a login since then keeps its own.
    CUIDeviceBean oLate = oResult;
    oLate.m_lStatus = DevStatusExportOk;
    oLate.m_strLoginKey = QStringLiteral("41");
    m_pForm->getResultSlot(oLate);
    QCOMPARE(dev.m_lStatus, int(DevStatusExportOk));
    QCOMPARE(dev.m_strLoginKey, QStringLiteral("42"));

    QSignalSpy spyRlt(m_pForm.get(), &CDevManageForm::sendModifyRltSignal);
    CBatchEditNetAddrBean oFailed;
    oFailed.m_strOldIp = dev.m_strIp;
    oFailed.m_strNewIp = QStringLiteral("127.12.1.1");
    oFailed.m_lResult = DevStatusModifyConflict;
    m_pForm->getModifyRltSlot(oFailed);
    QCOMPARE(spyRlt.count(), 1);
    QCOMPARE(m_pForm->deviceList().at(2).m_strIp, oFailed.m_strOldIp);
    QCOMPARE(m_pForm->deviceList().at(2).m_lStatus, int(DevStatusModifyConflict));

    CBatchEditNetAddrBean oDone = oFailed;
    oDone.m_lResult = DevStatusModifyOk;
    oDone.m_strMask = QStringLiteral("255.255.0.0");
    oDone.m_strGateway = QStringLiteral("127.12.0.254");
    m_pForm->getModifyRltSlot(oDone);
    QCOMPARE(spyRlt.count(), 2);
    QCOMPARE(m_pForm->deviceList().at(2).m_strIp, QStringLiteral("127.12.1.1"));
    QCOMPARE(m_pForm->deviceList().at(2).m_strMask, QStringLiteral("255.255.0.0"));
    // The row held a session: it is logging in again at its new address.
    QCOMPARE(m_pForm->deviceList().at(2).m_lStatus, int(DevStatusConnecting));
    QVERIFY(m_pForm->deviceList().at(2).m_strLoginKey.isEmpty());

    // A result for an address not in the list changes nothing.
    CBatchEditNetAddrBean oStranger = oDone;
    oStranger.m_strOldIp = QStringLiteral("127.99.0.1");
    m_pForm->getModifyRltSlot(oStranger);
    QCOMPARE(spyRlt.count(), 2);
}

void TestDevManageForm::listGoesToCapacityTab()
{
    QSignalSpy spy(m_pForm.get(), &CDevManageForm::sendDev2CapSignal);
    m_pForm->sendDev2CapSlot();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QList<CUIDeviceBean>>().size(), kFleet);
}

void TestDevManageForm::onvifByeMarksRowOffline()
{
    // ONVIF devices on this file's own ports, from the client tests' loopback range.
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("2"), QStringLiteral("--first"),
                           QStringLiteral("127.141.0.10"), QStringLiteral("--onvif-discovery-port"),
                           kOnvifDiscoveryPort, QStringLiteral("--port"), kDiscoveryPort});
    CORVANE_START_SIMULATOR(onvif);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kFleet + 2, 10000);

    // Leaving, the devices say Bye: their rows show offline without a refresh, the others stay as they were.
    onvif.stop();
    auto offlineRows = [this] {
        int nOffline = 0;
        for (int iRow = 0; iRow < m_pForm->devModel()->rowCount(); ++iRow) {
            const QString strStatus = m_pForm->devModel()
                                          ->data(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus))
                                          .toString();
            nOffline += strStatus.contains(CDevFailReason::offline()) ? 1 : 0;
        }
        return nOffline;
    };
    QTRY_COMPARE_WITH_TIMEOUT(offlineRows(), 2, 10000);
    QCOMPARE(m_pForm->deviceList().size(), kFleet + 2);
}

void TestDevManageForm::onvifPasswordChangeTakesEffect()
{
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"),
                           QStringLiteral("127.141.0.30"), QStringLiteral("--onvif-discovery-port"),
                           kOnvifDiscoveryPort, QStringLiteral("--port"), kDiscoveryPort});
    CORVANE_START_SIMULATOR(onvif);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    auto onvifRow = [this] {
        for (int i = 0; i < m_pForm->deviceList().size(); ++i) {
            if (m_pForm->deviceList().at(i).isOnvif())
                return i;
        }
        return -1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(onvifRow() >= 0, 10000);
    m_pForm->devModel()->checkedList() = {m_pForm->deviceList().at(onvifRow()).m_lDevId};
    auto pLogin = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(long(m_pForm->deviceList().at(onvifRow()).m_lStatus), long(DevStatusLogged), 15000);
    QTRY_VERIFY(DialogHelper::noModal());

    const QString strNew = QStringLiteral("n3w-pass");
    auto pChange = DialogHelper::onNextModal([&strNew](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oNewPwdEdit"))->setText(strNew);
        pDlg->findChild<QLineEdit *>(QStringLiteral("oConfirmPwdEdit"))->setText(strNew);
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    CMsgDlg::takeAnswered();
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    QCOMPARE(m_pForm->doChangePwd(), 0ul);
    QTRY_VERIFY(pChange->done);
    QTRY_COMPARE_WITH_TIMEOUT(CMsgDlg::queuedAnswers(), 0, 10000);
    const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
    QCOMPARE(listAnswered.size(), 1);
    QCOMPARE(listAnswered.first().text, CDevManageForm::tr("密码已修改。"));

    // The device takes only the new password now, and the row signs with it.
    CUIDeviceBean oDev = m_pForm->deviceList().at(onvifRow());
    QCOMPARE(oDev.m_strPassword, strNew);
    DevSession::loginOnvif(oDev);
    QCOMPARE(long(oDev.m_lStatus), long(DevStatusLogged));
    oDev.m_strPassword = QStringLiteral("vorpe");
    DevSession::loginOnvif(oDev);
    QCOMPARE(long(oDev.m_lStatus), long(DevStatusLoginFailed));
}

void TestDevManageForm::forgedAnswersNeverReplaceRealRows()
{
    // A real camera, another device answering at once from its address, and a
    // host answering for thousands of addresses off our networks.
    const QString strReal = QStringLiteral("127.171.0.10");
    const QString strRelay = QStringLiteral("127.171.0.11");
    SimFleetProcess forged({QStringLiteral("--ipc"), QStringLiteral("1"), QStringLiteral("--first"), strReal,
                            QStringLiteral("--port"), kDiscoveryPort, QStringLiteral("--forge-answers"),
                            strReal + QLatin1Char('=') + strReal, QStringLiteral("--forge-answers"),
                            strRelay + QStringLiteral("=198.18.0.1-198.18.19.255")});
    CORVANE_START_SIMULATOR(forged);
    const SimFleetProcess::Device real = forged.devices().at(0);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    const int iExpected = kFleet + 2 + CDevDiscovery::MaxRelayedPerSender;
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), iExpected, 10000);

    auto status = [this](int iRow) {
        return m_pForm->devModel()->data(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus)).toString();
    };
    QStringList listModels;
    int iRelayed = 0;
    for (int i = 0; i < m_pForm->deviceList().size(); ++i) {
        const CUIDeviceBean &dev = m_pForm->deviceList().at(i);
        if (dev.m_strIp == strReal) {
            listModels << dev.m_strModel;
            QVERIFY(dev.m_strRelay.isEmpty());
            QVERIFY2(status(i).contains(CDevFailReason::addressConflict()), qPrintable(status(i)));
        } else if (dev.m_strIp.startsWith(QLatin1String("198.18."))) {
            ++iRelayed;
            QVERIFY2(status(i).contains(CDevFailReason::relayed(strRelay, dev.m_strIp)), qPrintable(status(i)));
        }
    }
    // The answer that came first did not take the camera's row: both devices show, in conflict.
    listModels.sort();
    QCOMPARE(listModels, (QStringList{real.model, QStringLiteral("ZC-FORGED")}));
    QCOMPARE(iRelayed, CDevDiscovery::MaxRelayedPerSender);
    // Late answers are bounded by the same count.
    auto *pState = m_pForm->findChild<QLabel *>(QStringLiteral("oSearchStateLabel"));
    QTRY_VERIFY_WITH_TIMEOUT(pState->text().isEmpty(), 10000);
    QCOMPARE(m_pForm->deviceList().size(), iExpected);
}

void TestDevManageForm::forgedOnvifAnswerNeverTakesCameraRow()
{
    // Another host replays the camera's ProbeMatch, endpoint reference and all, before the camera answers.
    const QString strCamera = QStringLiteral("127.179.0.10");
    const QString strForger = QStringLiteral("127.179.0.20");
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"), strCamera,
                           QStringLiteral("--onvif-discovery-port"), kOnvifDiscoveryPort, QStringLiteral("--port"),
                           kDiscoveryPort, QStringLiteral("--forge-onvif"), strForger + QLatin1Char('=') + strCamera});
    CORVANE_START_SIMULATOR(onvif);
    const QString strEndpoint = onvif.devices().at(0).endpoint;
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(onvifRows().size(), 2, 10000);

    QStringList listIps;
    for (int iRow : onvifRows()) {
        const CUIDeviceBean &dev = m_pForm->deviceList().at(iRow);
        QCOMPARE(dev.m_strEndpoint, strEndpoint);
        listIps << dev.m_strIp;
        const QString strStatus =
            m_pForm->devModel()->data(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus)).toString();
        QVERIFY2(strStatus.contains(CDevFailReason::addressConflict()), qPrintable(strStatus));
    }
    listIps.sort();
    QCOMPARE(listIps, (QStringList{strCamera, strForger}));
}

void TestDevManageForm::onvifPhantomsBoundedPerAddress()
{
    // A host answering every probe with hundreds of endpoints of its own, next to a real camera.
    const QString strCamera = QStringLiteral("127.180.0.10");
    const QString strPhantoms = QStringLiteral("127.180.0.20");
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"), strCamera,
                           QStringLiteral("--onvif-discovery-port"), kOnvifDiscoveryPort, QStringLiteral("--port"),
                           kDiscoveryPort, QStringLiteral("--onvif-phantoms"), strPhantoms + QStringLiteral("=500")});
    CORVANE_START_SIMULATOR(onvif);
    const QString strEndpoint = onvif.devices().at(0).endpoint;
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    auto *pState = m_pForm->findChild<QLabel *>(QStringLiteral("oSearchStateLabel"));
    QTRY_VERIFY_WITH_TIMEOUT(pState->text().isEmpty(), 15000);

    QSet<QString> setPhantoms;
    int iCameraRows = 0;
    for (int iRow : onvifRows()) {
        const CUIDeviceBean &dev = m_pForm->deviceList().at(iRow);
        const QString strStatus =
            m_pForm->devModel()->data(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus)).toString();
        if (dev.m_strIp == strPhantoms) {
            setPhantoms.insert(dev.m_strEndpoint);
        } else {
            ++iCameraRows;
            QCOMPARE(dev.m_strIp, strCamera);
            QCOMPARE(dev.m_strEndpoint, strEndpoint);
            QCOMPARE(strStatus, CUIDeviceBean::statusText(DevStatusNotLogged));
        }
    }
    QCOMPARE(iCameraRows, 1);
    QCOMPARE(setPhantoms.size(), CDevDiscovery::MaxDevicesPerAddress);
}

void TestDevManageForm::onvifRestartEndsOnline()
{
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"),
                           QStringLiteral("127.177.1.10"), QStringLiteral("--onvif-discovery-port"),
                           kOnvifDiscoveryPort, QStringLiteral("--port"), kDiscoveryPort, QStringLiteral("--restart-ms"),
                           QStringLiteral("300")});
    CORVANE_START_SIMULATOR(onvif);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(onvifRows().size(), 1, 10000);
    const int iRow = onvifRows().first();
    m_pForm->devModel()->checkedList() = {m_pForm->deviceList().at(iRow).m_lDevId};
    auto pLogin = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(long(m_pForm->deviceList().at(iRow).m_lStatus), long(DevStatusLogged), 15000);
    QTRY_VERIFY(DialogHelper::noModal());

    // The restart's Bye marks the row offline; once the device answers again the row says only that it needs a login.
    m_pForm->setVersionCheckTiming(100, 200, 15000);
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->doRestartDev(), 0ul);
    auto statusText = [this, iRow] {
        return m_pForm->devModel()->data(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus)).toString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(CDevFailReason::offline()), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(statusText(), CUIDeviceBean::statusText(DevStatusNotLogged), 15000);
}

void TestDevManageForm::onvifBatchAddressChangeMovesCamera()
{
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("2"), QStringLiteral("--first"),
                           QStringLiteral("127.177.2.10"), QStringLiteral("--onvif-discovery-port"),
                           kOnvifDiscoveryPort, QStringLiteral("--port"), kDiscoveryPort});
    CORVANE_START_SIMULATOR(onvif);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(onvifRows().size(), 2, 10000);
    // Not logged in: the batch dialog reaches the cameras with the account it lists.
    m_pForm->devModel()->checkedList().clear();
    for (int iRow : onvifRows())
        m_pForm->devModel()->checkedList() << m_pForm->deviceList().at(iRow).m_lDevId;
    auto pBatch = DialogHelper::onNextModal([this](QWidget *pDlg) {
        pDlg->findChild<IpWidget *>(QStringLiteral("firstIpWidget"))->setText(QStringLiteral("127.177.2.40"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
        const bool bAnswered = QTest::qWaitFor(
            [this] {
                // Wait for a result on every row: the change starts after the click returns.
                for (int iRow : onvifRows()) {
                    const long lStatus = m_pForm->deviceList().at(iRow).m_lStatus;
                    if (lStatus < DevStatusModifyOk || lStatus > DevStatusModifyInvalid)
                        return false;
                }
                return true;
            },
            15000);
        DialogHelper::clickButton(pDlg, QStringLiteral("ocancelBtn"));
        QVERIFY2(bAnswered, "no address-change result");
    });
    QCOMPARE(m_pForm->doEditNetworkAddress(), 0ul);
    QVERIFY(pBatch->done);
    // The Bye each camera sends from its old address does not mark it offline at its new one.
    QStringList listIps;
    for (int iRow : onvifRows()) {
        QCOMPARE(long(m_pForm->deviceList().at(iRow).m_lStatus), long(DevStatusModifyOk));
        listIps << m_pForm->deviceList().at(iRow).m_strIp;
    }
    listIps.sort();
    QCOMPARE(listIps, (QStringList{QStringLiteral("127.177.2.40"), QStringLiteral("127.177.2.41")}));

    // Leaving for real, they say Bye from the new address: the rows go offline at once.
    onvif.stop();
    for (int iRow : onvifRows()) {
        QTRY_VERIFY_WITH_TIMEOUT(m_pForm->devModel()
                                     ->data(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus))
                                     .toString()
                                     .contains(CDevFailReason::offline()),
                                 10000);
    }
}

QList<int> TestDevManageForm::onvifRows() const
{
    QList<int> listRows;
    for (int i = 0; i < m_pForm->deviceList().size(); ++i) {
        if (m_pForm->deviceList().at(i).isOnvif())
            listRows << i;
    }
    return listRows;
}

QTEST_MAIN(TestDevManageForm)
#include "tst_devmanageform.moc"
