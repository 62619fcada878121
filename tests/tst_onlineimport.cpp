#include "cap_calculateform.h"
#include "cap_showonlinedevdlg.h"
#include "chanmodelex.h"
#include "onlinechanmodelex.h"
#include "recordtypes.h"

#include "dialoghelper.h"
#include "simfleetprocess.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <array>
#include <memory>

namespace {

// The first three IPCs are one model each with a known main stream; the
// fourth offers 2560*1440 only.
const char *const kFirst = "127.61.0.10";
constexpr int kIpcCount = 4;
constexpr int kNvrCount = 1;

} // namespace

class TestOnlineImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void nothingCheckedAddsNothing();
    void loginShowsConnectingUntilResults();
    void loginNeedsCheckedDeviceAndAccount();
    void importsMainStreamAsRow();
    void sizeOutsideTableKeepsItsText_data();
    void sizeOutsideTableKeepsItsText();
    void failuresPerDevice();
    void reimportRefused();
    void rowLimit();
    void tabSessionSurvivesImport();
    void reopeningClosesOwnSessions();
    void secondLoginClosesTheFirstSession();
    void modelPassesTester();

private:
    CUIDeviceBean record(int lIndex) const;
    // Opens the dialog on records 0..n-1 of the fleet.
    void open(const QList<CUIDeviceBean> &listDev);
    void check(const QList<int> &listIds);
    // Logs the checked devices in through the dialog with the factory account.
    void loginChecked();
    QString statusOf(const QString &strIp) const;
    QString ipcLoginKey(const QString &strIp);
    // True once the device refuses the login key.
    static bool sessionClosed(const QByteArray &key);

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CCapCalculateForm> m_pForm;
    CShowOnlineDevDlg *m_pDlg = nullptr;
    QStringList m_listTabKeys;
};

void TestOnlineImport::initTestCase()
{
    registerRecordTypes();
    QVERIFY(ZELT_MW_Init() == 0);
    m_pSim.reset(new SimFleetProcess({"--ipc", QString::number(kIpcCount), "--nvr", QString::number(kNvrCount),
                                      "--first", kFirst, "--seed", "3", "--ipc-models",
                                      "ZC-2320,ZC-5330,ZC-2330F,ZC-4340"}));
    CORVANE_START_SIMULATOR(*m_pSim);
    QCOMPARE(m_pSim->devices().size(), kIpcCount + kNvrCount);
}

void TestOnlineImport::cleanupTestCase()
{
    for (const QString &strKey : qAsConst(m_listTabKeys))
        ZELT_MW_Logout(strKey.toLatin1().constData());
    m_pSim.reset();
}

void TestOnlineImport::init()
{
    m_pForm.reset(new CCapCalculateForm);
    m_pDlg = m_pForm->onlineDevDlg();
    QVERIFY(m_pDlg);
}

void TestOnlineImport::cleanup()
{
    m_pForm.reset();
    QTRY_VERIFY(DialogHelper::noModal());
}

CUIDeviceBean TestOnlineImport::record(int lIndex) const
{
    const SimFleetProcess::Device &dev = m_pSim->devices().at(lIndex);
    CUIDeviceBean oBean;
    oBean.m_lDevId = lIndex + 1;
    oBean.m_strIp = dev.ip;
    oBean.m_strModel = dev.model;
    oBean.m_strSerial = dev.serial;
    oBean.m_strMac = dev.mac;
    oBean.m_lStatus = DevStatusNotLogged;
    return oBean;
}

void TestOnlineImport::open(const QList<CUIDeviceBean> &listDev)
{
    QList<CUIDeviceBean> list = listDev;
    emit m_pForm->sendDev2DlgSignal(list);
    QCOMPARE(m_pDlg->devList().size(), listDev.size());
}

void TestOnlineImport::check(const QList<int> &listIds)
{
    m_pDlg->model()->checkedList() = listIds;
}

void TestOnlineImport::loginChecked()
{
    auto pSeen = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    m_pDlg->on_oChanLoginBtn_clicked();
    QTRY_VERIFY(pSeen->done);
    QCOMPARE(pSeen->className, QStringLiteral("CDevLoginDlg"));
}

