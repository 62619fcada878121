// Batch configuration from the device tab against simulated devices:
// refusals, the tabs a model allows, the audio rules, the encoding requests
// per device and what the devices hold afterwards.
// Loopback range 127.75.0.0/16.
#include "cfgbatch.h"
#include "dev_batchcfgdlg.h"
#include "dev_manageform.h"
#include "devtabhelper.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString kFirstIp = QStringLiteral("127.75.0.10");
const QString kDiscoveryPort = QStringLiteral("39575");
// 0-2 two streams with audio, 3 without audio, 4 and 5 with audio documents
// listing unknown or no formats, 6 another model, 7 refuses its main stream,
// 8 refuses reads of its streams and audio input.
const QStringList kModels = {QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320"),
                             QStringLiteral("ZC-2320N"), QStringLiteral("ZC-2320U"), QStringLiteral("ZC-2320E"),
                             QStringLiteral("ZC-5330"),  QStringLiteral("ZC-2320"),  QStringLiteral("ZC-2320")};
constexpr int kIpcCount = 9;
constexpr int kMainRefused = 7;
constexpr int kReadsRefused = 8;

} // namespace

class TestBatchCfgDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void refusals_data();
    void refusals();
    void tabsFollowTheModel_data();
    void tabsFollowTheModel();
    void audioFormatRuleAndCancel();
    void audioGainIsChecked_data();
    void audioGainIsChecked();
    void audioReachesEveryDevice();
    void unreadFirstDeviceRefusesConfigure();
    void streamsRaisedOnThreeDevices();
    void refusedMainShowsFailed();

private:
    const CUIDeviceBean *device(int iIpc) const;
    void check(const QList<int> &listIpc);
    // Presses the batch button and lets fnAct work the dialog.
    void runBatch(const std::function<void(QWidget *)> &fnAct);
    QByteArray readCfg(int iIpc, DWORD ulCmd, int iStream = 0);
    bool writeStream(int iIpc, int iStream, const QSize &size, int iBitRate);
    QList<long> statuses(const QList<int> &listIpc) const;

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
    QString m_strIp[kIpcCount];
    QString m_strNvr;
};

void TestBatchCfgDlg::initTestCase()
{
    registerRecordTypes();
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
    const QString strMainRefused = SimFleetProcess::addressAt(kFirstIp, kMainRefused) + QStringLiteral(":31:0");
    const QString strReads = SimFleetProcess::addressAt(kFirstIp, kReadsRefused);
    m_pSim.reset(new SimFleetProcess(
        {QStringLiteral("--ipc"), QString::number(kIpcCount), QStringLiteral("--nvr"), QStringLiteral("1"),
         QStringLiteral("--first"), kFirstIp, QStringLiteral("--port"), kDiscoveryPort, QStringLiteral("--ipc-models"),
         kModels.join(QLatin1Char(',')), QStringLiteral("--refuse-set"), strMainRefused, QStringLiteral("--refuse-get"),
         strReads + QStringLiteral(":31"), QStringLiteral("--refuse-get"), strReads + QStringLiteral(":32")}));
    CORVANE_START_SIMULATOR(*m_pSim);
    for (int i = 0; i < kIpcCount; ++i)
        m_strIp[i] = SimFleetProcess::addressAt(kFirstIp, i);
    m_strNvr = SimFleetProcess::addressAt(kFirstIp, kIpcCount);

    m_pForm.reset(new CDevManageForm);
    DevTabHelper::logInEveryListed(m_pForm.get(), kIpcCount + 1);
}

void TestBatchCfgDlg::cleanupTestCase()
{
    m_pForm.reset();
    m_pSim.reset();
}

void TestBatchCfgDlg::init()
{
    if (!m_pSim || !m_pSim->isRunning() || !m_pForm)
        CORVANE_DEVICE_SKIP("simulator unavailable");
    QTRY_VERIFY(DialogHelper::noModal());
    QTRY_VERIFY(!m_pForm->findChild<CBatchCfgDlg *>());
}

