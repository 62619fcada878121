// Maintenance from the device tab against simulated devices: the upgrade
// button's login and resume, the dispatch to the maintenance workers and the
// configuration library's upgrade events, and the version read again after
// the device restarted into its new firmware. Loopback range 127.49.0.0/16.
#include "dev_manageform.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"
#include "msgdlg.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_versioncheck.h"
#include "upgradedlg.h"
#include "zelt_mw_sdk.h"

#include <QDir>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>

namespace {

const QString kFirstIp = QStringLiteral("127.49.0.10");
const QString kDiscoveryPort = QStringLiteral("39549");
constexpr int kIpcCount = 2;
constexpr int kNvrCount = 1;
// After reporting a finished upgrade a device waits kRebootAfterMs, then is
// offline for kRestartMs.
constexpr int kRebootAfterMs = 300;
constexpr int kRestartMs = 2000;

// Debug lines of the version check, collected from whichever thread logs them.
std::mutex g_logMutex;
QStringList g_listLog;
QtMessageHandler g_pfnPrevious = nullptr;

void collectLog(QtMsgType eType, const QMessageLogContext &context, const QString &strMsg)
{
    if (context.category && QLatin1String(context.category) == QLatin1String("corvane.versioncheck")) {
        std::lock_guard<std::mutex> lock(g_logMutex);
        g_listLog << strMsg;
    }
    g_pfnPrevious(eType, context, strMsg);
}

bool logContains(const QString &strPart)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return std::any_of(g_listLog.cbegin(), g_listLog.cend(),
                       [&strPart](const QString &strLine) { return strLine.contains(strPart); });
}

} // namespace

class TestMaintainTab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void ipcUpgradeOutcomeArrivesByEvent_data();
    void ipcUpgradeOutcomeArrivesByEvent();
    void versionCheckGivesUpOnAnAbsentDevice();
    void versionCheckWaitsForTheRestart();
    void nvrVersionReadAfterItsRestart();
    void nvrExportAndImportThroughTheTab();
    void upgradeButtonNeedsSelection();

private:
    const CUIDeviceBean *device(const QString &strIp) const;
    void checkOnly(const QString &strIp);
    // Presses the upgrade button; when the device is not logged in yet,
    // accepts the login dialog first. fnAct then works the maintenance dialog.
    void runMaintenance(const std::function<void(QWidget *)> &fnAct);
    QString makeFirmware(const QString &strModel, const QString &strVersion);
    // Upgrades the IPC at strIp to strVersion through the tab; true once the row says "升级成功".
    bool upgradeIpc(const QString &strIp, const QString &strVersion, long lExpected);
    // True once the device at strIp accepts a login again.
    static bool answers(const QString &strIp);

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
    QTemporaryDir m_oDir;
    QString m_strIpc[kIpcCount];
    QString m_strNvr;
};

void TestMaintainTab::initTestCase()
{
    registerRecordTypes();
    QLoggingCategory::setFilterRules(QStringLiteral("corvane.versioncheck.debug=true"));
    g_pfnPrevious = qInstallMessageHandler(collectLog);
    QVERIFY(m_oDir.isValid());
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpcCount), QStringLiteral("--nvr"),
                                      QString::number(kNvrCount), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--port"), kDiscoveryPort, QStringLiteral("--upgrade-ms"),
                                      QStringLiteral("1500"), QStringLiteral("--restart-ms"),
                                      QString::number(kRestartMs), QStringLiteral("--reboot-after-upgrade"),
                                      QString::number(kRebootAfterMs)}));
    CORVANE_START_SIMULATOR(*m_pSim);
    int iIpc = 0;
    for (const SimFleetProcess::Device &oDev : m_pSim->devices()) {
        if (oDev.type == QLatin1String("IPC"))
            m_strIpc[iIpc++] = oDev.ip;
        else
            m_strNvr = oDev.ip;
    }
    QCOMPARE(iIpc, kIpcCount);
    QVERIFY(!m_strNvr.isEmpty());
}

void TestMaintainTab::cleanupTestCase()
{
    m_pSim.reset();
}