QString TestOnlineImport::statusOf(const QString &strIp) const
{
    for (const CUIDeviceBean &dev : m_pDlg->devList()) {
        if (dev.m_strIp == strIp)
            return COnlineChanModelEx::statusText(dev.m_lStatus);
    }
    return QStringLiteral("<missing>");
}

bool TestOnlineImport::sessionClosed(const QByteArray &key)
{
    std::array<unsigned char, ZELT_ENC_SIZE> buffer{};
    DWORD ulLen = ZELT_ENC_SIZE;
    return ZELT_MW_GetConfig(key.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &ulLen, buffer.data()) != 0;
}

QString TestOnlineImport::ipcLoginKey(const QString &strIp)
{
    std::array<char, ZELT_MW_USERID_LEN> szUserId{};
    if (ZELT_MW_Login("admin", "vorpe", strIp.toLatin1().constData(), 0, szUserId.data()) != 0)
        return QString();
    m_listTabKeys << QString::fromLatin1(szUserId.data());
    return m_listTabKeys.last();
}

void TestOnlineImport::nothingCheckedAddsNothing()
{
    open({record(0)});
    QSignalSpy spyCalc(m_pForm.get(), &CCapCalculateForm::calculateSignal);
    m_pDlg->findChild<QPushButton *>(QStringLiteral("oAddBtn"))->click();
    QCOMPARE(m_pForm->chanList().size(), 0);
    QCOMPARE(spyCalc.count(), 1);
}

void TestOnlineImport::loginShowsConnectingUntilResults()
{
    open({record(0), record(1)});
    check({1, 2});
    QSignalSpy spyLogin(m_pDlg, &CShowOnlineDevDlg::sendLoginSignal);
    loginChecked();
    QCOMPARE(spyLogin.count(), 1);
    const auto listSent = spyLogin.first().first().value<QList<CUIDeviceBean>>();
    QCOMPARE(listSent.size(), 2);
    for (const CUIDeviceBean &dev : listSent) {
        QCOMPARE(dev.m_strUserName, QStringLiteral("admin"));
        QCOMPARE(dev.m_strPassword, QStringLiteral("vorpe"));
    }
    // Nothing has answered before the event loop runs again.
    QCOMPARE(statusOf(record(0).m_strIp), QStringLiteral("连接中..."));
    QCOMPARE(statusOf(record(1).m_strIp), QStringLiteral("连接中..."));
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(record(0).m_strIp), QStringLiteral("已登录"), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(record(1).m_strIp), QStringLiteral("已登录"), 10000);
    QCOMPARE(m_pDlg->devList().at(0).m_strDevType, QStringLiteral("IPC"));
}