const CUIDeviceBean *TestBatchCfgDlg::device(int iIpc) const
{
    const QString strIp = iIpc < 0 ? m_strNvr : m_strIp[iIpc];
    for (const CUIDeviceBean &oDev : m_pForm->deviceList()) {
        if (oDev.m_strIp == strIp)
            return &oDev;
    }
    return nullptr;
}

void TestBatchCfgDlg::check(const QList<int> &listIpc)
{
    QList<int> &listChecked = m_pForm->devModel()->checkedList();
    listChecked.clear();
    for (int iIpc : listIpc)
        listChecked.append(device(iIpc)->m_lDevId);
}

QList<long> TestBatchCfgDlg::statuses(const QList<int> &listIpc) const
{
    QList<long> listStatus;
    for (int iIpc : listIpc)
        listStatus.append(device(iIpc)->m_lStatus);
    return listStatus;
}

void TestBatchCfgDlg::runBatch(const std::function<void(QWidget *)> &fnAct)
{
    auto pSeen = DialogHelper::onNextModal(fnAct);
    m_pForm->findChild<QPushButton *>(QStringLiteral("oBatchCfgBtn"))->click();
    QTRY_VERIFY(pSeen->done);
    QCOMPARE(pSeen->className, QStringLiteral("CBatchCfgDlg"));
    QTRY_VERIFY(DialogHelper::noModal());
}

QByteArray TestBatchCfgDlg::readCfg(int iIpc, DWORD ulCmd, int iStream)
{
    char szUserId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", m_strIp[iIpc].toLatin1().constData(), 0, szUserId) != 0)
        return QByteArray();
    QByteArray baCfg(int(zelt_cfg_size(ulCmd)), '\0');
    if (ulCmd == ZELT_MW_VIDEO_ENCODER_CFG)
        zelt_put_u32(baCfg.data(), ZELT_ENC_STREAM, uint32_t(iStream));
    DWORD ulLen = DWORD(baCfg.size());
    const DWORD ulRet = ZELT_MW_GetConfig(szUserId, ulCmd, 0, &ulLen, baCfg.data());
    ZELT_MW_Logout(szUserId);
    return ulRet == 0 ? baCfg : QByteArray();
}

bool TestBatchCfgDlg::writeStream(int iIpc, int iStream, const QSize &size, int iBitRate)
{
    QByteArray baEnc = readCfg(iIpc, ZELT_MW_VIDEO_ENCODER_CFG, iStream);
    char szUserId[ZELT_MW_USERID_LEN] = {};
    if (baEnc.isEmpty() || ZELT_MW_Login("admin", "vorpe", m_strIp[iIpc].toLatin1().constData(), 0, szUserId) != 0)
        return false;
    zelt_put_u32(baEnc.data(), ZELT_ENC_WIDTH, uint32_t(size.width()));
    zelt_put_u32(baEnc.data(), ZELT_ENC_HEIGHT, uint32_t(size.height()));
    zelt_put_u32(baEnc.data(), ZELT_ENC_BITRATE, uint32_t(iBitRate));
    const DWORD ulRet = ZELT_MW_SetConfig(szUserId, ZELT_MW_VIDEO_ENCODER_CFG, 0, DWORD(baEnc.size()), baEnc.constData());
    ZELT_MW_Logout(szUserId);
    return ulRet == 0;
}

namespace {

// Buttons of a tab in the background cannot be clicked.
void showTab(QWidget *pDlg, const QString &strTab)
{
    auto *pTabs = pDlg->findChild<QTabWidget *>(QStringLiteral("oBatchCfgTabWidget"));
    pTabs->setCurrentWidget(pDlg->findChild<QWidget *>(strTab));
}

} // namespace

void TestBatchCfgDlg::refusals_data()
{
    QTest::addColumn<QList<int>>("devices");
    QTest::addColumn<QString>("note");
    QTest::newRow("nothing checked") << QList<int>() << QStringLiteral("请选择设备。");
    QTest::newRow("two models") << QList<int>{0, 6} << QStringLiteral("请选择相同型号的设备。");
    QTest::newRow("NVR") << QList<int>{-1} << QStringLiteral("该操作仅支持类型为IPC的设备。");
}

