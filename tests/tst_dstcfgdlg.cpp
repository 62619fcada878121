// Daylight saving from the device tab against simulated devices: the rule
// read from the first device, requests per device in list order, statuses,
// refusals and values the device holds outside their ranges.
// Loopback range 127.74.0.0/16.
#include "dev_dstcfgdlg.h"
#include "dev_manageform.h"
#include "devtabhelper.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString kFirstIp = QStringLiteral("127.74.0.10");
const QString kDiscoveryPort = QStringLiteral("39574");
// Five of one model (the fifth refuses daylight-saving writes), one without
// daylight saving, one holding values out of range, one of another model (it
// refuses daylight-saving reads), an NVR.
const QStringList kModels = {QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320"),
                             QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320S"),
                             QStringLiteral("ZC-2320R"), QStringLiteral("ZC-5330")};
constexpr int kIpcCount = 8;
constexpr int kRefusingIpc = 4;
constexpr int kUnreadableIpc = 7;
constexpr int kDelayMs = 120;

struct stRule
{
    int iMonth, iWeek, iWeekDay, iHour;
};

int threadCount()
{
    return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
}

} // namespace

class TestDstCfgDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void mixedModelsGetTheRuleInListOrder();
    void reopeningWhilePendingLeavesRequestsIntact();
    void outOfRangeValuesAreNeverSent();
    void refusals_data();
    void refusals();
    void tenBatchesLeaveNoThreads();
    void loginResumesTheDialog();

private:
    const CUIDeviceBean *device(int iIpc) const;
    void check(const QList<int> &listIpc);
    // Presses the daylight-saving button and lets fnAct work the dialog.
    void runDst(const std::function<void(QWidget *)> &fnAct);
    static void setRule(QWidget *pDlg, const char *pszPrefix, const stRule &rule);
    static void setBias(QWidget *pDlg, int iMinutes);
    // The daylight-saving structure the device holds now.
    QByteArray readDst(int iIpc);

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
    QString m_strIp[kIpcCount];
    QString m_strNvr;
};

void TestDstCfgDlg::initTestCase()
{
    registerRecordTypes();
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
    const QString strRefuse = SimFleetProcess::addressAt(kFirstIp, kRefusingIpc) + QStringLiteral(":2");
    const QString strUnreadable = SimFleetProcess::addressAt(kFirstIp, kUnreadableIpc) + QStringLiteral(":2");
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpcCount), QStringLiteral("--nvr"),
                                      QStringLiteral("1"), QStringLiteral("--first"), kFirstIp, QStringLiteral("--port"),
                                      kDiscoveryPort, QStringLiteral("--ipc-models"), kModels.join(QLatin1Char(',')),
                                      QStringLiteral("--cfg-delay"), QString::number(kDelayMs),
                                      QStringLiteral("--refuse-set"), strRefuse, QStringLiteral("--refuse-get"),
                                      strUnreadable}));
    CORVANE_START_SIMULATOR(*m_pSim);
    for (int i = 0; i < kIpcCount; ++i)
        m_strIp[i] = SimFleetProcess::addressAt(kFirstIp, i);
    m_strNvr = SimFleetProcess::addressAt(kFirstIp, kIpcCount);

    m_pForm.reset(new CDevManageForm);
    // One login for all; every test then starts from logged-in devices.
    DevTabHelper::logInEveryListed(m_pForm.get(), kIpcCount + 1);
}

void TestDstCfgDlg::cleanupTestCase()
{
    m_pForm.reset();
    m_pSim.reset();
}

void TestDstCfgDlg::init()
{
    if (!m_pSim || !m_pSim->isRunning() || !m_pForm)
        CORVANE_DEVICE_SKIP("simulator unavailable");
    QTRY_VERIFY(DialogHelper::noModal());
}

const CUIDeviceBean *TestDstCfgDlg::device(int iIpc) const
{
    const QString strIp = iIpc < 0 ? m_strNvr : m_strIp[iIpc];
    for (const CUIDeviceBean &oDev : m_pForm->deviceList()) {
        if (oDev.m_strIp == strIp)
            return &oDev;
    }
    return nullptr;
}

void TestDstCfgDlg::check(const QList<int> &listIpc)
{
    QList<int> &listChecked = m_pForm->devModel()->checkedList();
    listChecked.clear();
    for (int iIpc : listIpc)
        listChecked.append(device(iIpc)->m_lDevId);
}

