// The encoding page against simulated models with one, two and three streams:
// what it offers, the closing question, validation and what a save leaves on
// the device.
#include "dev_encodecfgform.h"
#include "devcapability.h"
#include "dialoghelper.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <memory>

using namespace EncodeStreams;

namespace {

// This file's own loopback range.
const QString kFirst = QStringLiteral("127.22.0.10");
const QString kFaultFirst = QStringLiteral("127.22.1.10");

CUIDeviceBean loginBean(const QString &ip)
{
    CUIDeviceBean bean;
    bean.m_strDevType = QStringLiteral("IPC");
    bean.m_strIp = ip;
    char userId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", ip.toLatin1().constData(), 0, userId) == 0)
        bean.m_strLoginKey = QString::fromLatin1(userId);
    return bean;
}

std::unique_ptr<CEncodeCfgForm> openPage(const CUIDeviceBean &bean)
{
    QList<stDevCapacityInfo> caps;
    if (DevCapability::fetch(bean.m_strLoginKey, DevCapability::KindEncode, caps) != 0)
        return nullptr;
    return std::make_unique<CEncodeCfgForm>(bean, caps);
}

stEncoderCfg readStream(const CUIDeviceBean &bean, quint32 index)
{
    stEncoderCfg cfg;
    cfg.ulStream = index;
    QByteArray data = cfg.toBytes();
    DWORD len = DWORD(data.size());
    if (ZELT_MW_GetConfig(bean.m_strLoginKey.toLatin1().constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &len,
                          data.data())
        != 0)
        return stEncoderCfg();
    return stEncoderCfg::fromBytes(data);
}

template <typename T>
T *w(QWidget *pPage, const QString &name)
{
    T *p = pPage->findChild<T *>(name);
    if (!p)
        qWarning("no widget %s", qPrintable(name));
    return p;
}

QComboBox *combo(QWidget *pPage, const char *name) { return w<QComboBox>(pPage, QLatin1String(name)); }

QStringList values(QComboBox *pCombo)
{
    QStringList list;
    for (int i = 0; i < pCombo->count(); ++i)
        list << pCombo->itemData(i).toString();
    return list;
}

QStringList labels(QComboBox *pCombo)
{
    QStringList list;
    for (int i = 0; i < pCombo->count(); ++i)
        list << pCombo->itemText(i);
    return list;
}

// A user's choice: selects the item holding the value.
bool choose(QComboBox *pCombo, const QVariant &value)
{
    const int index = pCombo->findData(value);
    if (index < 0)
        return false;
    pCombo->setCurrentIndex(index);
    return true;
}

void clickGroup(QGroupBox *pGroup, bool bChecked)
{
    pGroup->setChecked(bChecked);
    emit pGroup->clicked(bChecked);
}

bool saveAndWait(QWidget *pPage, QString *pReport)
{
    auto *pSave = w<QPushButton>(pPage, "oSaveBtn");
    pSave->click();
    if (pSave->isEnabled())
        return false;
    if (!QTest::qWaitFor([pSave] { return pSave->isEnabled(); }, 10000))
        return false;
    *pReport = w<QLabel>(pPage, "oReportLabel")->text();
    return true;
}

} // namespace

class TestEncodeCfgForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void twoStreamsSaveKeepsOrder();
    void refusedQuestionRestoresMain();
    void oneStreamAndMjpeg();
    void threeStreamsAndSmallMainCap();
    void captureSizeLimitsMain();
    void bitRateRange();
    void overBudgetMainPrunesSub();
    void failedVideoInputDisablesSave();
    void refusedMainRestoresLowerStreams();

private:
    QString ipOf(int index) const { return m_sim.devices().at(index).ip; }

    SimFleetProcess m_sim{{"--ipc", "7", "--first", kFirst, "--ipc-models",
                           "ZC-2320,ZC-2320,ZC-1100M,ZC-8340,ZC-3320S,ZC-2320T,ZC-2320"}};
    QList<CUIDeviceBean> m_beans;
};