void TestBatchCfgDlg::refusals()
{
    QFETCH(QList<int>, devices);
    QFETCH(QString, note);
    check(devices);
    const QList<long> listBefore = statuses(devices);
    auto pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    m_pForm->findChild<QPushButton *>(QStringLiteral("oBatchCfgBtn"))->click();
    QTRY_VERIFY(pNote->done);
    QCOMPARE(pNote->className, QStringLiteral("CMsgDlg"));
    QCOMPARE(pNote->text, note);
    QVERIFY(!m_pForm->findChild<CBatchCfgDlg *>());
    QCOMPARE(statuses(devices), listBefore);
}

void TestBatchCfgDlg::tabsFollowTheModel_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<QStringList>("tabs");
    const QStringList both = {QStringLiteral("oEndoTab"), QStringLiteral("oAudioTab")};
    const QStringList encodeOnly = {QStringLiteral("oEndoTab")};
    QTest::newRow("with audio") << 0 << both;
    QTest::newRow("without audio") << 3 << encodeOnly;
    QTest::newRow("unknown audio formats") << 4 << encodeOnly;
    QTest::newRow("no audio formats") << 5 << encodeOnly;
}

void TestBatchCfgDlg::tabsFollowTheModel()
{
    QFETCH(int, device);
    QFETCH(QStringList, tabs);
    check({device});
    QStringList listTabs;
    runBatch([&](QWidget *pDlg) {
        auto *pTabs = pDlg->findChild<QTabWidget *>(QStringLiteral("oBatchCfgTabWidget"));
        for (int i = 0; i < pTabs->count(); ++i)
            listTabs.append(pTabs->widget(i)->objectName());
        pDlg->close();
    });
    QCOMPARE(listTabs, tabs);
}

void TestBatchCfgDlg::audioFormatRuleAndCancel()
{
    const QList<int> listIpc = {0, 1, 2};
    check(listIpc);
    const QList<long> listBefore = statuses(listIpc);
    bool bAacEnabled = false, bG711Enabled = true;
    QString strG711Rate;
    runBatch([&](QWidget *pDlg) {
        auto *pFormat = pDlg->findChild<QComboBox *>(QStringLiteral("oEncodeFormCombo"));
        auto *pRate = pDlg->findChild<QComboBox *>(QStringLiteral("oSampleRateCombo"));
        pFormat->setCurrentIndex(pFormat->findData(6));
        bAacEnabled = pRate->isEnabled();
        pRate->setCurrentIndex(pRate->findData(16));
        pFormat->setCurrentIndex(pFormat->findData(1));
        bG711Enabled = pRate->isEnabled();
        strG711Rate = pRate->currentText();
        pDlg->close();
    });
    QVERIFY(bAacEnabled);
    QVERIFY(!bG711Enabled);
    QCOMPARE(strG711Rate, QStringLiteral("8"));
    // Closed without configuring: nothing sent, the dialog is gone at once.
    QCOMPARE(statuses(listIpc), listBefore);
    QTRY_VERIFY(!m_pForm->findChild<CBatchCfgDlg *>());
}

void TestBatchCfgDlg::audioGainIsChecked_data()
{
    QTest::addColumn<QString>("gain");
    QTest::newRow("above the range") << QStringLiteral("256");
    QTest::newRow("empty") << QString();
}

void TestBatchCfgDlg::audioGainIsChecked()
{
    QFETCH(QString, gain);
    const QList<int> listIpc = {0, 1};
    check(listIpc);
    const QList<long> listBefore = statuses(listIpc);
    std::shared_ptr<DialogHelper::SeenDialog> pNote;
    bool bStillOpen = false;
    runBatch([&](QWidget *pDlg) {
        showTab(pDlg, QStringLiteral("oAudioTab"));
        pDlg->findChild<QLineEdit *>(QStringLiteral("oAudioGainEdit"))->setText(gain);
        pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oAudioCfgBtn"));
        bStillOpen = pDlg->isVisible();
        pDlg->close();
    });
    QVERIFY(pNote->done);
    QCOMPARE(pNote->text, QStringLiteral("有效值为0~255的整数，请重新输入。"));
    QVERIFY(bStillOpen);
    QCOMPARE(statuses(listIpc), listBefore);
}