void TestDstCfgDlg::runDst(const std::function<void(QWidget *)> &fnAct)
{
    auto pSeen = DialogHelper::onNextModal(fnAct);
    m_pForm->findChild<QPushButton *>(QStringLiteral("oDSTBtn"))->click();
    QTRY_VERIFY(pSeen->done);
    QCOMPARE(pSeen->className, QStringLiteral("CDstCfgDlg"));
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestDstCfgDlg::setRule(QWidget *pDlg, const char *pszPrefix, const stRule &rule)
{
    const QString strPrefix = QLatin1String(pszPrefix);
    const QPair<const char *, int> fields[] = {
        {"MonthCombo", rule.iMonth}, {"WeekNumCombo", rule.iWeek}, {"WeekDayCombo", rule.iWeekDay}, {"HourCombo", rule.iHour}};
    for (const auto &field : fields) {
        auto *pCombo = pDlg->findChild<QComboBox *>(strPrefix + QLatin1String(field.first));
        QVERIFY(pCombo);
        pCombo->setCurrentIndex(pCombo->findData(field.second));
        QVERIFY(pCombo->currentIndex() >= 0);
    }
}

void TestDstCfgDlg::setBias(QWidget *pDlg, int iMinutes)
{
    auto *pCombo = pDlg->findChild<QComboBox *>(QStringLiteral("oBiasCombo"));
    pCombo->setCurrentIndex(pCombo->findData(iMinutes));
}

QByteArray TestDstCfgDlg::readDst(int iIpc)
{
    char szUserId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", m_strIp[iIpc].toLatin1().constData(), 0, szUserId) != 0)
        return QByteArray();
    QByteArray baDst(ZELT_DST_SIZE, '\0');
    DWORD ulLen = DWORD(baDst.size());
    const DWORD ulRet = ZELT_MW_GetConfig(szUserId, ZELT_MW_DST_CFG, 0, &ulLen, baDst.data());
    ZELT_MW_Logout(szUserId);
    return ulRet == 0 ? baDst : QByteArray();
}

void TestDstCfgDlg::mixedModelsGetTheRuleInListOrder()
{
    // Two models; the one first in the list is read.
    const QList<int> listIpc = {3, 0, kUnreadableIpc, 4, 1, 2};
    check(listIpc);
    QList<long> listStatusAtOk;
    std::unique_ptr<QSignalSpy> pSpy;
    // Every field differs from the rule the devices hold.
    const stRule begin{4, 2, 3, 5};
    const stRule end{11, 1, 6, 20};
    runDst([&](QWidget *pDlg) {
        pSpy.reset(new QSignalSpy(qobject_cast<CDstCfgDlg *>(pDlg), &CDstCfgDlg::sendResultSignal));
        pDlg->findChild<QCheckBox *>(QStringLiteral("oEnableDSTCheck"))->setChecked(true);
        setRule(pDlg, "oBegin", begin);
        setRule(pDlg, "oEnd", end);
        setBias(pDlg, 90);
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
        for (int iIpc : listIpc)
            listStatusAtOk.append(device(iIpc)->m_lStatus);
    });
    QCOMPARE(listStatusAtOk, QVector<long>(listIpc.size(), DevStatusConfiguring).toList());
    QTRY_COMPARE_WITH_TIMEOUT(pSpy->size(), 2 * listIpc.size(), 10000);

    // Marked busy in list order, then answered in the same order: the worker
    // takes the requests one by one as they were sent.
    for (int i = 0; i < pSpy->size(); ++i) {
        const CUIDeviceBean oBean = pSpy->at(i).at(0).value<CUIDeviceBean>();
        const int iIpc = listIpc.at(i % listIpc.size());
        QCOMPARE(oBean.m_strIp, m_strIp[iIpc]);
        const long lExpected = i < listIpc.size() ? DevStatusConfiguring
                               : iIpc == kRefusingIpc  ? DevStatusCfgFailed
                                                       : DevStatusCfgOk;
        QCOMPARE(long(oBean.m_lStatus), lExpected);
        if (i >= listIpc.size())
            QCOMPARE(long(device(iIpc)->m_lStatus), lExpected);
    }
    // Devices outside the selection were not touched.
    QCOMPARE(long(device(5)->m_lStatus), long(DevStatusLogged));
    QCOMPARE(long(device(-1)->m_lStatus), long(DevStatusLogged));

    for (int iIpc : listIpc) {
        if (iIpc == kRefusingIpc || iIpc == kUnreadableIpc)
            continue;
        const QByteArray baDst = readDst(iIpc);
        QCOMPARE(baDst.size(), ZELT_DST_SIZE);
        const auto *p = reinterpret_cast<const uint8_t *>(baDst.constData());
        QCOMPARE(zelt_get_u32(p, ZELT_DST_ENABLED), 1u);
        QCOMPARE(int(p[ZELT_DST_START_MONTH]), begin.iMonth);
        QCOMPARE(int(p[ZELT_DST_START_WEEK]), begin.iWeek);
        QCOMPARE(int(p[ZELT_DST_START_WEEKDAY]), begin.iWeekDay);
        QCOMPARE(int(p[ZELT_DST_START_HOUR]), begin.iHour);
        QCOMPARE(int(p[ZELT_DST_END_MONTH]), end.iMonth);
        QCOMPARE(int(p[ZELT_DST_END_WEEK]), end.iWeek);
        QCOMPARE(int(p[ZELT_DST_END_WEEKDAY]), end.iWeekDay);
        QCOMPARE(int(p[ZELT_DST_END_HOUR]), end.iHour);
        QCOMPARE(int(zelt_get_u16(p, ZELT_DST_OFFSET_MIN)), 90);
    }
    // The other model cannot be read back; its answer says it took the rule.
    QCOMPARE(long(device(kUnreadableIpc)->m_lStatus), long(DevStatusCfgOk));
    // The dialog goes once its last answer is in.
    QTRY_VERIFY(!m_pForm->findChild<CDstCfgDlg *>());
}

void TestDstCfgDlg::reopeningWhilePendingLeavesRequestsIntact()
{
    const QList<int> listIpc = {0, 1, 2, 3};
    check(listIpc);
    runDst([&](QWidget *pDlg) {
        pDlg->findChild<QCheckBox *>(QStringLiteral("oEnableDSTCheck"))->setChecked(true);
        setRule(pDlg, "oBegin", {4, 1, 6, 1});
        setRule(pDlg, "oEnd", {9, 2, 1, 22});
        setBias(pDlg, 120);
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    // Open the dialog again while the writes are still running, change the
    // rule in every field and cancel.
    bool bPendingAtReopen = false;
    runDst([&](QWidget *pDlg) {
        bPendingAtReopen = device(listIpc.last())->m_lStatus == DevStatusConfiguring;
        setRule(pDlg, "oBegin", {1, 1, 1, 1});
        setRule(pDlg, "oEnd", {2, 2, 2, 2});
        setBias(pDlg, 30);
        DialogHelper::clickButton(pDlg, QStringLiteral("oCancelBtn"));
    });
    QVERIFY(bPendingAtReopen);
    for (int iIpc : listIpc)
        QTRY_COMPARE_WITH_TIMEOUT(long(device(iIpc)->m_lStatus), long(DevStatusCfgOk), 10000);
    for (int iIpc : listIpc) {
        const QByteArray baDst = readDst(iIpc);
        QCOMPARE(baDst.size(), ZELT_DST_SIZE);
        const auto *p = reinterpret_cast<const uint8_t *>(baDst.constData());
        QCOMPARE(int(p[ZELT_DST_START_MONTH]), 4);
        QCOMPARE(int(p[ZELT_DST_START_WEEKDAY]), 6);
        QCOMPARE(int(p[ZELT_DST_END_MONTH]), 9);
        QCOMPARE(int(p[ZELT_DST_END_HOUR]), 22);
        QCOMPARE(int(zelt_get_u16(p, ZELT_DST_OFFSET_MIN)), 120);
    }
}

void TestDstCfgDlg::outOfRangeValuesAreNeverSent()
{
    constexpr int kOdd = 6;
    check({kOdd});
    int iWeekIndex = 0, iBiasIndex = 0, iMonthIndex = -1;
    std::shared_ptr<DialogHelper::SeenDialog> pNote;
    runDst([&](QWidget *pDlg) {
        auto *pWeek = pDlg->findChild<QComboBox *>(QStringLiteral("oBeginWeekNumCombo"));
        auto *pBias = pDlg->findChild<QComboBox *>(QStringLiteral("oBiasCombo"));
        iWeekIndex = pWeek->currentIndex();
        iBiasIndex = pBias->currentIndex();
        iMonthIndex = pDlg->findChild<QComboBox *>(QStringLiteral("oBeginMonthCombo"))->currentIndex();
        // OK is refused while a field has no valid value; the dialog stays.
        pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
        QVERIFY(pNote->done);
        QVERIFY(pDlg->isVisible());
        pWeek->setCurrentIndex(pWeek->findData(5));
        pBias->setCurrentIndex(pBias->findData(90));
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    // Week 6 and a 45-minute offset select nothing; March is shown as read.
    QCOMPARE(iWeekIndex, -1);
    QCOMPARE(iBiasIndex, -1);
    QCOMPARE(iMonthIndex, 2);
    QVERIFY(pNote->done);
    QCOMPARE(pNote->className, QStringLiteral("CMsgDlg"));
    QVERIFY(!pNote->text.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(long(device(kOdd)->m_lStatus), long(DevStatusCfgOk), 10000);
    const QByteArray baDst = readDst(kOdd);
    QCOMPARE(baDst.size(), ZELT_DST_SIZE);
    const auto *p = reinterpret_cast<const uint8_t *>(baDst.constData());
    QCOMPARE(int(p[ZELT_DST_START_WEEK]), 5);
    QCOMPARE(int(zelt_get_u16(p, ZELT_DST_OFFSET_MIN)), 90);
}

void TestDstCfgDlg::refusals_data()
{
    QTest::addColumn<QList<int>>("devices");
    QTest::addColumn<QString>("note");
    QTest::newRow("nothing checked") << QList<int>() << QStringLiteral("请选择设备。");
    QTest::newRow("NVR") << QList<int>{-1} << QStringLiteral("所选设备不支持该功能。");
    QTest::newRow("IPC and NVR") << QList<int>{0, -1} << QStringLiteral("所选设备不支持该功能。");
    QTest::newRow("no daylight saving") << QList<int>{5} << QStringLiteral("所选设备不支持该功能。");
    // Another failure of the read says why.
    QTest::newRow("read refused") << QList<int>{kUnreadableIpc}
                                  << QStringLiteral("读取设备参数失败。\n原因：参数无效");
}

void TestDstCfgDlg::refusals()
{
    QFETCH(QList<int>, devices);
    QFETCH(QString, note);
    check(devices);
    QList<long> listBefore;
    for (int iIpc : devices)
        listBefore.append(device(iIpc)->m_lStatus);
    auto pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    m_pForm->findChild<QPushButton *>(QStringLiteral("oDSTBtn"))->click();
    QTRY_VERIFY(pNote->done);
    QCOMPARE(pNote->className, QStringLiteral("CMsgDlg"));
    QCOMPARE(pNote->text, note);
    QVERIFY(!m_pForm->findChild<CDstCfgDlg *>());
    for (int i = 0; i < devices.size(); ++i)
        QCOMPARE(long(device(devices.at(i))->m_lStatus), listBefore.at(i));
}

void TestDstCfgDlg::tenBatchesLeaveNoThreads()
{
    check({1});
    auto runOnce = [this]() {
        runDst([](QWidget *pDlg) { DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn")); });
        QTRY_COMPARE_WITH_TIMEOUT(long(device(1)->m_lStatus), long(DevStatusCfgOk), 10000);
        QTRY_VERIFY(!m_pForm->findChild<CDstCfgDlg *>());
    };
    runOnce();
    const int iThreads = threadCount();
    for (int i = 0; i < 10; ++i)
        runOnce();
    QVERIFY2(threadCount() <= iThreads, qPrintable(QStringLiteral("%1 threads, %2 before").arg(threadCount()).arg(iThreads)));
}

// Last: the refresh forgets every login.
void TestDstCfgDlg::loginResumesTheDialog()
{
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kIpcCount + 1, 10000);
    QTRY_VERIFY(device(0) && device(0)->m_strLoginKey.isEmpty());
    check({0});
    // The daylight-saving dialog follows the login result without another
    // click; the wait overlay in between is left alone.
    DialogHelper::Script script;
    script.press("CDevLoginDlg", "oOkBtn");
    script.expect("CDstCfgDlg", [](QWidget *pDlg) { pDlg->close(); });
    m_pForm->findChild<QPushButton *>(QStringLiteral("oDSTBtn"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(script.done(), 15000);
    QCOMPARE(script.seen(), (QStringList{QStringLiteral("CDevLoginDlg"), QStringLiteral("CDstCfgDlg")}));
    QTRY_VERIFY(DialogHelper::noModal());
    QCOMPARE(long(device(0)->m_lStatus), long(DevStatusLogged));
}

QTEST_MAIN(TestDstCfgDlg)
#include "tst_dstcfgdlg.moc"