void TestEncodeCfgForm::initTestCase()
{
    registerRecordTypes();
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
    for (int i = 0; i < m_sim.devices().size(); ++i) {
        m_beans << loginBean(ipOf(i));
        QVERIFY(!m_beans.last().m_strLoginKey.isEmpty());
    }
}

void TestEncodeCfgForm::cleanupTestCase()
{
    for (const CUIDeviceBean &bean : qAsConst(m_beans))
        ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

void TestEncodeCfgForm::twoStreamsSaveKeepsOrder()
{
    const CUIDeviceBean &bean = m_beans.at(0);
    auto page = openPage(bean);
    QVERIFY(page);
    auto *pSub = w<QGroupBox>(page.get(), "oSubGroup");
    QVERIFY(!pSub->isHidden());
    QVERIFY(w<QGroupBox>(page.get(), "oThirdGroup")->isHidden());
    QVERIFY(pSub->isChecked());
    QCOMPARE(combo(page.get(), "oResolutionCombo_2")->currentData().toString(), QStringLiteral("720*576"));

    // A main stream smaller than the sub stream: the question, accepted.
    auto seen = DialogHelper::clickOnModal("oOkBtn");
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_1"), QStringLiteral("352*288")));
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("该操作会使后面的流关闭，是否继续操作？"));
    QVERIFY(!pSub->isChecked());
    QCOMPARE(pSub->maximumHeight(), kCollapsedHeight);
    QCOMPARE(w<QLineEdit>(page.get(), "oBitRatioEdit_1")->text(), QStringLiteral("512"));

    // Back on, the sub stream offers nothing larger than the main stream.
    clickGroup(pSub, true);
    QCOMPARE(values(combo(page.get(), "oResolutionCombo_2")), QStringList{"352*288"});
    QVERIFY(choose(combo(page.get(), "oFrameRateCombo_2"), 10));

    // Writing the main stream first would be refused while the D1 sub stream is on.
    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    const stEncoderCfg main = readStream(bean, 0);
    const stEncoderCfg sub = readStream(bean, 1);
    QCOMPARE(main.ulWidth, 352u);
    QCOMPARE(sub.ulWidth, 352u);
    QCOMPARE(sub.ulEnabled, 1u);
    QCOMPARE(sub.ulFrameRate, 10u);

    // Reopened, the page shows what the device now holds.
    page.reset();
    page = openPage(bean);
    QCOMPARE(combo(page.get(), "oResolutionCombo_1")->currentData().toString(), QStringLiteral("352*288"));
    QCOMPARE(combo(page.get(), "oFrameRateCombo_2")->currentData().toInt(), 10);
    QVERIFY(w<QGroupBox>(page.get(), "oSubGroup")->isChecked());
}

void TestEncodeCfgForm::refusedQuestionRestoresMain()
{
    auto page = openPage(m_beans.at(1));
    QVERIFY(page);
    QComboBox *pMainRes = combo(page.get(), "oResolutionCombo_1");
    const QString mainBefore = pMainRes->currentData().toString();
    const QString bitRate = w<QLineEdit>(page.get(), "oBitRatioEdit_1")->text();
    const int mainFps = combo(page.get(), "oFrameRateCombo_1")->currentData().toInt();
    const QStringList subList = values(combo(page.get(), "oResolutionCombo_2"));

    auto seen = DialogHelper::clickOnModal("oCancelBtn");
    QVERIFY(choose(pMainRes, QStringLiteral("352*288")));
    QTRY_VERIFY(seen->done);
    QCOMPARE(pMainRes->currentData().toString(), mainBefore);
    QCOMPARE(w<QLineEdit>(page.get(), "oBitRatioEdit_1")->text(), bitRate);
    QCOMPARE(combo(page.get(), "oFrameRateCombo_1")->currentData().toInt(), mainFps);
    QCOMPARE(values(combo(page.get(), "oResolutionCombo_2")), subList);
    QVERIFY(w<QGroupBox>(page.get(), "oSubGroup")->isChecked());
    QVERIFY(DialogHelper::noModal());
}