void TestMaintainTab::init()
{
    if (!m_pSim || !m_pSim->isRunning())
        CORVANE_DEVICE_SKIP("simulator unavailable");
    m_pForm.reset(new CDevManageForm);
    // The first look comes while the device is still restarting, later ones once it is back.
    m_pForm->setVersionCheckTiming(kRebootAfterMs + 200, 300, 15000);
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kIpcCount + kNvrCount, 10000);
}

void TestMaintainTab::cleanup()
{
    m_pForm.reset();
    QTRY_VERIFY(DialogHelper::noModal());
}

const CUIDeviceBean *TestMaintainTab::device(const QString &strIp) const
{
    for (const CUIDeviceBean &oDev : m_pForm->deviceList()) {
        if (oDev.m_strIp == strIp)
            return &oDev;
    }
    return nullptr;
}

void TestMaintainTab::checkOnly(const QString &strIp)
{
    const CUIDeviceBean *pDev = device(strIp);
    QVERIFY(pDev);
    QList<int> &listChecked = m_pForm->devModel()->checkedList();
    listChecked.clear();
    listChecked.append(pDev->m_lDevId);
}

void TestMaintainTab::runMaintenance(const std::function<void(QWidget *)> &fnAct)
{
    auto *pBtn = m_pForm->findChild<QPushButton *>(QStringLiteral("oUpgradeBtn"));
    QVERIFY(pBtn);
    const QList<int> &listChecked = m_pForm->devModel()->checkedList();
    const bool bLoggedIn = std::all_of(m_pForm->deviceList().cbegin(), m_pForm->deviceList().cend(),
                                       [&](const CUIDeviceBean &oDev) {
                                           return !listChecked.contains(oDev.m_lDevId) || !oDev.m_strLoginKey.isEmpty();
                                       });
    std::shared_ptr<DialogHelper::SeenDialog> pSeen;
    if (bLoggedIn) {
        pSeen = DialogHelper::onNextModal(fnAct);
        pBtn->click();
    } else {
        auto pLogin = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
        pBtn->click();
        QVERIFY(pLogin->done);
        QCOMPARE(pLogin->className, QStringLiteral("CDevLoginDlg"));
        // The wait overlay is up now; the maintenance dialog follows the login result without another click.
        pSeen = DialogHelper::onNextModal(fnAct, 15000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(pSeen->done, 15000);
    QCOMPARE(pSeen->className, QStringLiteral("CUpgradeDlg"));
    QTRY_VERIFY(DialogHelper::noModal());
}

QString TestMaintainTab::makeFirmware(const QString &strModel, const QString &strVersion)
{
    const QString strFile = m_oDir.filePath(strModel + QLatin1Char('_') + strVersion + QStringLiteral(".zip"));
    return SimFleetProcess::makeFirmware(strModel, strVersion, strFile) ? QDir::toNativeSeparators(strFile)
                                                                        : QString();
}

bool TestMaintainTab::upgradeIpc(const QString &strIp, const QString &strVersion, long lExpected)
{
    checkOnly(strIp);
    const QString strFirmware = makeFirmware(device(strIp)->m_strModel, strVersion);
    if (strFirmware.isEmpty())
        return false;
    long lStatusOnStart = -1;
    runMaintenance([&](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oUpdateEdit"))->setText(strFirmware);
        auto pQuestion = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
        pDlg->findChild<QPushButton *>(QStringLiteral("oUpdateBtn"))->click();
        lStatusOnStart = device(strIp)->m_lStatus;
    });
    if (device(strIp)->m_strDevType != QLatin1String("IPC") || lStatusOnStart != DevStatusUpgrading)
        return false;
    return QTest::qWaitFor([&] { return device(strIp)->m_lStatus == lExpected; }, 20000);
}

bool TestMaintainTab::answers(const QString &strIp)
{
    char szUserId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", strIp.toLatin1().constData(), 0, szUserId) != 0)
        return false;
    ZELT_MW_Logout(szUserId);
    return true;
}

void TestMaintainTab::ipcUpgradeOutcomeArrivesByEvent_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("status");
    QTest::newRow("accepted") << 0 << "7.5.0" << int(DevStatusUpgradeOk);
    QTest::newRow("failed while applying") << 1 << "7.5.0-fail" << int(DevStatusUpgradeFailed);
}

void TestMaintainTab::ipcUpgradeOutcomeArrivesByEvent()
{
    QFETCH(int, device);
    QFETCH(QString, version);
    QFETCH(int, status);
    const QString strIp = m_strIpc[device];
    QVERIFY(this->device(strIp));
    const QString strOldVersion = this->device(strIp)->m_strVersion;
    QVERIFY(upgradeIpc(strIp, version, status));
    if (status != DevStatusUpgradeOk) {
        QCOMPARE(this->device(strIp)->m_strVersion, strOldVersion);
        // The library's failure value reaches the status cell's tooltip.
        int iRow = 0;
        while (m_pForm->deviceList().at(iRow).m_strIp != strIp)
            ++iRow;
        QCOMPARE(m_pForm->devModel()->index(iRow, EncodeDevModelEx::ColStatus).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("升级失败\n原因：固件损坏"));
        return;
    }

    // The device restarts with the new firmware: the row learns its version
    // once it answers again, without a refresh.
    QVERIFY(this->device(strIp)->m_strVersion != version);
    QTRY_COMPARE_WITH_TIMEOUT(this->device(strIp)->m_strVersion, version, 15000);
    QCOMPARE(this->device(strIp)->m_lStatus, long(DevStatusUpgradeOk));
    QVERIFY(logContains(QStringLiteral("runs")));

    // After a refresh and a login the list shows the same version.
    QTRY_VERIFY_WITH_TIMEOUT(answers(strIp), 15000);
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_VERIFY_WITH_TIMEOUT(this->device(strIp), 10000);
    checkOnly(strIp);
    auto pLogin = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QCOMPARE(m_pForm->devLogin(CDevManageForm::EventNone), 0ul);
    QVERIFY(pLogin->done);
    QTRY_COMPARE_WITH_TIMEOUT(this->device(strIp)->m_lStatus, long(DevStatusLogged), 10000);
    QCOMPARE(this->device(strIp)->m_strVersion, version);
}

void TestMaintainTab::versionCheckGivesUpOnAnAbsentDevice()
{
    const QString strIp = m_strIpc[1];
    QVERIFY(device(strIp));
    // The check ends while the device is still restarting.
    m_pForm->setVersionCheckTiming(kRebootAfterMs + 200, 300, kRestartMs / 2);
    const QString strOldVersion = device(strIp)->m_strVersion;
    QVERIFY(upgradeIpc(strIp, QStringLiteral("7.6.0"), DevStatusUpgradeOk));
    QTRY_VERIFY_WITH_TIMEOUT(logContains(strIp + QStringLiteral("\" did not come back")), 15000);
    QCOMPARE(device(strIp)->m_strVersion, strOldVersion);
    QCOMPARE(device(strIp)->m_lStatus, long(DevStatusUpgradeOk));
    // Back for the next test's search.
    QTRY_VERIFY_WITH_TIMEOUT(answers(strIp), 15000);
}

// A device that still answers with the version it had before the upgrade has
// not restarted into the new firmware yet: its answer is not taken.
void TestMaintainTab::versionCheckWaitsForTheRestart()
{
    const QString strIp = m_strIpc[1];
    QVERIFY(device(strIp));
    CUIDeviceBean oBean = *device(strIp);
    oBean.m_strUserName = QStringLiteral("admin");
    oBean.m_strPassword = QStringLiteral("vorpe");
    CVersionCheckThread oCheck;
    oCheck.setTiming(10, 50, 600);
    QSignalSpy spyVersion(&oCheck, &CVersionCheckThread::sendVersionSignal);

    // The row's version is the device's: the device never went away.
    QVERIFY(!oBean.m_strVersion.isEmpty());
    oCheck.readVersionSlot(oBean);
    QTRY_VERIFY_WITH_TIMEOUT(logContains(strIp + QStringLiteral("\" did not come back")), 5000);
    QCOMPARE(spyVersion.count(), 0);

    // The device answers with another version than the row knows: taken at once.
    const QString strDeviceVersion = oBean.m_strVersion;
    oBean.m_strVersion = QStringLiteral("0.0.1");
    oCheck.readVersionSlot(oBean);
    QVERIFY(spyVersion.wait(5000));
    QCOMPARE(spyVersion.count(), 1);
    QCOMPARE(spyVersion.at(0).at(0).value<CUIDeviceBean>().m_strVersion, strDeviceVersion);
}

void TestMaintainTab::nvrVersionReadAfterItsRestart()
{
    checkOnly(m_strNvr);
    QVERIFY(device(m_strNvr));
    const QString strVersion = QStringLiteral("V6.1.0 build 261207");
    const QString strFirmware = makeFirmware(device(m_strNvr)->m_strModel, strVersion);
    QVERIFY(!strFirmware.isEmpty());
    runMaintenance([&](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oUpdateEdit"))->setText(strFirmware);
        auto pQuestion = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
        pDlg->findChild<QPushButton *>(QStringLiteral("oUpdateBtn"))->click();
    });
    QCOMPARE(device(m_strNvr)->m_strDevType, QStringLiteral("NVR"));
    // The maintenance worker polls every 10 s.
    QTRY_COMPARE_WITH_TIMEOUT(device(m_strNvr)->m_lStatus, long(DevStatusUpgradeOk), 30000);
    QVERIFY(device(m_strNvr)->m_strVersion != strVersion);
    QTRY_COMPARE_WITH_TIMEOUT(device(m_strNvr)->m_strVersion, strVersion, 15000);
    QCOMPARE(device(m_strNvr)->m_lStatus, long(DevStatusUpgradeOk));
}

void TestMaintainTab::nvrExportAndImportThroughTheTab()
{
    checkOnly(m_strNvr);
    QTemporaryDir oOut;
    QVERIFY(oOut.isValid());
    const QString strOut = QDir::toNativeSeparators(oOut.path());

    runMaintenance([&](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oExportPathEdit"))->setText(strOut);
        pDlg->findChild<QPushButton *>(QStringLiteral("oExportDiagInfoBtn"))->click();
    });
    QCOMPARE(device(m_strNvr)->m_strDevType, QStringLiteral("NVR"));
    QTRY_COMPARE_WITH_TIMEOUT(device(m_strNvr)->m_lStatus, long(DevStatusExportOk), 15000);
    const QStringList listStamped = QDir(oOut.filePath(m_strNvr)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(listStamped.size(), 1);
    QVERIFY(QRegularExpression(QStringLiteral("^NVR\\d{14}$")).match(listStamped.first()).hasMatch());

    runMaintenance([&](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oExportCfgEdit"))->setText(strOut);
        pDlg->findChild<QPushButton *>(QStringLiteral("oExportCfgBtn"))->click();
    });
    QTRY_COMPARE_WITH_TIMEOUT(device(m_strNvr)->m_lStatus, long(DevStatusExportOk), 15000);
    const QString strCfg = QDir::toNativeSeparators(oOut.filePath(m_strNvr + QStringLiteral("_config.cfg")));
    QVERIFY(QFileInfo(strCfg).isFile());

    runMaintenance([&](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oImportCfgEdit"))->setText(strCfg);
        auto pQuestion = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
        pDlg->findChild<QPushButton *>(QStringLiteral("oImportCfgBtn"))->click();
    });
    QTRY_COMPARE_WITH_TIMEOUT(device(m_strNvr)->m_lStatus, long(DevStatusImportOk), 15000);
}

void TestMaintainTab::upgradeButtonNeedsSelection()
{
    m_pForm->devModel()->checkedList().clear();
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    m_pForm->findChild<QPushButton *>(QStringLiteral("oUpgradeBtn"))->click();
    const QList<CMsgDlg::stAnswered> listNotes = CMsgDlg::takeAnswered();
    QCOMPARE(listNotes.size(), 1);
    QCOMPARE(listNotes.at(0).text, QStringLiteral("请选择设备。"));
    QVERIFY(DialogHelper::noModal());
}

QTEST_MAIN(TestMaintainTab)
#include "tst_maintain_tab.moc"