void TestOnlineImport::loginNeedsCheckedDeviceAndAccount()
{
    open({record(0)});
    QSignalSpy spyLogin(m_pDlg, &CShowOnlineDevDlg::sendLoginSignal);
    auto pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    m_pDlg->on_oChanLoginBtn_clicked();
    QTRY_VERIFY(pNote->done);
    QCOMPARE(pNote->text, QStringLiteral("请选择设备。"));

    check({1});
    auto pEmpty = DialogHelper::onNextModal([](QWidget *pDlg) {
        pDlg->findChild<QLineEdit *>(QStringLiteral("oPasswordEdit"))->clear();
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    auto pError = std::shared_ptr<DialogHelper::SeenDialog>();
    QTimer::singleShot(0, [&] { pError = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn")); });
    m_pDlg->on_oChanLoginBtn_clicked();
    QTRY_VERIFY(pEmpty->done);
    QTRY_VERIFY(pError && pError->done);
    QCOMPARE(pError->text, QStringLiteral("用户名或密码不能为空，请重新尝试。"));
    QCOMPARE(spyLogin.count(), 0);
    QCOMPARE(statusOf(record(0).m_strIp), QStringLiteral("未登录"));
}

void TestOnlineImport::importsMainStreamAsRow()
{
    CUIDeviceBean oDev = record(0);
    open({oDev});
    check({1});
    loginChecked();
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(oDev.m_strIp), QStringLiteral("已登录"), 10000);

    // What the device really streams, read independently of the import.
    const CUIDeviceBean &logged = m_pDlg->devList().first();
    std::array<unsigned char, ZELT_ENC_SIZE> buffer{};
    DWORD ulLen = ZELT_ENC_SIZE;
    QCOMPARE(ZELT_MW_GetConfig(logged.m_strLoginKey.toLatin1().constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &ulLen,
                               buffer.data()),
             DWORD(0));
    auto field = [&](int iOffset) { return qint32(buffer[iOffset] | buffer[iOffset + 1] << 8); };

    m_pDlg->findChild<QPushButton *>(QStringLiteral("oAddBtn"))->click();
    QCOMPARE(statusOf(oDev.m_strIp), QStringLiteral("导入成功"));
    QCOMPARE(m_pForm->chanList().size(), 1);
    const CUIChanBean &chan = m_pForm->chanList().first();
    QCOMPARE(chan.m_lChanNum, 1);
    QCOMPARE(chan.m_lChanId, 0);
    // Named after its device, and counted at once.
    QCOMPARE(chan.m_strChanName, QStringLiteral("1(IPC %1)").arg(oDev.m_strIp));
    // on one line, not cut off.
    const auto *pView = m_pForm->findChild<QTableView *>(QStringLiteral("oChanTableView"));
    QVERIFY(pView->fontMetrics().horizontalAdvance(chan.m_strChanName) < pView->columnWidth(CChanModelEx::ColChan));
    QCOMPARE(m_pForm->chanModel()->checkedList(), QList<int>{chan.m_lChanId});
    QCOMPARE(chan.m_lBitRate, field(ZELT_ENC_BITRATE));
    QCOMPARE(chan.m_lTotalBitRate, chan.m_lBitRate);
    QCOMPARE(chan.m_lEncFmt, field(ZELT_ENC_FORMAT));
    QCOMPARE(chan.m_strFrameRate, QString::number(field(ZELT_ENC_FPS)));
    // The model's main stream is 1920*1080.
    QCOMPARE(field(ZELT_ENC_WIDTH), 1920);
    QCOMPARE(chan.m_strResolution, QStringLiteral("1080P"));
    QCOMPARE(chan.m_lBestBitRate, 4096);
}

void TestOnlineImport::sizeOutsideTableKeepsItsText_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QString>("size");
    QTest::newRow("offered by no table") << 3 << QStringLiteral("2560*1440");
    // The stream dialogs offer it, the import table does not list it.
    QTest::newRow("near 3MP") << 1 << QStringLiteral("2048*1536");
}

void TestOnlineImport::sizeOutsideTableKeepsItsText()
{
    QFETCH(int, device);
    QFETCH(QString, size);
    CUIDeviceBean oDev = record(device);
    oDev.m_strLoginKey = ipcLoginKey(oDev.m_strIp);
    oDev.m_strDevType = QStringLiteral("IPC");
    QVERIFY(!oDev.m_strLoginKey.isEmpty());
    const QByteArray key = oDev.m_strLoginKey.toLatin1();
    std::array<unsigned char, ZELT_ENC_SIZE> before{};
    DWORD ulLen = ZELT_ENC_SIZE;
    QCOMPARE(ZELT_MW_GetConfig(key.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &ulLen, before.data()), DWORD(0));
    std::array<unsigned char, ZELT_ENC_SIZE> main = before;
    zelt_put_u32(main.data(), ZELT_ENC_WIDTH, size.section(QLatin1Char('*'), 0, 0).toUInt());
    zelt_put_u32(main.data(), ZELT_ENC_HEIGHT, size.section(QLatin1Char('*'), 1, 1).toUInt());
    QCOMPARE(ZELT_MW_SetConfig(key.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, ZELT_ENC_SIZE, main.data()), DWORD(0));

    open({oDev});
    check({oDev.m_lDevId});
    m_pDlg->on_oAddBtn_clicked();
    ZELT_MW_SetConfig(key.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, ZELT_ENC_SIZE, before.data());
    QCOMPARE(statusOf(oDev.m_strIp), QStringLiteral("导入成功"));
    QCOMPARE(m_pForm->chanList().size(), 1);
    QCOMPARE(m_pForm->chanList().first().m_strResolution, size);
    QCOMPARE(m_pForm->chanList().first().m_lBestBitRate, 0);
    QVERIFY(m_pForm->chanList().first().m_lBitRate > 0);
}

void TestOnlineImport::failuresPerDevice()
{
    CUIDeviceBean oNotLogged = record(1);
    CUIDeviceBean oNvr = record(kIpcCount);
    oNvr.m_strDevType = QStringLiteral("NVR");
    oNvr.m_strLoginKey = QStringLiteral("12345");
    CUIDeviceBean oStale = record(2);
    oStale.m_strDevType = QStringLiteral("IPC");
    oStale.m_strLoginKey = QStringLiteral("no-such-session");
    open({oNotLogged, oNvr, oStale});
    check({oNotLogged.m_lDevId, oNvr.m_lDevId, oStale.m_lDevId});
    m_pDlg->on_oAddBtn_clicked();
    QCOMPARE(statusOf(oNotLogged.m_strIp), QStringLiteral("导入失败（未登录）"));
    QCOMPARE(statusOf(oNvr.m_strIp), QStringLiteral("导入失败"));
    QCOMPARE(statusOf(oStale.m_strIp), QStringLiteral("导入失败"));
    // The status tooltip says why each import failed.
    auto tipOf = [this](const QString &strIp) {
        const QList<CUIDeviceBean> &listDev = m_pDlg->devList();
        for (int i = 0; i < listDev.size(); ++i) {
            if (listDev.at(i).m_strIp == strIp)
                return m_pDlg->model()->index(i, COnlineChanModelEx::ColStatus).data(Qt::ToolTipRole).toString();
        }
        return QString();
    };
    QCOMPARE(tipOf(oNvr.m_strIp), QStringLiteral("导入失败\n原因：录像机的通道不能导入，请手动添加"));
    QVERIFY(tipOf(oStale.m_strIp).startsWith(QStringLiteral("导入失败\n原因：")));
    QCOMPARE(m_pForm->chanList().size(), 0);
}

void TestOnlineImport::reimportRefused()
{
    CUIDeviceBean oDev = record(1);
    oDev.m_strLoginKey = ipcLoginKey(oDev.m_strIp);
    oDev.m_strDevType = QStringLiteral("IPC");
    open({oDev});
    check({oDev.m_lDevId});
    m_pDlg->on_oAddBtn_clicked();
    QCOMPARE(m_pForm->chanList().size(), 1);
    m_pDlg->on_oAddBtn_clicked();
    QCOMPARE(statusOf(oDev.m_strIp), QStringLiteral("导入失败（已存在）"));
    QCOMPARE(m_pForm->chanList().size(), 1);

    // Once its row is deleted the device may be imported again.
    m_pForm->chanModel()->checkedList() = {m_pForm->chanList().first().m_lChanId};
    m_pForm->on_oDelChanBtn_clicked();
    QCOMPARE(m_pForm->chanList().size(), 0);
    m_pDlg->on_oAddBtn_clicked();
    QCOMPARE(statusOf(oDev.m_strIp), QStringLiteral("导入成功"));
    QCOMPARE(m_pForm->chanList().size(), 1);
}

void TestOnlineImport::rowLimit()
{
    QList<CUIDeviceBean> listDev;
    for (int i = 0; i < 5; ++i)
        listDev << record(i % kIpcCount);
    for (int i = 0; i < 5; ++i)
        listDev[i].m_lDevId = 100 + i;
    open(listDev);
    QList<CUIDeviceBean> list4 = listDev.mid(0, 4);
    for (int i = 0; i < 1020; ++i) {
        QList<CUIChanBean> &rows = const_cast<QList<CUIChanBean> &>(m_pForm->chanList());
        CUIChanBean chan;
        chan.m_lChanId = i;
        chan.m_lChanNum = 1;
        chan.m_lBitRate = chan.m_lTotalBitRate = 1024;
        rows.append(chan);
    }
    auto pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    QCOMPARE(m_pForm->getChanInfo(listDev), DWORD(1));
    QTRY_VERIFY(pNote->done);
    QCOMPARE(pNote->text, QStringLiteral("添加记录数量不能多于1024。"));
    QCOMPARE(m_pForm->chanList().size(), 1020);
    QCOMPARE(statusOf(listDev[0].m_strIp), QStringLiteral("未登录"));

    // Four devices fit (none is logged in, so nothing is added).
    QCOMPARE(m_pForm->getChanInfo(list4), DWORD(0));
    QVERIFY(DialogHelper::noModal());
    QCOMPARE(m_pForm->chanList().size(), 1020);
}

void TestOnlineImport::tabSessionSurvivesImport()
{
    // A device the device tab logged in arrives with its key.
    CUIDeviceBean oDev = record(2);
    oDev.m_strDevType = QStringLiteral("IPC");
    oDev.m_strLoginKey = ipcLoginKey(oDev.m_strIp);
    open({oDev});
    QCOMPARE(statusOf(oDev.m_strIp), QStringLiteral("已登录"));
    check({oDev.m_lDevId});
    m_pDlg->on_oAddBtn_clicked();
    QCOMPARE(statusOf(oDev.m_strIp), QStringLiteral("导入成功"));

    // Logging in again through the dialog, reopening it and closing the
    // calculator leave the tab's session alone.
    loginChecked();
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(oDev.m_strIp), QStringLiteral("已登录"), 10000);
    QVERIFY(m_pDlg->devList().first().m_strLoginKey != oDev.m_strLoginKey);
    open({record(0)});
    m_pForm.reset();

    std::array<unsigned char, ZELT_ENC_SIZE> buffer{};
    DWORD ulLen = ZELT_ENC_SIZE;
    QCOMPARE(ZELT_MW_GetConfig(oDev.m_strLoginKey.toLatin1().constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &ulLen,
                               buffer.data()),
             DWORD(0));
}

void TestOnlineImport::reopeningClosesOwnSessions()
{
    CUIDeviceBean oDev = record(0);
    open({oDev});
    check({oDev.m_lDevId});
    loginChecked();
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(oDev.m_strIp), QStringLiteral("已登录"), 10000);
    const QByteArray ownKey = m_pDlg->devList().first().m_strLoginKey.toLatin1();

    QSignalSpy spyLogout(m_pDlg, &CShowOnlineDevDlg::sendLogoutSignal);
    open({oDev});
    QCOMPARE(spyLogout.count(), 1);
    // The session is closed on the logout worker; the device then refuses the key.
    QTRY_VERIFY_WITH_TIMEOUT(sessionClosed(ownKey), 5000);
}