void TestEncodeCfgForm::oneStreamAndMjpeg()
{
    // No MaxStream in the document: the main stream alone; no CONV: MJPEG costs 1:1.
    const CUIDeviceBean &bean = m_beans.at(2);
    auto page = openPage(bean);
    QVERIFY(page);
    QVERIFY(w<QGroupBox>(page.get(), "oSubGroup")->isHidden());
    QVERIFY(w<QGroupBox>(page.get(), "oThirdGroup")->isHidden());

    QVERIFY(choose(combo(page.get(), "oEncodeFormCombo_1"), int(FormatMjpeg)));
    QComboBox *pFps = combo(page.get(), "oFrameRateCombo_1");
    QCOMPARE(pFps->itemData(pFps->count() - 1).toInt(), 5);
    QCOMPARE(pFps->currentData().toInt(), 5);
    QVERIFY(!w<QLineEdit>(page.get(), "oBitRatioEdit_1")->isEnabled());
    QVERIFY(!w<QLineEdit>(page.get(), "oIFrameGapEdit_1")->isEnabled());
    QVERIFY(!combo(page.get(), "oEncodeModeCombo_1")->isEnabled());
    QVERIFY(w<QSlider>(page.get(), "oPicQualitySlider_1")->isEnabled());
    w<QSlider>(page.get(), "oPicQualitySlider_1")->setValue(8);

    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    const stEncoderCfg main = readStream(bean, 0);
    QCOMPARE(main.ulFormat, quint32(FormatMjpeg));
    QCOMPARE(main.ulFrameRate, 5u);
    QCOMPARE(main.ulQuality, 8u);
}

void TestEncodeCfgForm::threeStreamsAndSmallMainCap()
{
    auto page = openPage(m_beans.at(3));
    QVERIFY(page);
    QCOMPARE(labels(combo(page.get(), "oResolutionCombo_1")),
             QStringList({"8MP", "1080P", "UXGA", "SXGA", "720P", "D1", "2CIF", "CIF"}));
    QComboBox *pMainRes = combo(page.get(), "oResolutionCombo_1");
    QComboBox *pMainFps = combo(page.get(), "oFrameRateCombo_1");
    QCOMPARE(pMainFps->itemData(pMainFps->count() - 1).toInt(), 30);

    auto *pSub = w<QGroupBox>(page.get(), "oSubGroup");
    auto *pThird = w<QGroupBox>(page.get(), "oThirdGroup");
    QVERIFY(!pThird->isHidden());
    QVERIFY(pSub->isChecked());
    QVERIFY(pThird->isEnabled());
    QVERIFY(!labels(combo(page.get(), "oResolutionCombo_2")).contains("8MP"));
    clickGroup(pSub, false);
    QVERIFY(!pThird->isEnabled());
    clickGroup(pSub, true);
    QVERIFY(pThird->isEnabled());
    clickGroup(pThird, true);

    // D1, 2CIF and CIF main streams stay at 25 fps on a 30 fps device.
    auto seen = DialogHelper::clickOnModal("oOkBtn");
    for (const char *small : {"720*576", "704*288", "352*288"}) {
        QVERIFY(choose(pMainRes, QLatin1String(small)));
        QCOMPARE(pMainFps->itemData(pMainFps->count() - 1).toInt(), 25);
    }
    QTRY_VERIFY(seen->done);
    QVERIFY(choose(pMainRes, QStringLiteral("1600*1200")));
    QCOMPARE(pMainFps->itemData(pMainFps->count() - 1).toInt(), 30);
    QCOMPARE(w<QLineEdit>(page.get(), "oBitRatioEdit_1")->text(), QStringLiteral("4096"));

    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    QCOMPARE(readStream(m_beans.at(3), 0).ulHeight, 1200u);
}

void TestEncodeCfgForm::captureSizeLimitsMain()
{
    // The model lists 3MP but captures 1080P.
    auto page = openPage(m_beans.at(4));
    QVERIFY(page);
    const QStringList main = values(combo(page.get(), "oResolutionCombo_1"));
    QVERIFY(!main.isEmpty());
    QVERIFY(!main.contains("2048*1536"));
    QVERIFY(main.contains("1920*1080"));
}

