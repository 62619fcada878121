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
const QString kIndexFaultFirst = QStringLiteral("127.100.0.10");
const QString kAfterMainFaultFirst = QStringLiteral("127.100.1.10");

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

bool writeStream(const CUIDeviceBean &bean, const stEncoderCfg &cfg)
{
    const QByteArray data = cfg.toBytes();
    return ZELT_MW_SetConfig(bean.m_strLoginKey.toLatin1().constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0,
                             DWORD(data.size()), data.constData())
           == 0;
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

void typeInto(QLineEdit *pEdit, const QString &text)
{
    pEdit->setText(text);
    emit pEdit->editingFinished();
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
    void refusedLowerAfterMainRestoresStreams();
    void answerNamingAnotherStream();
    void formatSwitchesAndProposals();

private:
    QString ipOf(int index) const { return m_sim.devices().at(index).ip; }

    SimFleetProcess m_sim{{"--ipc", "8", "--first", kFirst, "--ipc-models",
                           "ZC-2320,ZC-2320,ZC-1100M,ZC-8340,ZC-3320S,ZC-2320T,ZC-2320,ZC-5330"}};
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
    // Room for 1080P at 25 fps and little else: the highest main frame rate offered and
    // what is left for the sub stream are what the device accepts.
    const CUIDeviceBean &bean = m_beans.at(5);
    auto page = openPage(bean);
    QVERIFY(page);
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_1"), QStringLiteral("720*576")));
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_1"), QStringLiteral("1920*1080")));
    QComboBox *pMainFps = combo(page.get(), "oFrameRateCombo_1");
    QVERIFY(choose(pMainFps, pMainFps->itemData(pMainFps->count() - 1)));
    QCOMPARE(values(combo(page.get(), "oResolutionCombo_2")),
             QStringList({"1280*960", "1280*720", "720*576", "704*288", "352*288"}));
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_2"), QStringLiteral("1280*960")));
    QComboBox *pSubFps = combo(page.get(), "oFrameRateCombo_2");
    QVERIFY(choose(pSubFps, pSubFps->itemData(pSubFps->count() - 1)));

    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    QCOMPARE(readStream(bean, 0).ulFrameRate, 25u);
    QCOMPARE(readStream(bean, 1).ulWidth, 1280u);
    QCOMPARE(readStream(bean, 1).ulFrameRate, 1u);
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
    stEncoderCfg third = readStream(bean, 2);
    third.ulEnabled = 1;
    QVERIFY(writeStream(bean, third));
    const stEncoderCfg subBefore = readStream(bean, 1);
    QCOMPARE(subBefore.ulEnabled, 1u);
    auto page = openPage(bean);
    QVERIFY(page);
    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QVERIFY2(report.startsWith(QStringLiteral("设置参数失败！ ")) && report.size() > 8, qPrintable(report));
    const stEncoderCfg subAfter = readStream(bean, 1);
    QCOMPARE(subAfter.ulEnabled, 1u);
    QCOMPARE(subAfter.ulWidth, subBefore.ulWidth);
    QCOMPARE(readStream(bean, 2).ulEnabled, 1u);
    ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

void TestEncodeCfgForm::refusedLowerAfterMainRestoresStreams()
{
    // The third stream's final write is refused after main and sub went through.
    SimFleetProcess sim(
        {"--ipc", "1", "--first", kAfterMainFaultFirst, "--ipc-models", "ZC-5330", "--refuse-after-main", "2"});
    CORVANE_START_SIMULATOR(sim);
    const CUIDeviceBean bean = loginBean(sim.devices().first().ip);
    QVERIFY(!bean.m_strLoginKey.isEmpty());
    stEncoderCfg third = readStream(bean, 2);
    third.ulEnabled = 1;
    QVERIFY(writeStream(bean, third));
    QList<QByteArray> before;
    for (quint32 i = 0; i < 3; ++i)
        before << readStream(bean, i).toBytes();

    auto page = openPage(bean);
    QVERIFY(page);
    QVERIFY(w<QGroupBox>(page.get(), "oThirdGroup")->isChecked());
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_1"), QStringLiteral("1920*1080")));
    QVERIFY(choose(combo(page.get(), "oFrameRateCombo_2"), 10));
    QVERIFY(choose(combo(page.get(), "oFrameRateCombo_3"), 5));
    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QVERIFY2(report.startsWith(QStringLiteral("设置参数失败！ ")) && report.size() > 8, qPrintable(report));
    for (quint32 i = 0; i < 3; ++i)
        QCOMPARE(readStream(bean, i).toBytes(), before.at(int(i)));

    // The page knows what the device holds: a second save goes through whole.
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    QCOMPARE(readStream(bean, 2).ulFrameRate, 5u);
    ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

void TestEncodeCfgForm::answerNamingAnotherStream()
{
    // Every encoder answer names the main stream, whichever stream was asked for.
    SimFleetProcess sim({"--ipc", "1", "--first", kIndexFaultFirst, "--ipc-models", "ZC-2320", "--enc-answer-index", "0"});
    CORVANE_START_SIMULATOR(sim);
    const CUIDeviceBean bean = loginBean(sim.devices().first().ip);
    QVERIFY(!bean.m_strLoginKey.isEmpty());
    auto page = openPage(bean);
    QVERIFY(page);
    QVERIFY(w<QGroupBox>(page.get(), "oSubGroup")->isChecked());
    QVERIFY(choose(combo(page.get(), "oFrameRateCombo_2"), 10));
    typeInto(w<QLineEdit>(page.get(), "oBitRatioEdit_1"), QStringLiteral("3000"));
    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    QCOMPARE(readStream(bean, 0).ulBitRate, 3000u);
    QCOMPARE(readStream(bean, 1).ulEnabled, 1u);
    QCOMPARE(readStream(bean, 1).ulFrameRate, 10u);
    ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

void TestEncodeCfgForm::formatSwitchesAndProposals()
{
    const CUIDeviceBean &bean = m_beans.at(7);
    auto page = openPage(bean);
    QVERIFY(page);
    QLineEdit *pMainRate = w<QLineEdit>(page.get(), "oBitRatioEdit_1");
    QLineEdit *pSubRate = w<QLineEdit>(page.get(), "oBitRatioEdit_2");
    QLineEdit *pThirdRate = w<QLineEdit>(page.get(), "oBitRatioEdit_3");

    // MJPEG greys the bit rate out and leaves it as it was.
    typeInto(pMainRate, QStringLiteral("3000"));
    QVERIFY(choose(combo(page.get(), "oEncodeFormCombo_1"), int(FormatMjpeg)));
    QCOMPARE(pMainRate->text(), QStringLiteral("3000"));

    // With three streams a new main resolution proposes the sub's bit rate as well.
    typeInto(pSubRate, QStringLiteral("700"));
    QVERIFY(choose(combo(page.get(), "oResolutionCombo_1"), QStringLiteral("1920*1080")));
    QCOMPARE(combo(page.get(), "oResolutionCombo_2")->currentData().toString(), QStringLiteral("720*576"));
    QCOMPARE(pSubRate->text(), QStringLiteral("1024"));

    // A third stream switched back to H.264 gets its proposal.
    clickGroup(w<QGroupBox>(page.get(), "oThirdGroup"), true);
    typeInto(pThirdRate, QStringLiteral("300"));
    QVERIFY(choose(combo(page.get(), "oEncodeFormCombo_3"), int(FormatMjpeg)));
    QCOMPARE(pThirdRate->text(), QStringLiteral("300"));
    QVERIFY(choose(combo(page.get(), "oEncodeFormCombo_3"), int(FormatH264)));
    QCOMPARE(pThirdRate->text(), QStringLiteral("512"));

    QString report;
    QVERIFY(saveAndWait(page.get(), &report));
    QCOMPARE(report, QStringLiteral("设置参数成功！"));
    QCOMPARE(readStream(bean, 0).ulBitRate, 3000u);
    QCOMPARE(readStream(bean, 1).ulBitRate, 1024u);
    QCOMPARE(readStream(bean, 2).ulBitRate, 512u);
}

QTEST_MAIN(TestEncodeCfgForm)
#include "tst_encodecfgform.moc"