void TestOnlineImport::secondLoginClosesTheFirstSession()
{
    CUIDeviceBean oDev = record(0);
    open({oDev});
    check({oDev.m_lDevId});
    QSignalSpy spyLogin(m_pDlg, &CShowOnlineDevDlg::sendLoginSignal);
    loginChecked();
    QCOMPARE(spyLogin.count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(statusOf(oDev.m_strIp), QStringLiteral("已登录"), 10000);
    const QByteArray firstKey = m_pDlg->devList().first().m_strLoginKey.toLatin1();

    // The answer of a second login that was sent before the first one answered.
    CUIDeviceBean second = spyLogin.first().first().value<QList<CUIDeviceBean>>().first();
    second.m_lStatus = DevStatusLogged;
    second.m_strLoginKey = ipcLoginKey(oDev.m_strIp);
    QVERIFY(!second.m_strLoginKey.isEmpty());
    QSignalSpy spyLogout(m_pDlg, &CShowOnlineDevDlg::sendLogoutSignal);
    m_pDlg->getResultSlot(second);
    QCOMPARE(spyLogout.count(), 1);
    QCOMPARE(spyLogout.first().first().value<CUIDeviceBean>().m_strLoginKey, QString::fromLatin1(firstKey));
    QTRY_VERIFY_WITH_TIMEOUT(sessionClosed(firstKey), 5000);
}

void TestOnlineImport::modelPassesTester()
{
    QAbstractItemModelTester oTester(m_pDlg->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    open({record(0), record(1), record(2)});
    m_pDlg->onEncTableViewHeaderClicked(COnlineChanModelEx::ColCheck);
    QCOMPARE(m_pDlg->model()->checkedList().size(), 3);
    m_pDlg->onEncTableViewHeaderClicked(COnlineChanModelEx::ColCheck);
    QVERIFY(m_pDlg->model()->checkedList().isEmpty());
    m_pDlg->model()->sort(COnlineChanModelEx::ColIp, Qt::DescendingOrder);
    QCOMPARE(m_pDlg->devList().first().m_strIp, record(2).m_strIp);
    QVERIFY(!QTest::currentTestFailed());
}

QTEST_MAIN(TestOnlineImport)
#include "tst_onlineimport.moc"