void TestEncodeCfgForm::bitRateRange()
{
    auto page = openPage(m_beans.at(6));
    QVERIFY(page);
    QLineEdit *pEdit = w<QLineEdit>(page.get(), "oBitRatioEdit_1");
    const QString before = pEdit->text();
    for (const char *bad : {"127", "16385"}) {
        auto seen = DialogHelper::clickOnModal("oCancelBtn");
        pEdit->setText(QLatin1String(bad));
        emit pEdit->editingFinished();
        QTRY_VERIFY(seen->done);
        QCOMPARE(seen->text, QStringLiteral("有效值为128~16384的整数，请重新输入。"));
        QCOMPARE(pEdit->text(), before);
    }
    for (const char *good : {"128", "16384"}) {
        pEdit->setText(QLatin1String(good));
        emit pEdit->editingFinished();
        QVERIFY(DialogHelper::noModal());
        QCOMPARE(pEdit->text(), QLatin1String(good));
    }
    // An I-frame interval left empty is caught at Save; nothing is written.
    QLineEdit *pIFrame = w<QLineEdit>(page.get(), "oIFrameGapEdit_2");
    const QString iFrameBefore = pIFrame->text();
    pIFrame->clear();
    auto seen = DialogHelper::clickOnModal("oCancelBtn");
    w<QPushButton>(page.get(), "oSaveBtn")->click();
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("有效值为10~250的整数，请重新输入。"));
    QCOMPARE(pIFrame->text(), iFrameBefore);
    QTRY_VERIFY(w<QPushButton>(page.get(), "oSaveBtn")->isEnabled());
    QCOMPARE(readStream(m_beans.at(6), 0).ulBitRate, 4096u);
}

void TestEncodeCfgForm::overBudgetMainPrunesSub()
{
    auto page = openPage(m_beans.at(5));
    QVERIFY(page);
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_1"), QStringLiteral("1920*1080")));
    QVERIFY(choose(combo(page.get(), "oFrameRateCombo_1"), 25));
    QCOMPARE(values(combo(page.get(), "oResolutionCombo_2")),
             QStringList({"1280*960", "1280*720", "720*576", "704*288", "352*288"}));
    QVERIFY(choose(combo(page.get(), "oFrameRateCombo_1"), 30));
    QCOMPARE(values(combo(page.get(), "oResolutionCombo_2")), QStringList{"352*288"});
    QCOMPARE(combo(page.get(), "oFrameRateCombo_2")->count(), 1);
}

void TestEncodeCfgForm::failedVideoInputDisablesSave()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--ipc-models", "ZC-2320", "--vin-fail"});
    CORVANE_START_SIMULATOR(sim);
    const CUIDeviceBean bean = loginBean(sim.devices().first().ip);
    QVERIFY(!bean.m_strLoginKey.isEmpty());
    auto page = openPage(bean);
    QVERIFY(page);
    QVERIFY(!w<QPushButton>(page.get(), "oSaveBtn")->isEnabled());
    QCOMPARE(w<QLabel>(page.get(), "oReportLabel")->text(), QStringLiteral("读取视频输入参数失败，不能保存。"));
    QCOMPARE(combo(page.get(), "oResolutionCombo_1")->count(), 0);
    ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

void TestEncodeCfgForm::refusedMainRestoresLowerStreams()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--ipc-models", "ZC-5330", "--refuse-main-stream"});
    CORVANE_START_SIMULATOR(sim);
    const CUIDeviceBean bean = loginBean(sim.devices().first().ip);
    QVERIFY(!bean.m_strLoginKey.isEmpty());
    const stEncoderCfg subBefore = readStream(bean, 1);
    QCOMPARE(subBefore.ulEnabled, 1u);
    auto page = openPage(bean);
    QVERIFY(page);
    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数失败！"));
    const stEncoderCfg subAfter = readStream(bean, 1);
    QCOMPARE(subAfter.ulEnabled, 1u);
    QCOMPARE(subAfter.ulWidth, subBefore.ulWidth);
    QCOMPARE(readStream(bean, 2).ulEnabled, 0u);
    ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

QTEST_MAIN(TestEncodeCfgForm)
#include "tst_encodecfgform.moc"
