// The device tab's operations against simulated devices: login and the
// resumed command, restart, address changes, password reset, the context menu,
// the web page, and a refresh that abandons work in progress.
#include "dev_batcheditaddrdlg.h"
#include "dev_manageform.h"
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
#include <deque>
#include <functional>
#include <memory>

namespace {

// This file's own loopback range and discovery port.
const QString kFirstIp = QStringLiteral("127.68.0.10");
const QString kDiscoveryPort = QStringLiteral("39568");
constexpr int kIpcCount = 4;
constexpr int kNvrCount = 2;
constexpr int kFleet = kIpcCount + kNvrCount;

// Answers the modal dialogs that come up, in the order expected, by class
// name. The wait overlay is modal too and is left alone.
class CDialogScript
{
public:
    using Action = std::function<void(QWidget *)>;

    void expect(const char *pszClass, Action action) { m_steps.push_back({QLatin1String(pszClass), action}); }
    // Presses a button of the next dialog and keeps the text of its message label.
    void press(const char *pszClass, const char *pszButton)
    {
        expect(pszClass, [this, pszButton](QWidget *pDialog) {
            if (auto *pLabel = pDialog->findChild<QLabel *>(QStringLiteral("oMsgLabel")))
                m_listTexts << pLabel->text();
            pDialog->findChild<QPushButton *>(QLatin1String(pszButton))->click();
        });
    }
    void start()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    bool done() const { return m_steps.empty(); }
    // Classes of the dialogs seen, in order.
    QStringList seen() const { return m_listSeen; }
    QStringList texts() const { return m_listTexts; }

private:
    void poll()
    {
        QWidget *pModal = QApplication::activeModalWidget();
        if (!pModal || !pModal->isVisible() || pModal == m_pLast || m_steps.empty())
            return;
        const QString strClass = QString::fromLatin1(pModal->metaObject()->className());
        if (strClass == QLatin1String("CWaitDlg"))
            return;
        m_pLast = pModal;
        m_listSeen << strClass;
        const Step step = m_steps.front();
        m_steps.pop_front();
        if (strClass != step.strClass) {
            qWarning("unexpected dialog %s instead of %s", qPrintable(strClass), qPrintable(step.strClass));
            pModal->close();
            return;
        }
        step.action(pModal);
    }

    struct Step
    {
        QString strClass;
        Action action;
    };
    std::deque<Step> m_steps;
    QTimer m_timer;
    QPointer<QWidget> m_pLast;
    QStringList m_listSeen;
    QStringList m_listTexts;
};

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
    // Checks exactly these devices, in this order; the first becomes the current row.
    void checkDevices(const QStringList &listIps);
    bool waitForFleet(int iTimeoutMs = 10000);
    // Moves a simulated device back to its original address if a test moved it.
    void moveBack(const QString &strFrom, const SimFleetProcess::Device &device);
    static void setIp(QWidget *pDialog, const char *pszWidget, const QString &strIp);

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
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
        QSKIP("simulator unavailable");
    m_pForm.reset(new CDevManageForm);
    m_pForm->resize(1000, 500);
    QVERIFY(waitForFleet());
}

