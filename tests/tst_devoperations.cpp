// The device tab's operations against simulated devices: login and the
// resumed command, restart, address changes, password reset, the context menu,
// the web page, and a refresh that abandons work in progress.
#include "dev_batcheditaddrdlg.h"
#include "dev_manageform.h"
#include "dialoghelper.h"
#include "msgdlg.h"
#include "devdiscovery.h"
#include "encodedevmodelex.h"
#include "ipwidget.h"
#include "platformutils.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "tableviewex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

// This file's own loopback range and discovery port.
const QString kFirstIp = QStringLiteral("127.68.0.10");
const QString kDiscoveryPort = QStringLiteral("39568");
constexpr int kIpcCount = 4;
constexpr int kNvrCount = 2;
constexpr int kFleet = kIpcCount + kNvrCount;

} // namespace

class TestDevOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void loginFlow();
    void unreachableDeviceReason();
    void restartResumesAfterLogin();
    void singleAddressChange();
    void batchAcrossBlockBoundary();
    void passwordReset();
    void contextMenuAndWebPage();
    void refreshDropsAbandonedResults();
    void refreshDuringLogin();
    void exitDoesNotWaitForSilentDevices();

private:
    const SimFleetProcess::Device &simDevice(const QString &strType, int iNth = 0) const;
    int rowOf(const QString &strIp) const;
    const CUIDeviceBean &dev(const QString &strIp) const;
    // The status cell's tooltip of the device's row.
    QString statusTip(const QString &strIp) const;
    // Checks exactly these devices, in this order; the first becomes the current row.
    void checkDevices(const QStringList &listIps);
    bool waitForFleet(int iTimeoutMs = 10000);
    // The simulated device may be moved to strTo by the test: cleanup() moves
    // it back, whether the test passed or not.
    void restoreLater(const QString &strTo, const SimFleetProcess::Device &device);
    void moveBack(const QString &strFrom, const SimFleetProcess::Device &device);
    static void setIp(QWidget *pDialog, const char *pszWidget, const QString &strIp);
    // Texts of the messages answered through the message dialog's seam so far.
    static QStringList answeredTexts();

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
    QList<QPair<QString, SimFleetProcess::Device>> m_listToRestore;
};

void TestDevOperations::initTestCase()
{
    registerRecordTypes();
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpcCount), QStringLiteral("--nvr"),
                                      QString::number(kNvrCount), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--port"), kDiscoveryPort, QStringLiteral("--restart-ms"),
                                      QStringLiteral("300")}));
    CORVANE_START_SIMULATOR(*m_pSim);
    QCOMPARE(m_pSim->devices().size(), kFleet);
}

void TestDevOperations::cleanupTestCase()
{
    m_pSim.reset();
}

void TestDevOperations::init()
{
    if (!m_pSim || !m_pSim->isRunning())
        CORVANE_DEVICE_SKIP("simulator unavailable");
    m_pForm.reset(new CDevManageForm);
    m_pForm->resize(1000, 500);
    QVERIFY(waitForFleet());
}