void TestBatchCfgDlg::audioReachesEveryDevice()
{
    const QList<int> listIpc = {2, 0, 1};
    check(listIpc);
    QList<long> listAtConfigure;
    runBatch([&](QWidget *pDlg) {
        auto *pFormat = pDlg->findChild<QComboBox *>(QStringLiteral("oEncodeFormCombo"));
        auto *pRate = pDlg->findChild<QComboBox *>(QStringLiteral("oSampleRateCombo"));
        pFormat->setCurrentIndex(pFormat->findData(6));
        pRate->setCurrentIndex(pRate->findData(16));
        pDlg->findChild<QRadioButton *>(QStringLiteral("oAudioInputOff"))->setChecked(true);
        pDlg->findChild<QLineEdit *>(QStringLiteral("oAudioGainEdit"))->setText(QStringLiteral("255"));
        showTab(pDlg, QStringLiteral("oAudioTab"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oAudioCfgBtn"));
        listAtConfigure = statuses(listIpc);
    });
    QCOMPARE(listAtConfigure, QVector<long>(listIpc.size(), DevStatusConfiguring).toList());
    for (int iIpc : listIpc)
        QTRY_COMPARE_WITH_TIMEOUT(long(device(iIpc)->m_lStatus), long(DevStatusCfgOk), 10000);
    for (int iIpc : listIpc) {
        const QByteArray baAudio = readCfg(iIpc, ZELT_MW_AUDIO_IN_CFG);
        QCOMPARE(baAudio.size(), ZELT_AUDIO_SIZE);
        QCOMPARE(zelt_get_u32(baAudio.constData(), ZELT_AUDIO_FORMAT), 6u);
        QCOMPARE(zelt_get_u32(baAudio.constData(), ZELT_AUDIO_SAMPLE_RATE), 16u);
        QCOMPARE(zelt_get_u32(baAudio.constData(), ZELT_AUDIO_INPUT_OFF), 1u);
        QCOMPARE(zelt_get_u32(baAudio.constData(), ZELT_AUDIO_GAIN), 255u);
    }
    QTRY_VERIFY(!m_pForm->findChild<CBatchCfgDlg *>());
}

void TestBatchCfgDlg::unreadFirstDeviceRefusesConfigure()
{
    const QList<int> listIpc = {kReadsRefused, 0};
    check(listIpc);
    const QList<long> listBefore = statuses(listIpc);
    QStringList listNotes;
    runBatch([&](QWidget *pDlg) {
        auto *pTabs = pDlg->findChild<QTabWidget *>(QStringLiteral("oBatchCfgTabWidget"));
        const QPair<const char *, const char *> buttons[] = {{"oEndoTab", "oEncodeCfgBtn"},
                                                             {"oAudioTab", "oAudioCfgBtn"}};
        for (const auto &button : buttons) {
            showTab(pDlg, QLatin1String(button.first));
            const char *pszBtn = button.second;
            auto pNote = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
            DialogHelper::clickButton(pDlg, QLatin1String(pszBtn));
            QVERIFY(pNote->done);
            listNotes.append(pNote->text);
        }
        QCOMPARE(pTabs->count(), 2);
        pDlg->close();
    });
    QCOMPARE(listNotes.size(), 2);
    QCOMPARE(statuses(listIpc), listBefore);
}

void TestBatchCfgDlg::streamsRaisedOnThreeDevices()
{
    const QList<int> listIpc = {1, 2, 0};
    for (int iIpc : listIpc) {
        QVERIFY(writeStream(iIpc, 1, QSize(352, 288), 512));
        QVERIFY(writeStream(iIpc, 0, QSize(720, 576), 1024));
    }
    check(listIpc);
    std::unique_ptr<QSignalSpy> pRequests;
    QList<long> listAtConfigure;
    runBatch([&](QWidget *pDlg) {
        auto *pBatch = pDlg->findChild<CCfgBatch *>();
        QVERIFY(pBatch);
        pRequests.reset(new QSignalSpy(pBatch, &CCfgBatch::sendCfgSignal));
        auto *pMain = pDlg->findChild<QComboBox *>(QStringLiteral("oResolutionCombo_1"));
        auto *pSub = pDlg->findChild<QComboBox *>(QStringLiteral("oResolutionCombo_2"));
        QCOMPARE(pMain->currentData().toString(), QStringLiteral("720*576"));
        QVERIFY(pDlg->findChild<QGroupBox *>(QStringLiteral("oSubGroup"))->isChecked());
        pMain->setCurrentIndex(pMain->findData(QStringLiteral("1920*1080")));
        // The sub stream goes above the main stream the devices hold now.
        pSub->setCurrentIndex(pSub->findData(QStringLiteral("1280*720")));
        QCOMPARE(pSub->currentData().toString(), QStringLiteral("1280*720"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oEncodeCfgBtn"));
        listAtConfigure = statuses(listIpc);
    });
    QCOMPARE(listAtConfigure, QVector<long>(listIpc.size(), DevStatusConfiguring).toList());

    // Per device in list order: sub switched off, main, sub in its final state.
    QCOMPARE(pRequests->size(), 9);
    const QList<QPair<quint32, quint32>> perDevice = {{1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < pRequests->size(); ++i) {
        const QList<QVariant> &args = pRequests->at(i);
        QCOMPARE(args.at(0).toUInt(), uint(ZELT_MW_VIDEO_ENCODER_CFG));
        const QByteArray baEnc = args.at(1).toByteArray();
        QCOMPARE(baEnc.size(), ZELT_ENC_SIZE);
        QCOMPARE(args.at(2).value<CUIDeviceBean>().m_strIp, m_strIp[listIpc.at(i / 3)]);
        QCOMPARE(zelt_get_u32(baEnc.constData(), ZELT_ENC_STREAM), perDevice.at(i % 3).first);
        QCOMPARE(zelt_get_u32(baEnc.constData(), ZELT_ENC_ENABLED), perDevice.at(i % 3).second);
    }

    for (int iIpc : listIpc)
        QTRY_COMPARE_WITH_TIMEOUT(long(device(iIpc)->m_lStatus), long(DevStatusCfgOk), 10000);
    for (int iIpc : listIpc) {
        const QByteArray baMain = readCfg(iIpc, ZELT_MW_VIDEO_ENCODER_CFG, 0);
        const QByteArray baSub = readCfg(iIpc, ZELT_MW_VIDEO_ENCODER_CFG, 1);
        QCOMPARE(baMain.size(), ZELT_ENC_SIZE);
        QCOMPARE(baSub.size(), ZELT_ENC_SIZE);
        QCOMPARE(zelt_get_u32(baMain.constData(), ZELT_ENC_WIDTH), 1920u);
        QCOMPARE(zelt_get_u32(baMain.constData(), ZELT_ENC_BITRATE), 4096u);
        QCOMPARE(zelt_get_u32(baSub.constData(), ZELT_ENC_WIDTH), 1280u);
        QCOMPARE(zelt_get_u32(baSub.constData(), ZELT_ENC_HEIGHT), 720u);
        QCOMPARE(zelt_get_u32(baSub.constData(), ZELT_ENC_ENABLED), 1u);
    }
}

void TestBatchCfgDlg::refusedMainShowsFailed()
{
    // The refusing device's later writes succeed; its status still says it failed.
    const QList<int> listIpc = {0, kMainRefused};
    check(listIpc);
    runBatch([&](QWidget *pDlg) { DialogHelper::clickButton(pDlg, QStringLiteral("oEncodeCfgBtn")); });
    QTRY_COMPARE_WITH_TIMEOUT(long(device(kMainRefused)->m_lStatus), long(DevStatusCfgFailed), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(long(device(0)->m_lStatus), long(DevStatusCfgOk), 10000);
    QTRY_VERIFY(!m_pForm->findChild<CBatchCfgDlg *>());
}

QTEST_MAIN(TestBatchCfgDlg)
#include "tst_batchcfgdlg.moc"