void TestDevOperations::cleanup()
{
    m_pForm.reset();
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

void TestDevOperations::moveBack(const QString &strFrom, const SimFleetProcess::Device &device)
{
    const DWORD ulRet = CDevDiscovery::setDevIpAddr(strFrom, QStringLiteral("vorpe"), QStringLiteral("admin"),
                                                    device.serial, device.mac, device.ip,
                                                    QStringLiteral("255.0.0.0"), QString());
    if (ulRet != 0)
        qWarning("could not move %s back to %s: %u", qPrintable(strFrom), qPrintable(device.ip), ulRet);
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
    CDialogScript none;
    none.press("CMsgDlg", "oCancelBtn");
    none.start();
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 1ul);
    QCOMPARE(none.texts(), QStringList{QStringLiteral("请选择设备。")});

    checkDevices({strNvr, strIpc});
    CDialogScript script;
    bool bNoteShown = true;
    script.expect("CDevLoginDlg", [&bNoteShown](QWidget *pDialog) {
        bNoteShown = pDialog->findChild<QLabel *>(QStringLiteral("oNoteLabel"))->isVisible();
        QCOMPARE(pDialog->findChild<QLineEdit *>(QStringLiteral("oUserEdit"))->text(), QStringLiteral("admin"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    script.start();
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
    CDialogScript empty;
    empty.expect("CDevLoginDlg", [](QWidget *pDialog) {
        pDialog->findChild<QLineEdit *>(QStringLiteral("oPasswordEdit"))->clear();
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    empty.press("CMsgDlg", "oCancelBtn");
    empty.start();
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 1ul);
    QCOMPARE(empty.texts(), QStringList{QStringLiteral("用户名或密码不能为空，请重新尝试。")});
    QCOMPARE(dev(strIpc).m_lStatus, 2);
    QCOMPARE(dev(strNvr).m_lStatus, 2);

    // A failed login again: the closed sessions leave no key, so commands ask for a login.
    CDialogScript wrong;
    wrong.expect("CDevLoginDlg", [](QWidget *pDialog) {
        pDialog->findChild<QLineEdit *>(QStringLiteral("oPasswordEdit"))->setText(QStringLiteral("wrong"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    wrong.start();
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strIpc).m_lStatus, 3, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, 3, 15000);
    QVERIFY(dev(strIpc).m_strLoginKey.isEmpty());
    QVERIFY(dev(strNvr).m_strLoginKey.isEmpty());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    CDialogScript again;
    again.press("CDevLoginDlg", "oCancelBtn");
    again.start();
    listHanded.clear();
    QVERIFY(!m_pForm->checkLoggedIn(CDevManageForm::EventUpgrade));
    QVERIFY(again.done());
    QVERIFY(listHanded.isEmpty());
}

void TestDevOperations::restartResumesAfterLogin()
{
    const QString strIpc = simDevice(QStringLiteral("IPC"), 1).ip;
    checkDevices({strIpc});
    CDialogScript script;
    bool bNoteShown = false;
    script.expect("CDevLoginDlg", [&bNoteShown](QWidget *pDialog) {
        bNoteShown = pDialog->findChild<QLabel *>(QStringLiteral("oNoteLabel"))->isVisible();
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    script.press("CMsgDlg", "oOkBtn");     // the restart question, without another click on restart
    script.press("CMsgDlg", "oCancelBtn"); // the restart note 3 s later
    script.start();
    // Not logged in: the restart starts the login flow and stops there.
    QCOMPARE(m_pForm->doRestartDev(), 1ul);
    QVERIFY(bNoteShown);
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 20000);
    QCOMPARE(script.texts(), (QStringList{QStringLiteral("你确定要重启系统吗？"),
                                          QStringLiteral("设备正在重启，请在约3分钟后刷新列表获取该设备。")}));
    QCOMPARE(rowOf(strIpc), -1);
    QVERIFY(m_pForm->devModel()->checkedList().isEmpty());
    QCOMPARE(m_pForm->findChild<QLabel *>(QStringLiteral("oDevNumLabel"))->text(), QString::number(kFleet - 1));

    // Back after its reboot, at the next refresh.
    QVERIFY(QTest::qWaitFor(
        [this, &strIpc] {
            if (rowOf(strIpc) >= 0)
                return true;
            m_pForm->on_oRefreshBtn_clicked();
            return QTest::qWaitFor([this, &strIpc] { return rowOf(strIpc) >= 0; }, 1000);
        },
        15000));

    // A logged-in NVR restarts through a session opened for the restart alone.
    const QString strNvr = simDevice(QStringLiteral("NVR"), 1).ip;
    checkDevices({strNvr});
    CDialogScript nvrLogin;
    nvrLogin.press("CDevLoginDlg", "oOkBtn");
    nvrLogin.start();
    m_pForm->on_oLoginBtn_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(dev(strNvr).m_lStatus, 2, 15000);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    CDialogScript nvrRestart;
    nvrRestart.press("CMsgDlg", "oOkBtn");
    nvrRestart.press("CMsgDlg", "oCancelBtn");
    nvrRestart.start();
    QCOMPARE(m_pForm->doRestartDev(), 0ul);
    QTRY_VERIFY_WITH_TIMEOUT(nvrRestart.done(), 10000);
    QCOMPARE(rowOf(strNvr), -1);

    // Several checked devices are refused.
    checkDevices({strIpc, simDevice(QStringLiteral("NVR")).ip});
    CDialogScript several;
    several.press("CMsgDlg", "oCancelBtn");
    several.start();
    QCOMPARE(m_pForm->doRestartDev(), 1ul);
    QCOMPARE(several.texts(), QStringList{QStringLiteral("不能同时操作多台设备。")});
}

void TestDevOperations::singleAddressChange()
{
    const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"), 2);
    const QString strOther = simDevice(QStringLiteral("IPC"), 3).ip;
    const QString strNew = QStringLiteral("127.68.1.12");

    auto changeTo = [this](const QString &strIp, const QString &strNewIp) {
        checkDevices({strIp});
        CDialogScript script;
        script.expect("CEditNetworkAddrDlg", [&strNewIp](QWidget *pDialog) {
            if (strNewIp.isEmpty())
                pDialog->findChild<IpWidget *>(QStringLiteral("oIpWidget"))->setPartsText(QString());
            else
                setIp(pDialog, "oIpWidget", strNewIp);
            setIp(pDialog, "oMaskAddrWidget", QStringLiteral("255.0.0.0"));
            pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
        });
        script.start();
        m_pForm->doEditNetworkAddress();
        return script.done();
    };

    QVERIFY(changeTo(ipc.ip, QStringLiteral("127.68.1.0")));
    QCOMPARE(dev(ipc.ip).m_lStatus, 18);
    QTRY_COMPARE_WITH_TIMEOUT(dev(ipc.ip).m_lStatus, 22, 10000);

    QVERIFY(changeTo(ipc.ip, QString()));
    QTRY_COMPARE_WITH_TIMEOUT(dev(ipc.ip).m_lStatus, 18, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(dev(ipc.ip).m_lStatus, 22, 10000);

    QVERIFY(changeTo(ipc.ip, strOther));
    QTRY_COMPARE_WITH_TIMEOUT(dev(ipc.ip).m_lStatus, 21, 10000);

    QVERIFY(changeTo(ipc.ip, strNew));
    QTRY_VERIFY_WITH_TIMEOUT(rowOf(strNew) >= 0, 10000);
    QCOMPARE(dev(strNew).m_lStatus, 19);
    QCOMPARE(dev(strNew).m_strMask, QStringLiteral("255.0.0.0"));
    QCOMPARE(rowOf(ipc.ip), -1);

    // A refresh finds it at its new address.
    m_pForm->on_oRefreshBtn_clicked();
    QTRY_VERIFY_WITH_TIMEOUT(rowOf(strNew) >= 0 && dev(strNew).m_lStatus == 0, 10000);
    QCOMPARE(dev(strNew).m_strSerial, ipc.serial);
    moveBack(strNew, ipc);
}

void TestDevOperations::batchAcrossBlockBoundary()
{
    QStringList listIps;
    for (int i = 0; i < 3; ++i)
        listIps << simDevice(QStringLiteral("IPC"), i).ip;
    checkDevices(listIps);

    QList<CBatchEditNetAddrBean> listRows;
    CDialogScript script;
    script.expect("CBatchEditAddrDlg", [&listRows](QWidget *pDialog) {
        auto *pDlg = qobject_cast<CBatchEditAddrDlg *>(pDialog);
        QCOMPARE(pDlg->rows().size(), 3);
        setIp(pDialog, "firstIpWidget", QStringLiteral("127.68.2.253"));
        // One cell corrected by hand to an address the worker refuses.
        QAbstractItemModel *pModel = pDialog->findChild<TableViewEx *>()->model();
        pModel->setData(pModel->index(2, 3), QStringLiteral("127.68.3.0"));
        pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
        const bool bAnswered = QTest::qWaitFor(
            [pDlg] {
                for (const CBatchEditNetAddrBean &oRow : pDlg->rows()) {
                    if (oRow.m_lResult == 18)
                        return false;
                }
                return true;
            },
            15000);
        if (!bAnswered)
            qWarning("batch results missing");
        listRows = pDlg->rows();
        pDialog->findChild<QPushButton *>(QStringLiteral("ocancelBtn"))->click();
    });
    script.start();
    QCOMPARE(m_pForm->doEditNetworkAddress(), 0ul);
    QVERIFY(script.done());

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

    moveBack(QStringLiteral("127.68.2.253"), simDevice(QStringLiteral("IPC"), 0));
    moveBack(QStringLiteral("127.68.2.254"), simDevice(QStringLiteral("IPC"), 1));
}

void TestDevOperations::passwordReset()
{
    const SimFleetProcess::Device &ipc = simDevice(QStringLiteral("IPC"), 3);
    const SimFleetProcess::Device &nvr = simDevice(QStringLiteral("NVR"), 1);

    auto reset = [this](const QString &strIp, const QString &strCode) {
        checkDevices({strIp});
        CDialogScript script;
        script.expect("CResetPasswdDlg", [&strCode](QWidget *pDialog) {
            QVERIFY(pDialog->findChild<QLineEdit *>(QStringLiteral("oDevSerialEdit"))->isReadOnly());
            pDialog->findChild<QLineEdit *>(QStringLiteral("oSerialCodeEdit"))->setText(strCode);
            pDialog->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
        });
        script.press("CMsgDlg", "oCancelBtn");
        script.start();
        m_pForm->doRestoreDevPwd();
        // The reset runs on a worker; its note follows.
        if (!QTest::qWaitFor([&script] { return script.done(); }, 10000))
            return QStringList{QStringLiteral("no note came")};
        return script.texts();
    };
    QCOMPARE(reset(ipc.ip, QStringLiteral("wrong-code")), QStringList{QStringLiteral("重置失败。")});
    QCOMPARE(reset(ipc.ip, ipc.securityCode), QStringList{QStringLiteral("重置成功，密码为：vorpe")});

    // Once logged in, the NVR is known as one: refused without the dialog.
    checkDevices({nvr.ip});
    CDialogScript login;
    login.press("CDevLoginDlg", "oOkBtn");
    login.start();
    m_pForm->devLogin(CDevManageForm::EventNone);
    QTRY_COMPARE_WITH_TIMEOUT(dev(nvr.ip).m_strDevType, QStringLiteral("NVR"), 15000);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    CDialogScript refused;
    refused.press("CMsgDlg", "oCancelBtn");
    refused.start();
    QCOMPARE(m_pForm->doRestoreDevPwd(), 1ul);
    QCOMPARE(refused.seen(), QStringList{QStringLiteral("CMsgDlg")});
    QCOMPARE(refused.texts(), QStringList{QStringLiteral("该设备不支持密码重置功能，请及时与客服联系。")});
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
    QCOMPARE(listActions, (QStringList{QStringLiteral("修改网络地址"), QStringLiteral("重置设备密码"),
                                       QStringLiteral("重启设备")}));

    QList<QUrl> listOpened;
    CPlatformUtils::setUrlOpener([&listOpened](const QUrl &url) {
        listOpened << url;
        return true;
    });
    emit pView->sendRemoteSignal();
    CPlatformUtils::setUrlOpener(nullptr);
    QCOMPARE(listOpened, QList<QUrl>{QUrl(QStringLiteral("http://") + strIp)});

    // No browser: the address is shown, selectable, instead of nothing happening.
    CPlatformUtils::setUrlOpener([](const QUrl &) { return false; });
    CDialogScript script;
    bool bSelectable = false;
    QString strShown;
    script.expect("CMsgDlg", [&](QWidget *pDlg) {
        auto *pLabel = pDlg->findChild<QLabel *>(QStringLiteral("oMsgLabel"));
        bSelectable = pLabel->textInteractionFlags() & Qt::TextSelectableByMouse;
        strShown = pLabel->text();
        pDlg->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->click();
    });
    script.start();
    emit pView->sendRemoteSignal();
    CPlatformUtils::setUrlOpener(nullptr);
    QTRY_VERIFY(script.done());
    QVERIFY(bSelectable);
    QVERIFY2(strShown.contains(QStringLiteral("http://") + strIp), qPrintable(strShown));
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

void TestDevOperations::refreshDropsAbandonedResults()
{
    const QString strIpc = simDevice(QStringLiteral("IPC")).ip;
    CUIDeviceBean oOld = dev(strIpc);
    m_pForm->on_oRefreshBtn_clicked();
    QVERIFY(waitForFleet());
    const int iDevId = dev(strIpc).m_lDevId;

    // Results of the abandoned list find the same device in the new list and must not touch it.
    CDialogScript guard;
    guard.press("CMsgDlg", "oCancelBtn");
    guard.start();
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
    QVERIFY(guard.seen().isEmpty());

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
    CDialogScript script;
    script.press("CDevLoginDlg", "oOkBtn");
    script.press("CDevLoginDlg", "oOkBtn");
    // Would answer a restart wrongly resumed by an abandoned login.
    script.press("CMsgDlg", "oCancelBtn");
    script.start();
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventRestart), 0ul);
    // The login results are still on their way when the list is refreshed.
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QVERIFY(waitForFleet());
    for (const QString &strIp : listIps) {
        QCOMPARE(dev(strIp).m_lStatus, 0);
        QVERIFY(dev(strIp).m_strLoginKey.isEmpty());
    }

    // Fresh work goes through at once.
    checkDevices({listIps.at(0)});
    m_pForm->devLogin(CDevManageForm::EventNone);
    QTRY_COMPARE_WITH_TIMEOUT(dev(listIps.at(0)).m_lStatus, 2, 15000);

    // An abandoned login that was already under way answers late: its session is
    // closed, not merged (one still queued at the refresh never runs at all), and
    // no restart question follows it.
    for (const QString &strIp : listLoggedOut)
        QVERIFY(listIps.contains(strIp));
    QCOMPARE(dev(listIps.at(1)).m_lStatus, 0);
    QVERIFY(dev(listIps.at(1)).m_strLoginKey.isEmpty());
    QCOMPARE(script.seen(), (QStringList{QStringLiteral("CDevLoginDlg"), QStringLiteral("CDevLoginDlg")}));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestDevOperations::exitDoesNotWaitForSilentDevices()
{
    const QStringList listIps{simDevice(QStringLiteral("IPC")).ip, simDevice(QStringLiteral("NVR")).ip};
    checkDevices(listIps);
    CDialogScript login;
    login.press("CDevLoginDlg", "oOkBtn");
    login.start();
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