void TestDevOperations::cleanup()
{
    // While the tab still holds the discovery library open.
    for (const auto &moved : qAsConst(m_listToRestore))
        moveBack(moved.first, moved.second);
    m_listToRestore.clear();
    m_pForm.reset();
    CMsgDlg::takeAnswered();
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

const SimFleetProcess::Device &TestDevOperations::simDevice(const QString &strType, int iNth) const
{
    for (const SimFleetProcess::Device &device : m_pSim->devices()) {
        if (device.type == strType && iNth-- == 0)
            return device;
    }
    qFatal("no simulated %s", qPrintable(strType));
}

int TestDevOperations::rowOf(const QString &strIp) const
{
    const QList<CUIDeviceBean> &listDev = m_pForm->deviceList();
    for (int i = 0; i < listDev.size(); ++i) {
        if (listDev.at(i).m_strIp == strIp)
            return i;
    }
    return -1;
}

const CUIDeviceBean &TestDevOperations::dev(const QString &strIp) const
{
    const int iRow = rowOf(strIp);
    if (iRow < 0)
        qFatal("%s is not listed", qPrintable(strIp));
    return m_pForm->deviceList().at(iRow);
}

QString TestDevOperations::statusTip(const QString &strIp) const
{
    return m_pForm->devModel()->index(rowOf(strIp), EncodeDevModelEx::ColStatus).data(Qt::ToolTipRole).toString();
}

void TestDevOperations::checkDevices(const QStringList &listIps)
{
    QList<int> &listChecked = m_pForm->devModel()->checkedList();
    listChecked.clear();
    for (const QString &strIp : listIps)
        listChecked << dev(strIp).m_lDevId;
    auto *pView = m_pForm->findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    pView->setCurrentIndex(m_pForm->devModel()->index(rowOf(listIps.first()), 1));
}

bool TestDevOperations::waitForFleet(int iTimeoutMs)
{
    return QTest::qWaitFor(
        [this] {
            int nFound = 0;
            for (const SimFleetProcess::Device &device : m_pSim->devices())
                nFound += rowOf(device.ip) >= 0 ? 1 : 0;
            return nFound == kFleet;
        },
        iTimeoutMs);
}

void TestDevOperations::restoreLater(const QString &strTo, const SimFleetProcess::Device &device)
{
    m_listToRestore.append({strTo, device});
}

void TestDevOperations::moveBack(const QString &strFrom, const SimFleetProcess::Device &device)
{
    const DWORD ulRet = CDevDiscovery::setDevIpAddr(strFrom, QStringLiteral("vorpe"), QStringLiteral("admin"),
                                                    device.serial, device.mac, device.ip,
                                                    QStringLiteral("255.0.0.0"), QString());
    if (ulRet != 0)
        qWarning("could not move %s back to %s: %u", qPrintable(strFrom), qPrintable(device.ip), ulRet);
}

QStringList TestDevOperations::answeredTexts()
{
    QStringList listTexts;
    for (const CMsgDlg::stAnswered &answered : CMsgDlg::takeAnswered())
        listTexts << answered.text;
    return listTexts;
}

void TestDevOperations::setIp(QWidget *pDialog, const char *pszWidget, const QString &strIp)
{
    pDialog->findChild<IpWidget *>(QLatin1String(pszWidget))->setText(strIp);
}

void TestDevOperations::loginFlow()
{
    const QString strIpc = simDevice(QStringLiteral("IPC")).ip;
    const QString strNvr = simDevice(QStringLiteral("NVR")).ip;

    // Nothing checked: only the note.
    m_pForm->devModel()->checkedList().clear();
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 1ul);
    QCOMPARE(answeredTexts(), QStringList{QStringLiteral("请选择设备。")});

    checkDevices({strNvr, strIpc});
    DialogHelper::Script script;
    bool bNoteShown = true;
    script.expect("CDevLoginDlg", [&bNoteShown](QWidget *pDialog) {
        bNoteShown = pDialog->findChild<QLabel *>(QStringLiteral("oNoteLabel"))->isVisible();
        QCOMPARE(pDialog->findChild<QLineEdit *>(QStringLiteral("oUserEdit"))->text(), QStringLiteral("admin"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    m_pForm->on_oLoginBtn_clicked();
    QVERIFY(script.done());
    QVERIFY(!bNoteShown);
    QCOMPARE(dev(strIpc).m_lStatus, 1);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strIpc).m_lStatus, 2, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, 2, 15000);
    QCOMPARE(dev(strIpc).m_strDevType, QStringLiteral("IPC"));
    QCOMPARE(dev(strNvr).m_strDevType, QStringLiteral("NVR"));
    QVERIFY(!dev(strNvr).m_strLoginKey.isEmpty());
    QCOMPARE(dev(strNvr).m_strMac, simDevice(QStringLiteral("NVR")).mac.toLower());
    // The logged-in devices stay checked, in the order of the login list; the wait overlay is gone.
    QCOMPARE(m_pForm->devModel()->checkedList(), (QList<int>{dev(strNvr).m_lDevId, dev(strIpc).m_lDevId}));
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

    // Logged in: the logged-in check hands the devices on in checked order.
    QList<CUIDeviceBean> listHanded;
    connect(m_pForm.get(), &CDevManageForm::sendDevListInfo, this,
            [&listHanded](QList<CUIDeviceBean> &list) { listHanded = list; });
    QVERIFY(m_pForm->checkLoggedIn(CDevManageForm::EventUpgrade));
    QCOMPARE(listHanded.size(), 2);
    QCOMPARE(listHanded.at(0).m_strIp, strNvr);

    // An empty password is refused and changes no status.
    DialogHelper::Script empty;
    empty.expect("CDevLoginDlg", [](QWidget *pDialog) {
        pDialog->findChild<QLineEdit *>(QStringLiteral("oPasswordEdit"))->clear();
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 1ul);
    QVERIFY(empty.done());
    QCOMPARE(answeredTexts(), QStringList{QStringLiteral("用户名或密码不能为空，请重新尝试。")});
    QCOMPARE(dev(strIpc).m_lStatus, 2);
    QCOMPARE(dev(strNvr).m_lStatus, 2);

    // A failed login again: the closed sessions leave no key, so commands ask for a login.
    DialogHelper::Script wrong;
    wrong.expect("CDevLoginDlg", [](QWidget *pDialog) {
        pDialog->findChild<QLineEdit *>(QStringLiteral("oPasswordEdit"))->setText(QStringLiteral("wrong"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strIpc).m_lStatus, 3, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, 3, 15000);
    // Whichever library serves the device, the tooltip names the cause.
    const QString strWrong = QStringLiteral("未登录(正在重启或用户名、密码错误)\n原因：用户名或密码错误");
    QCOMPARE(statusTip(strIpc), strWrong);
    QCOMPARE(statusTip(strNvr), strWrong);
    QVERIFY(dev(strIpc).m_strLoginKey.isEmpty());
    QVERIFY(dev(strNvr).m_strLoginKey.isEmpty());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    DialogHelper::Script again;
    again.press("CDevLoginDlg", "oCancelBtn");
    listHanded.clear();
    QVERIFY(!m_pForm->checkLoggedIn(CDevManageForm::EventUpgrade));
    QVERIFY(again.done());
    QVERIFY(listHanded.isEmpty());

    // The right password again: the reason goes with the failure.
    DialogHelper::Script right;
    right.expect("CDevLoginDlg", [](QWidget *pDialog) {
        pDialog->findChild<QLineEdit *>(QStringLiteral("oPasswordEdit"))->setText(QStringLiteral("vorpe"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    m_pForm->devLogin(CDevManageForm::EventNone);
    QVERIFY(right.done());
    QTRY_COMPARE_WITH_TIMEOUT(dev(strIpc).m_lStatus, 2, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, 2, 15000);
    QVERIFY(dev(strIpc).m_strFailReason.isEmpty());
    QCOMPARE(statusTip(strNvr), QStringLiteral("已登录"));
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevOperations::unreachableDeviceReason()
{
    // The device leaves its address after it was listed; its row stays.
    const SimFleetProcess::Device &nvr = simDevice(QStringLiteral("NVR"), 1);
    const QString strAway = QStringLiteral("127.68.4.20");
    QCOMPARE(CDevDiscovery::setDevIpAddr(nvr.ip, QStringLiteral("vorpe"), QStringLiteral("admin"), nvr.serial,
                                         nvr.mac, strAway, QStringLiteral("255.0.0.0"), QString()),
             DWORD(0));
    restoreLater(strAway, nvr);
    checkDevices({nvr.ip});
    DialogHelper::Script login;
    login.press("CDevLoginDlg", "oOkBtn");
    m_pForm->devLogin(CDevManageForm::EventNone);
    QVERIFY(login.done());
    QTRY_COMPARE_WITH_TIMEOUT(dev(nvr.ip).m_lStatus, 3, 15000);
    QCOMPARE(statusTip(nvr.ip), QStringLiteral("未登录(正在重启或用户名、密码错误)\n原因：无法连接设备"));
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevOperations::restartResumesAfterLogin()
{
    const QString strIpc = simDevice(QStringLiteral("IPC"), 1).ip;
    checkDevices({strIpc});
    DialogHelper::Script script;
    bool bNoteShown = false;
    script.expect("CDevLoginDlg", [&bNoteShown](QWidget *pDialog) {
        bNoteShown = pDialog->findChild<QLabel *>(QStringLiteral("oNoteLabel"))->isVisible();
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    CMsgDlg::setNextAnswer(QDialog::Accepted); // the restart question, without another click on restart
    CMsgDlg::setNextAnswer(QDialog::Rejected); // the restart note
    m_pForm->setVersionCheckTiming(100, 200, 15000);
    // Not logged in: the restart starts the login flow and stops there.
    QCOMPARE(m_pForm->doRestartDev(), 1ul);
    QVERIFY(script.done());
    QVERIFY(bNoteShown);
    QTRY_COMPARE_WITH_TIMEOUT(CMsgDlg::queuedAnswers(), 0, 20000);
    QCOMPARE(answeredTexts(), (QStringList{QStringLiteral("你确定要重启系统吗？\n设备：%1 %2").arg(strIpc, dev(strIpc).m_strModel),
                                           QStringLiteral("设备正在重启，重启完成后列表中的状态会变回“未登录”。")}));
    // The row stays, says so, and needs a login once the device answers again.
    QCOMPARE(dev(strIpc).m_lStatus, int(DevStatusRestarting));
    QCOMPARE(statusTip(strIpc), QStringLiteral("正在重启..."));
    QVERIFY(dev(strIpc).m_strLoginKey.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(dev(strIpc).m_lStatus, int(DevStatusNotLogged), 15000);
    QCOMPARE(m_pForm->findChild<QLabel *>(QStringLiteral("oDevNumLabel"))->text(), QString::number(kFleet));

    // A logged-in NVR restarts through a session opened for the restart alone.
    const QString strNvr = simDevice(QStringLiteral("NVR"), 1).ip;
    checkDevices({strNvr});
    DialogHelper::Script nvrLogin;
    nvrLogin.press("CDevLoginDlg", "oOkBtn");
    m_pForm->on_oLoginBtn_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, 2, 15000);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->doRestartDev(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(CMsgDlg::queuedAnswers(), 0, 10000);
    QCOMPARE(answeredTexts().size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, int(DevStatusNotLogged), 15000);

    // Several checked devices are refused.
    checkDevices({strIpc, simDevice(QStringLiteral("NVR")).ip});
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->doRestartDev(), 1ul);
    QCOMPARE(answeredTexts(), QStringList{QStringLiteral("不能同时操作多台设备。")});
}

void TestDevOperations::singleAddressChange()
{
    const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"), 2);
    const QString strOther = simDevice(QStringLiteral("IPC"), 3).ip;
    const QString strNew = QStringLiteral("127.68.1.12");

    auto changeTo = [this](const QString &strIp, const QString &strNewIp) {
        checkDevices({strIp});
        DialogHelper::Script script;
        script.expect("CEditNetworkAddrDlg", [&strNewIp](QWidget *pDialog) {
            setIp(pDialog, "oIpWidget", strNewIp);
            setIp(pDialog, "oMaskAddrWidget", QStringLiteral("255.0.0.0"));
            setIp(pDialog, "oGateWayWidget", QStringLiteral("127.0.0.1"));
            pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
        });
        m_pForm->doEditNetworkAddress();
        return script.done();
    };

    // Malformed addresses are refused by the dialog itself (tst_devdialogs);
    // the device's own answers reach the status column.
    QVERIFY(changeTo(ipc.ip, strOther));
    QCOMPARE(dev(ipc.ip).m_lStatus, 18);
    QTRY_COMPARE_WITH_TIMEOUT(dev(ipc.ip).m_lStatus, 21, 10000);
    QCOMPARE(statusTip(ipc.ip), QStringLiteral("修改失败(IP地址冲突)\n原因：IP地址已被占用"));

    restoreLater(strNew, ipc);
    QVERIFY(changeTo(ipc.ip, strNew));
    QTRY_VERIFY_WITH_TIMEOUT(rowOf(strNew) >= 0, 10000);
    QCOMPARE(dev(strNew).m_lStatus, 19);
    QCOMPARE(dev(strNew).m_strMask, QStringLiteral("255.0.0.0"));
    QCOMPARE(rowOf(ipc.ip), -1);

    // A refresh finds it at its new address.
    m_pForm->on_oRefreshBtn_clicked();
    QTRY_VERIFY_WITH_TIMEOUT(rowOf(strNew) >= 0 && dev(strNew).m_lStatus == 0, 10000);
    QCOMPARE(dev(strNew).m_strSerial, ipc.serial);
}

void TestDevOperations::batchAcrossBlockBoundary()
{
    QStringList listIps;
    for (int i = 0; i < 3; ++i)
        listIps << simDevice(QStringLiteral("IPC"), i).ip;
    checkDevices(listIps);

    restoreLater(QStringLiteral("127.68.2.253"), simDevice(QStringLiteral("IPC"), 0));
    restoreLater(QStringLiteral("127.68.2.254"), simDevice(QStringLiteral("IPC"), 1));
    QList<CBatchEditNetAddrBean> listRows;
    bool bAnswered = false;
    DialogHelper::Script script;
    script.expect("CBatchEditAddrDlg", [&listRows, &bAnswered](QWidget *pDialog) {
        auto *pDlg = qobject_cast<CBatchEditAddrDlg *>(pDialog);
        QCOMPARE(pDlg->rows().size(), 3);
        setIp(pDialog, "firstIpWidget", QStringLiteral("127.68.2.253"));
        // One cell corrected by hand to an address the worker refuses.
        QAbstractItemModel *pModel = pDialog->findChild<TableViewEx *>()->model();
        pModel->setData(pModel->index(2, 3), QStringLiteral("127.68.3.0"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
        bAnswered = QTest::qWaitFor(
            [pDlg] {
                for (const CBatchEditNetAddrBean &oRow : pDlg->rows()) {
                    if (oRow.m_lResult == 18)
                        return false;
                }
                return true;
            },
            15000);
        listRows = pDlg->rows();
        pDialog->findChild<QPushButton *>(QStringLiteral("ocancelBtn"))->click();
    });
    QCOMPARE(m_pForm->doEditNetworkAddress(), 0ul);
    QVERIFY(script.done());
    QVERIFY2(bAnswered, "no result for some rows");

    QCOMPARE(listRows.size(), 3);
    QCOMPARE(listRows.at(0).m_strName, dev(QStringLiteral("127.68.2.253")).m_strModel + QStringLiteral("_") + listIps.at(0));
    QCOMPARE(listRows.at(0).m_strNewIp, QStringLiteral("127.68.2.253"));
    QCOMPARE(listRows.at(1).m_strNewIp, QStringLiteral("127.68.2.254"));
    QCOMPARE(listRows.at(2).m_strNewIp, QStringLiteral("127.68.3.0"));
    QCOMPARE(listRows.at(0).m_lResult, 19);
    QCOMPARE(listRows.at(1).m_lResult, 19);
    QCOMPARE(listRows.at(2).m_lResult, 22);
    QCOMPARE(dev(QStringLiteral("127.68.2.253")).m_lStatus, 19);
    QCOMPARE(dev(QStringLiteral("127.68.2.254")).m_lStatus, 19);
    QCOMPARE(dev(listIps.at(2)).m_lStatus, 22);
    QCOMPARE(dev(QStringLiteral("127.68.2.254")).m_strGateway, QStringLiteral("127.68.2.1"));
}

void TestDevOperations::passwordReset()
{
    const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"), 3);
    const SimFleetProcess::Device &nvr = simDevice(QStringLiteral("NVR"), 1);

    auto reset = [this](const QString &strIp, const QString &strCode) {
        checkDevices({strIp});
        DialogHelper::Script script;
        script.expect("CResetPasswdDlg", [&strCode](QWidget *pDialog) {
            QVERIFY(pDialog->findChild<QLineEdit *>(QStringLiteral("oDevSerialEdit"))->isReadOnly());
            pDialog->findChild<QLineEdit *>(QStringLiteral("oSerialCodeEdit"))->setText(strCode);
            pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
        });
        CMsgDlg::setNextAnswer(QDialog::Rejected);
        m_pForm->doRestoreDevPwd();
        // The reset runs on a worker; its note follows.
        if (!script.done() || !QTest::qWaitFor([] { return CMsgDlg::queuedAnswers() == 0; }, 10000))
            return QStringList{QStringLiteral("no note came")};
        return answeredTexts();
    };
    QCOMPARE(reset(ipc.ip, QStringLiteral("wrong-code")), QStringList{QStringLiteral("重置失败。\n原因：安全码错误")});
    QCOMPARE(reset(ipc.ip, ipc.securityCode), QStringList{QStringLiteral("重置成功，密码为：vorpe")});

    // Once logged in, the NVR is known as one: refused without the dialog.
    checkDevices({nvr.ip});
    DialogHelper::Script login;
    login.press("CDevLoginDlg", "oOkBtn");
    m_pForm->devLogin(CDevManageForm::EventNone);
    QTRY_COMPARE_WITH_TIMEOUT(dev(nvr.ip).m_strDevType, QStringLiteral("NVR"), 15000);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    DialogHelper::Script refused;
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->doRestoreDevPwd(), 1ul);
    QVERIFY(refused.seen().isEmpty());
    QCOMPARE(answeredTexts(), QStringList{QStringLiteral("该设备不支持密码重置功能，请及时与客服联系。")});
}

void TestDevOperations::contextMenuAndWebPage()
{
    auto *pView = m_pForm->findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    QStringList listActions;
    int nMenus = 0;
    QTimer closer;
    closer.setInterval(5);
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto *pMenu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            ++nMenus;
            for (QAction *pAction : pMenu->actions())
                listActions << pAction->text();
            pMenu->close();
        }
    });
    closer.start();

    pView->setCurrentIndex(QModelIndex());
    m_pForm->showDevTabViewContextMenu(QPoint(5, 5));
    QCOMPARE(nMenus, 0);

    const QString strIp = simDevice(QStringLiteral("NVR")).ip;
    pView->setCurrentIndex(m_pForm->devModel()->index(rowOf(strIp), 2));
    m_pForm->showDevTabViewContextMenu(QPoint(5, 5));
    QCOMPARE(nMenus, 1);
    // The device commands come first; the list export follows them.
    QCOMPARE(listActions.mid(0, 4), (QStringList{QStringLiteral("修改网络地址"), QStringLiteral("重置设备密码"),
                                                 QStringLiteral("修改密码"), QStringLiteral("重启设备")}));

    QList<QUrl> listOpened;
    CPlatformUtils::setUrlOpener([&listOpened](const QUrl &url) {
        listOpened << url;
        return true;
    });
    emit pView->sendRemoteSignal();
    CPlatformUtils::setUrlOpener(nullptr);
    QCOMPARE(listOpened, QList<QUrl>{QUrl(QStringLiteral("http://") + strIp)});

    // No browser: the address is shown instead of nothing happening.
    CPlatformUtils::setUrlOpener([](const QUrl &) { return false; });
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    emit pView->sendRemoteSignal();
    CPlatformUtils::setUrlOpener(nullptr);
    const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
    QCOMPARE(listAnswered.size(), 1);
    QVERIFY2(listAnswered.at(0).text.contains(QStringLiteral("http://") + strIp), qPrintable(listAnswered.at(0).text));
}

void TestDevOperations::refreshDropsAbandonedResults()
{
    const QString strIpc = simDevice(QStringLiteral("IPC")).ip;
    CUIDeviceBean oOld = dev(strIpc);
    m_pForm->on_oRefreshBtn_clicked();
    QVERIFY(waitForFleet());
    const int iDevId = dev(strIpc).m_lDevId;

    // Results of the abandoned list find the same device in the new list and must not touch it.
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    oOld.m_lStatus = DevStatusLogged;
    oOld.m_strDevType = QStringLiteral("IPC");
    oOld.m_strLoginKey = QStringLiteral("stale-session");
    m_pForm->getResultSlot(oOld);
    QList<CUIDeviceBean> listOld{oOld};
    m_pForm->getLoginResultSlot(listOld, CDevManageForm::EventRestart);
    CBatchEditNetAddrBean oAddr;
    oAddr.m_strOldIp = strIpc;
    oAddr.m_strNewIp = QStringLiteral("127.68.9.9");
    oAddr.m_lResult = DevStatusModifyOk;
    oAddr.m_ulListRound = oOld.m_ulListRound;
    m_pForm->getModifyRltSlot(oAddr);

    const CUIDeviceBean &now = dev(strIpc);
    QCOMPARE(now.m_lStatus, 0);
    QVERIFY(now.m_strLoginKey.isEmpty());
    QVERIFY(now.m_strDevType.isEmpty());
    QCOMPARE(now.m_lDevId, iDevId);
    QVERIFY(m_pForm->devModel()->checkedList().isEmpty());
    QVERIFY(CMsgDlg::takeAnswered().isEmpty());

    // The current list's own results still arrive.
    CUIDeviceBean oNow = now;
    oNow.m_lStatus = DevStatusLoginFailed;
    m_pForm->getResultSlot(oNow);
    QCOMPARE(dev(strIpc).m_lStatus, 3);

    // A new address typed with leading zeros is kept in its plain form.
    oAddr.m_strNewIp = QStringLiteral("127.068.009.009");
    oAddr.m_ulListRound = oNow.m_ulListRound;
    m_pForm->getModifyRltSlot(oAddr);
    QCOMPARE(dev(QStringLiteral("127.68.9.9")).m_lStatus, DevStatusModifyOk);
}

void TestDevOperations::refreshDuringLogin()
{
    QStringList listIps{simDevice(QStringLiteral("IPC")).ip, simDevice(QStringLiteral("NVR")).ip};
    checkDevices(listIps);
    QStringList listLoggedOut;
    connect(m_pForm.get(), &CDevManageForm::sendLogoutSignal, this, [&listLoggedOut](CUIDeviceBean &oBean) {
        if (!oBean.m_strLoginKey.isEmpty())
            listLoggedOut << oBean.m_strIp;
    });
    // The refresh comes the moment the first device's login is merged: the
    // second one's is then still on its way and belongs to abandoned work.
    bool bRefreshed = false;
    QMetaObject::Connection refreshOnFirst =
        connect(m_pForm->devModel(), &QAbstractItemModel::dataChanged, this, [&] {
            const int iRow = rowOf(listIps.at(0));
            if (bRefreshed || iRow < 0 || m_pForm->deviceList().at(iRow).m_lStatus != DevStatusLogged)
                return;
            bRefreshed = true;
            QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
        });
    DialogHelper::Script script;
    script.press("CDevLoginDlg", "oOkBtn");
    script.press("CDevLoginDlg", "oOkBtn");
    // Would answer a restart wrongly resumed by an abandoned login.
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventRestart), 0ul);
    QTRY_VERIFY_WITH_TIMEOUT(bRefreshed, 15000);
    disconnect(refreshOnFirst);
    QVERIFY(waitForFleet());

    // The merged session was closed by the refresh, the late one when it came;
    // neither is merged into the new list.
    QTRY_COMPARE_WITH_TIMEOUT(listLoggedOut.size(), 2, 15000);
    std::sort(listLoggedOut.begin(), listLoggedOut.end());
    std::sort(listIps.begin(), listIps.end());
    QCOMPARE(listLoggedOut, listIps);
    for (const QString &strIp : listIps) {
        QCOMPARE(dev(strIp).m_lStatus, 0);
        QVERIFY(dev(strIp).m_strLoginKey.isEmpty());
    }

    // Fresh work goes through at once, and no restart question followed the
    // abandoned login.
    checkDevices({simDevice(QStringLiteral("IPC")).ip});
    m_pForm->devLogin(CDevManageForm::EventNone);
    QTRY_COMPARE_WITH_TIMEOUT(dev(simDevice(QStringLiteral("IPC")).ip).m_lStatus, 2, 15000);
    QCOMPARE(script.seen(), (QStringList{QStringLiteral("CDevLoginDlg"), QStringLiteral("CDevLoginDlg")}));
    QVERIFY(CMsgDlg::takeAnswered().isEmpty());
    QTRY_COMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestDevOperations::exitDoesNotWaitForSilentDevices()
{
    const QStringList listIps{simDevice(QStringLiteral("IPC")).ip, simDevice(QStringLiteral("NVR")).ip};
    checkDevices(listIps);
    DialogHelper::Script login;
    login.press("CDevLoginDlg", "oOkBtn");
    m_pForm->devLogin(CDevManageForm::EventNone);
    for (const QString &strIp : listIps)
        QTRY_COMPARE_WITH_TIMEOUT(dev(strIp).m_lStatus, 2, 15000);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

    // The devices stop answering: the tab still goes within the bound.
    ::kill(pid_t(m_pSim->processId()), SIGSTOP);
    QElapsedTimer timer;
    timer.start();
    m_pForm.reset();
    const qint64 lElapsed = timer.elapsed();
    ::kill(pid_t(m_pSim->processId()), SIGCONT);
    QVERIFY2(lElapsed < 1500, qPrintable(QString::number(lElapsed)));
}

QTEST_MAIN(TestDevOperations)
#include "tst_devoperations.moc"
