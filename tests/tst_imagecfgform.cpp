// The image page against simulated cameras: capability-driven controls,
// writes by control family, dependent controls, restore and the live view.
#include "appstylesheet.h"
#include "dev_imagecfgform.h"
#include "devcapability.h"
#include "devicestreams.h"
#include "dialoghelper.h"
#include "langconfig.h"
#include "simfleetprocess.h"
#include "videowidget.h"
#include "zeltplaystats.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QComboBox>
#include <QLabel>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTranslator>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

// One model per address, in this order (--ipc-models).
const char *const kFirst = "127.76.0.10";
const char *const kModels = "ZC-2320,ZC-2120,ZC-2320W,ZC-2310A,ZC-2320N,ZC-2320";
enum Device { Full, NoIr, PlainWhite, AutoOnly, NoAudio, Live };
// A second fleet whose white balance cannot be read.
const char *const kFaultFirst = "127.76.1.10";

struct Session
{
    QByteArray userId;
    QList<stDevCapacityInfo> caps;
};

quint32 readField(const QByteArray &userId, DWORD ulCmd, int iOffset)
{
    QByteArray buf(int(zelt_cfg_size(ulCmd)), '\0');
    DWORD len = DWORD(buf.size());
    if (ZELT_MW_GetConfig(userId.constData(), ulCmd, 0, &len, buf.data()) != 0)
        return 0xFFFFFFFFu;
    return zelt_get_u32(buf.constData(), size_t(iOffset));
}

DWORD writeField(const QByteArray &userId, DWORD ulCmd, int iOffset, quint32 ulValue)
{
    QByteArray buf(int(zelt_cfg_size(ulCmd)), '\0');
    DWORD len = DWORD(buf.size());
    const DWORD result = ZELT_MW_GetConfig(userId.constData(), ulCmd, 0, &len, buf.data());
    if (result != 0)
        return result;
    zelt_put_u32(buf.data(), size_t(iOffset), ulValue);
    return ZELT_MW_SetConfig(userId.constData(), ulCmd, 0, DWORD(buf.size()), buf.constData());
}

// Mean grey level of a band across the middle of the widget: inside the
// picture, which is fitted with black bars, and above its text strip.
int meanLevel(const QImage &image)
{
    qint64 sum = 0;
    qint64 count = 0;
    for (int y = image.height() * 3 / 10; y < image.height() * 11 / 20; y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    }
    return count ? int(sum / count) : 0;
}

void selectData(QComboBox *pCombo, int iCode)
{
    const int iIndex = pCombo->findData(iCode);
    QVERIFY2(iIndex >= 0, qPrintable(pCombo->objectName() + QStringLiteral(" lacks ") + QString::number(iCode)));
    pCombo->setCurrentIndex(iIndex);
}

void dragSlider(QSlider *pSlider, int iFrom, int iTo)
{
    pSlider->setSliderDown(true);
    const int iStep = iTo > iFrom ? 10 : -10;
    for (int v = iFrom; iStep > 0 ? v < iTo : v > iTo; v += iStep)
        pSlider->setValue(v);
    pSlider->setValue(iTo);
    pSlider->setSliderDown(false);
}

HWND hwndOf(QWidget *pWidget)
{
    return reinterpret_cast<HWND>(pWidget->winId());
}

} // namespace

class TestImageCfgForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void controlsFollowTheCapabilityDocument();
    void settingsColumnIsNeverCut();
    void sliderDragWritesOnceOnRelease();
    void listBurstWritesOnce();
    void fineTuningRereadsOffsetsOnly();
    void ledLevelOutsideItsRangeIsRefused();
    void numberFieldsTakeTheirWholeRange();
    void hiddenListsAndEmptyFieldsKeepTheReadValues();
    void invertedShutterRangeIsRefused();
    void exposureModesDisableTheirControls();
    void restoreAskedNoChangesNothing();
    void restoreDropsAPendingListChange();
    void unreadableGroupNeverWrites();
    void liveViewMovesAndFollowsSettings();
    void sharedAndAudiolessStreamsPlayAndStop();
    void lostStreamIsShownWithRetry();

private:
    Session login(int iDevice, SimFleetProcess &sim);
    std::unique_ptr<CImageCfgForm> makePage(const Session &session,
                                            const QList<stDevCapacityInfo> *pCaps = nullptr);
    template <typename T>
    static T *child(QWidget *pPage, const char *name)
    {
        T *pWidget = pPage->findChild<T *>(QLatin1String(name));
        if (!pWidget)
            qWarning("no child %s", name);
        return pWidget;
    }

    SimFleetProcess m_sim {{"--ipc", "6", "--first", kFirst, "--seed", "11", "--ipc-models", kModels}};
    SimFleetProcess m_faultSim {{"--ipc", "1", "--first", kFaultFirst, "--seed", "11", "--unreadable-image", "21"}};
    QList<QByteArray> m_userIds;
};

void TestImageCfgForm::initTestCase()
{
    qRegisterMetaType<ULONG>("ULONG");
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
    CORVANE_START_SIMULATOR(m_faultSim);
}

void TestImageCfgForm::cleanupTestCase()
{
    for (const QByteArray &userId : m_userIds)
        ZELT_MW_Logout(userId.constData());
    m_sim.stop();
    m_faultSim.stop();
}

// Each test starts from the factory image settings.
void TestImageCfgForm::cleanup()
{
    for (const QByteArray &userId : m_userIds)
        ZELT_MW_RestoreImageDefault(userId.constData(), 0, 0);
    QTRY_VERIFY(DialogHelper::noModal());
}

Session TestImageCfgForm::login(int iDevice, SimFleetProcess &sim)
{
    Session session;
    if (iDevice >= sim.devices().size())
        return session;
    char userId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", sim.devices().at(iDevice).ip.toLatin1().constData(), 0, userId) != 0)
        return session;
    session.userId = QByteArray(userId);
    m_userIds << session.userId;
    if (DevCapability::fetch(QString::fromLatin1(session.userId), DevCapability::KindImage, session.caps) != 0)
        session.caps.clear();
    return session;
}

std::unique_ptr<CImageCfgForm> TestImageCfgForm::makePage(const Session &session,
                                                          const QList<stDevCapacityInfo> *pCaps)
{
    CUIDeviceBean bean;
    bean.m_strDevType = QStringLiteral("IPC");
    bean.m_strLoginKey = QString::fromLatin1(session.userId);
    auto page = std::make_unique<CImageCfgForm>(bean, pCaps ? *pCaps : session.caps);
    page->resize(790, 520);
    // Collapsed groups disable their controls; the tests work on open groups.
    for (QGroupBox *pGroup : page->findChildren<QGroupBox *>())
        pGroup->setChecked(true);
    return page;
}

void TestImageCfgForm::controlsFollowTheCapabilityDocument()
{
    const Session full = login(Full, m_sim);
    QVERIFY(!full.userId.isEmpty());
    auto page = makePage(full);
    for (const char *name : {"oSenceGroup", "oExposureGroup", "oSmartIRGroup", "oWhiteGroup"})
        QVERIFY2(!child<QGroupBox>(page.get(), name)->isHidden(), name);
    QComboBox *pExpMode = child<QComboBox>(page.get(), "oExposureModeCombo");
    // Capability codes 1..8 become configuration codes 0, 7, 1, 2, 3, 4, 5, 6.
    QCOMPARE(pExpMode->count(), 8);
    QCOMPARE(pExpMode->itemData(0).toInt(), 0);
    QCOMPARE(pExpMode->itemData(1).toInt(), 7);
    QCOMPARE(pExpMode->itemData(2).toInt(), 1);
    QComboBox *pWhite = child<QComboBox>(page.get(), "oWhiteModeCombo");
    QCOMPARE(pWhite->count(), 4);
    QCOMPARE(pWhite->itemData(2).toInt(), 5);
    // The scene has no structure to go to: shown, but not a choice.
    QVERIFY(!child<QWidget>(page.get(), "oSceneRow")->isHidden());
    QVERIFY(!child<QComboBox>(page.get(), "oSceneCombo")->isEnabled());
    // No structure says which scene the device is in: none is shown as current.
    QCOMPARE(child<QComboBox>(page.get(), "oSceneCombo")->currentIndex(), -1);

    const Session noIr = login(NoIr, m_sim);
    QVERIFY(!noIr.userId.isEmpty());
    page = makePage(noIr);
    QVERIFY(child<QGroupBox>(page.get(), "oSmartIRGroup")->isHidden());
    QVERIFY(!child<QGroupBox>(page.get(), "oWhiteGroup")->isHidden());

    const Session plainWhite = login(PlainWhite, m_sim);
    page = makePage(plainWhite);
    pWhite = child<QComboBox>(page.get(), "oWhiteModeCombo");
    QCOMPARE(pWhite->count(), 2);
    QVERIFY(pWhite->findData(1) < 0);
    QVERIFY(pWhite->findData(5) < 0);

    // A list left with one entry is not a choice.
    const Session autoOnly = login(AutoOnly, m_sim);
    page = makePage(autoOnly);
    pExpMode = child<QComboBox>(page.get(), "oExposureModeCombo");
    QCOMPARE(pExpMode->count(), 1);
    QVERIFY(!pExpMode->isEnabled());
}

// Every row of the settings column fits beside the live picture in the
// configuration dialog's width, in both languages: the column has no
// horizontal scroll bar, so anything wider would be cut off.
void TestImageCfgForm::settingsColumnIsNeverCut()
{
    const Session full = login(Full, m_sim);
    QVERIFY(!full.userId.isEmpty());
    QTranslator english;
    QVERIFY2(english.load(QStringLiteral("lang/corvane_en.qm")), "lang/corvane_en.qm is missing next to the tests");
    // The program's own look: its fonts and style sheet make the rows wider.
    const QFont oldFont = QApplication::font();
    qApp->setStyleSheet(appStyleSheet());
    auto restore = qScopeGuard([&] {
        qApp->setStyleSheet(QString());
        QApplication::setFont(oldFont);
    });
    for (const bool bEnglish : {false, true}) {
        QApplication::setFont(CLangConfig::applicationFont(bEnglish ? CLangConfig::LangEnglish
                                                                    : CLangConfig::LangChinese));
        if (bEnglish)
            QCoreApplication::installTranslator(&english);
        // The page has the room the configuration dialog gives it, no more.
        QWidget host;
        host.setFixedSize(776, 520);
        auto page = makePage(full);
        if (bEnglish)
            QCoreApplication::removeTranslator(&english);
        page->setParent(&host);
        page->setGeometry(host.rect());
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        auto *pArea = child<QScrollArea>(page.get(), "scrollArea");
        QVERIFY(pArea);
        QWidget *pContents = pArea->widget();
        QTRY_VERIFY2(pContents->width() <= pArea->viewport()->width(),
                     qPrintable(QStringLiteral("%1: the settings need %2, their column shows %3")
                                    .arg(bEnglish ? "en" : "zh")
                                    .arg(pContents->width())
                                    .arg(pArea->viewport()->width())));
    }
}

void TestImageCfgForm::sliderDragWritesOnceOnRelease()
{
    const Session session = login(Full, m_sim);
    QVERIFY(!session.userId.isEmpty());
    auto page = makePage(session);
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    QSlider *pBright = child<QSlider>(page.get(), "oBrightnessSlider");
    dragSlider(pBright, 10, 200);
    QCOMPARE(writes.count(), 1);
    QCOMPARE(writes.at(0).at(1).toUInt(), 0u);
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_BRIGHTNESS), 200u);
    // A keyboard step is no drag: it writes at once.
    pBright->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(writes.count(), 2);
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_BRIGHTNESS), 201u);
    // The drag left the slider connected exactly once.
    dragSlider(child<QSlider>(page.get(), "oWdrLevelSlider"), 0, 7);
    QCOMPARE(writes.count(), 3);
    pBright->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(writes.count(), 4);
}

void TestImageCfgForm::listBurstWritesOnce()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    QComboBox *pMetering = child<QComboBox>(page.get(), "oMeteringCombo");
    selectData(pMetering, 1);
    selectData(pMetering, 3);
    QCOMPARE(writes.count(), 0);
    QTRY_COMPARE(writes.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(writes.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_METERING), 3u);
}

void TestImageCfgForm::fineTuningRereadsOffsetsOnly()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    QSlider *pBlue = child<QSlider>(page.get(), "oBlueOffsetSlider");
    QVERIFY(!pBlue->isEnabled());
    // Another client moves the offset; fine tuning starts from it.
    QCOMPARE(writeField(session.userId, ZELT_MW_WHITE_BALANCE_CFG, ZELT_WB_BLUE_OFFSET, 90), DWORD(0));
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    selectData(child<QComboBox>(page.get(), "oWhiteModeCombo"), 1);
    QVERIFY(pBlue->isEnabled());
    QCOMPARE(pBlue->value(), 90);
    QTRY_COMPARE(writes.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_WHITE_BALANCE_CFG, ZELT_WB_MODE), 1u);
    dragSlider(pBlue, 90, 40);
    QCOMPARE(writes.count(), 2);
    QCOMPARE(readField(session.userId, ZELT_MW_WHITE_BALANCE_CFG, ZELT_WB_BLUE_OFFSET), 40u);
    QCOMPARE(readField(session.userId, ZELT_MW_WHITE_BALANCE_CFG, ZELT_WB_MODE), 1u);
}

void TestImageCfgForm::ledLevelOutsideItsRangeIsRefused()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    QLineEdit *pNear = child<QLineEdit>(page.get(), "oNearIrLevelEdit");
    QVERIFY(!pNear->isEnabled());
    selectData(child<QComboBox>(page.get(), "oIrCtrlCombo"), 3);
    QVERIFY(pNear->isEnabled());
    QTRY_COMPARE(writes.count(), 1);

    pNear->setText(QStringLiteral("1001"));
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    emit pNear->editingFinished();
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("有效值为0~1000的整数，请重新输入。"));
    QCOMPARE(pNear->text(), QStringLiteral("300"));
    QCOMPARE(writes.count(), 1);
    // The same value again is no change.
    emit pNear->editingFinished();
    QCOMPARE(writes.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_IR_CTRL_CFG, ZELT_IR_NEAR_LEVEL), 300u);
}

void TestImageCfgForm::numberFieldsTakeTheirWholeRange()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    selectData(child<QComboBox>(page.get(), "oExposureModeCombo"), 7);
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    QTRY_COMPARE(writes.count(), 1);
    QLineEdit *pGain = child<QLineEdit>(page.get(), "oGainEdit");
    QVERIFY(pGain->isEnabled());
    for (int iValue : {100, 0}) {
        QTest::keyClick(pGain, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(pGain, QString::number(iValue));
        QCOMPARE(pGain->text(), QString::number(iValue));
        emit pGain->editingFinished();
        QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_GAIN), quint32(iValue));
    }
    QCOMPARE(writes.count(), 3);
    QCOMPARE(writes.last().at(1).toUInt(), 0u);

    // Without a range in the document the field cannot be used.
    QList<stDevCapacityInfo> caps;
    for (const stDevCapacityInfo &info : session.caps) {
        if (info.strParentName != QLatin1String("Gain"))
            caps << info;
    }
    page = makePage(session, &caps);
    QVERIFY(!child<QLineEdit>(page.get(), "oGainEdit")->isEnabled());
    QVERIFY(!child<QLineEdit>(page.get(), "oMinGainEdit")->isEnabled());
}

void TestImageCfgForm::hiddenListsAndEmptyFieldsKeepTheReadValues()
{
    const Session session = login(Full, m_sim);
    QCOMPARE(writeField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_METERING, 2), DWORD(0));
    QCOMPARE(writeField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_GAIN, 37), DWORD(0));
    QList<stDevCapacityInfo> caps;
    for (const stDevCapacityInfo &info : session.caps) {
        if (info.strTagName != QLatin1String("Metering"))
            caps << info;
    }
    auto page = makePage(session, &caps);
    QVERIFY(child<QWidget>(page.get(), "oMeteringRow")->isHidden());
    QCOMPARE(child<QComboBox>(page.get(), "oMeteringCombo")->count(), 0);
    selectData(child<QComboBox>(page.get(), "oExposureModeCombo"), 7);
    child<QLineEdit>(page.get(), "oGainEdit")->clear();
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    QTRY_COMPARE(writes.count(), 1);
    QCOMPARE(writes.at(0).at(1).toUInt(), 0u);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_MODE), 7u);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_METERING), 2u);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_GAIN), 37u);
}

void TestImageCfgForm::invertedShutterRangeIsRefused()
{
    // 25 frames per second: 1/25 s is the slowest shutter without slow shutter.
    const Session session = login(NoIr, m_sim);
    auto page = makePage(session);
    QComboBox *pSlow = child<QComboBox>(page.get(), "oSlowShutterCombo");
    QComboBox *pFast = child<QComboBox>(page.get(), "oFastShutterCombo");
    QCOMPARE(pSlow->itemData(0).toInt(), 25);
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    selectData(pSlow, 50);
    QTRY_COMPARE(writes.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_SLOW_SHUTTER), 50u);

    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    selectData(pFast, 25);
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("最快快门不能慢于最慢快门。"));
    QCOMPARE(pFast->currentData().toInt(), 10000);
    QCOMPARE(pSlow->currentData().toInt(), 50);
    QCoreApplication::processEvents();
    QCOMPARE(writes.count(), 1);

    // Slow shutter on: the slowest slow shutter becomes the limit.
    child<QWidget>(page.get(), "oSlowShutterOnRatio")->setFocus();
    QTest::mouseClick(child<QWidget>(page.get(), "oSlowShutterOnRatio"), Qt::LeftButton);
    QCOMPARE(writes.count(), 2);
    QCOMPARE(pSlow->itemData(0).toInt(), 12);
    QVERIFY(child<QComboBox>(page.get(), "oMaxSlowShutterCombo")->isEnabled());
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_SLOW_SHUTTER_ON), 1u);
}

void TestImageCfgForm::exposureModesDisableTheirControls()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    QComboBox *pMode = child<QComboBox>(page.get(), "oExposureModeCombo");
    selectData(pMode, 7);
    for (const char *name : {"oShutterCombo", "oGainEdit", "oIrisCombo"})
        QVERIFY2(child<QWidget>(page.get(), name)->isEnabled(), name);
    QVERIFY(!child<QWidget>(page.get(), "oMeteringCombo")->isEnabled());
    selectData(pMode, 0);
    for (const char *name : {"oShutterCombo", "oGainEdit", "oIrisCombo", "oSlowShutterCombo", "oFastShutterCombo",
                             "oMinGainEdit", "oMaxGainEdit"})
        QVERIFY2(!child<QWidget>(page.get(), name)->isEnabled(), name);
    QVERIFY(child<QWidget>(page.get(), "oMeteringCombo")->isEnabled());
    // Custom exposure shows the ranges instead of the single values.
    selectData(pMode, 1);
    QVERIFY(child<QWidget>(page.get(), "oShutterRow")->isHidden());
    QVERIFY(!child<QWidget>(page.get(), "oShutterRangeRow")->isHidden());
    QVERIFY(!child<QWidget>(page.get(), "oGainRangeRow")->isHidden());
    QVERIFY(!child<QWidget>(page.get(), "oIrisCombo")->isEnabled());
    // Wide dynamic range on: its level can be set, except where the mode takes it over.
    selectData(pMode, 0);
    selectData(child<QComboBox>(page.get(), "oWdrCombo"), 1);
    QVERIFY(child<QWidget>(page.get(), "oWdrLevelSlider")->isEnabled());
    selectData(pMode, 1);
    QVERIFY(!child<QWidget>(page.get(), "oWdrLevelSlider")->isEnabled());

    // A control change is written at once: the device holds the manual mode
    // and the shutter chosen (the picture itself: liveViewMovesAndFollowsSettings).
    QSignalSpy writes(page.get(), &CImageCfgForm::sendReportSignal);
    selectData(pMode, 7);
    selectData(child<QComboBox>(page.get(), "oShutterCombo"), 1000);
    QTRY_COMPARE(writes.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_SHUTTER), 1000u);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_MODE), 7u);
}

void TestImageCfgForm::restoreAskedNoChangesNothing()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    QSlider *pBright = child<QSlider>(page.get(), "oBrightnessSlider");
    pBright->setValue(10);
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_BRIGHTNESS), 10u);
    QPushButton *pDefault = child<QPushButton>(page.get(), "oDefaultBtn");

    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    pDefault->click();
    QVERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("您确定要恢复默认参数吗？"));
    QVERIFY(pDefault->isEnabled());
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_BRIGHTNESS), 10u);

    QSignalSpy reports(page.get(), &CImageCfgForm::sendReportSignal);
    seen = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    pDefault->click();
    QVERIFY(seen->done);
    QVERIFY(!pDefault->isEnabled());
    QTRY_VERIFY(pDefault->isEnabled());
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("默认参数恢复成功！"));
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_BRIGHTNESS), 128u);
    QCOMPARE(pBright->value(), 128);
    // Read again, connected once: one step, one write.
    pBright->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(reports.count(), 2);
}

void TestImageCfgForm::restoreDropsAPendingListChange()
{
    const Session session = login(Full, m_sim);
    auto page = makePage(session);
    QSignalSpy reports(page.get(), &CImageCfgForm::sendReportSignal);
    selectData(child<QComboBox>(page.get(), "oMirrorCombo"), 2);
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    child<QPushButton>(page.get(), "oDefaultBtn")->click();
    QVERIFY(seen->done);
    QTRY_COMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("默认参数恢复成功！"));
    QCoreApplication::processEvents();
    QCOMPARE(reports.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_MIRROR), 0u);
    QCOMPARE(child<QComboBox>(page.get(), "oMirrorCombo")->currentData().toInt(), 0);

    // Answered no, the pending change still goes out.
    selectData(child<QComboBox>(page.get(), "oMirrorCombo"), 1);
    seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    child<QPushButton>(page.get(), "oDefaultBtn")->click();
    QVERIFY(seen->done);
    QTRY_COMPARE(reports.count(), 2);
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_MIRROR), 1u);
}

void TestImageCfgForm::unreadableGroupNeverWrites()
{
    const Session session = login(0, m_faultSim);
    QVERIFY(!session.userId.isEmpty());
    auto page = makePage(session);
    QSignalSpy reports(page.get(), &CImageCfgForm::sendReportSignal);
    // The group that could not be read takes no edits, and the page says why.
    QVERIFY(!child<QWidget>(page.get(), "oWhiteGroupBody")->isEnabled());
    QVERIFY(child<QWidget>(page.get(), "oSenceGroupBody")->isEnabled());
    QCOMPARE(child<QLabel>(page.get(), "oReportLabel")->text(), QStringLiteral("读取参数失败，该组不能配置。"));
    QComboBox *pWhite = child<QComboBox>(page.get(), "oWhiteModeCombo");
    QVERIFY(pWhite->count() > 1);
    pWhite->setCurrentIndex(pWhite->count() - 1);
    child<QSlider>(page.get(), "oRedOffsetSlider")->setValue(3);
    // A readable group's list timer, started after, fires after the white one would have.
    selectData(child<QComboBox>(page.get(), "oMirrorCombo"), 2);
    QTRY_COMPARE(reports.count(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(reports.count(), 1);
    QCOMPARE(readField(session.userId, ZELT_MW_IMAGE_ENHANCE_CFG, ZELT_ENH_MIRROR), 2u);
}

void TestImageCfgForm::liveViewMovesAndFollowsSettings()
{
    const Session session = login(Live, m_sim);
    QVERIFY(!session.userId.isEmpty());
    DWORD stream = 0;
    const DWORD result = ZELT_MW_StartMediaStream(session.userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream);
    QCOMPARE(result, DWORD(0));
    auto page = makePage(session);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    QSignalSpy reports(page.get(), &CImageCfgForm::sendReportSignal);
    page->startLivePlay(stream, result);
    QCOMPARE(reports.count(), 0);
    CVideoWidget *pVideo = child<CVideoWidget>(page.get(), "oLivePlayWidget");
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) > 40, 5000);
    const QImage first = pVideo->grab().toImage();
    QTRY_VERIFY_WITH_TIMEOUT(pVideo->grab().toImage() != first, 2000);

    const int normal = meanLevel(pVideo->grab().toImage());
    child<QSlider>(page.get(), "oBrightnessSlider")->setValue(20);
    QCOMPARE(reports.count(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) < normal - 50, 2000);
    // Less light through the exposure darkens it too.
    child<QSlider>(page.get(), "oBrightnessSlider")->setValue(128);
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) > normal - 10, 2000);
    child<QSlider>(page.get(), "oCompenSlider")->setValue(-100);
    QCOMPARE(readField(session.userId, ZELT_MW_EXPOSURE_CFG, ZELT_EXP_COMPENSATION), quint32(-100));
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) < normal - 25, 2000);
    child<QSlider>(page.get(), "oCompenSlider")->setValue(0);
    // Black and white: no colour left in the picture.
    selectData(child<QComboBox>(page.get(), "oDayNigthModeCombo"), 2);
    QTRY_COMPARE(reports.count(), 5);
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            const QImage image = pVideo->grab().toImage();
            const QRgb centre = image.pixel(image.width() / 4, image.height() / 4);
            return qAbs(qRed(centre) - qBlue(centre)) < 12 && qAbs(qGreen(centre) - qBlue(centre)) < 12;
        }(),
        2000);

    const HWND hWnd = hwndOf(pVideo);
    page.reset();
    ZeltPlayStats stats {};
    QCOMPARE(ZELT_DBG_GetPlayStats(hWnd, &stats), DWORD(ZELT_MW_ERR_NO_WINDOW));
    QCOMPARE(ZELT_MW_StopMediaStream(session.userId.constData(), stream), DWORD(ZELT_MW_ERR_STREAM));
}

void TestImageCfgForm::sharedAndAudiolessStreamsPlayAndStop()
{
    const Session session = login(NoAudio, m_sim);
    QVERIFY(!session.userId.isEmpty());
    DWORD stream = 0;
    DWORD result = ZELT_MW_StartMediaStream(session.userId.constData(), 0, 1, 1, "0.0.0.0", 10086, 1, &stream);
    QCOMPARE(result, DWORD(ZELT_MW_STREAM_NO_AUDIO));
    auto page = makePage(session);
    page->show();
    page->startLivePlay(stream, result);
    CVideoWidget *pVideo = child<CVideoWidget>(page.get(), "oLivePlayWidget");
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) > 40, 5000);
    QCOMPARE(deviceStreamCount(session.userId), 1);
    page.reset();
    QCOMPARE(ZELT_MW_StopMediaStream(session.userId.constData(), stream), DWORD(ZELT_MW_ERR_STREAM));
    QTRY_COMPARE(deviceStreamCount(session.userId), 0);

    // 259: the stream was already running; the page's stop releases only its share.
    DWORD own = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(session.userId.constData(), 0, 1, 1, "0.0.0.0", 10086, 1, &own),
             DWORD(ZELT_MW_STREAM_NO_AUDIO));
    result = ZELT_MW_StartMediaStream(session.userId.constData(), 0, 1, 1, "0.0.0.0", 10086, 1, &stream);
    QCOMPARE(result, DWORD(ZELT_MW_STREAM_SHARED));
    QCOMPARE(stream, own);
    page = makePage(session);
    page->show();
    page->startLivePlay(stream, result);
    pVideo = child<CVideoWidget>(page.get(), "oLivePlayWidget");
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) > 40, 5000);
    page.reset();
    QCOMPARE(deviceStreamCount(session.userId), 1);
    QCOMPARE(ZELT_MW_StopMediaStream(session.userId.constData(), own), DWORD(0));
    QCOMPARE(ZELT_MW_StopMediaStream(session.userId.constData(), own), DWORD(ZELT_MW_ERR_STREAM));
    QTRY_COMPARE(deviceStreamCount(session.userId), 0);

    // Any other result is a failed start: reported, and nothing to stop.
    page = makePage(session);
    QSignalSpy reports(page.get(), &CImageCfgForm::sendReportSignal);
    page->startLivePlay(0, ZELT_MW_ERR_CONNECT);
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("流媒体开启失败！"));
    QCOMPARE(reports.at(0).at(1).toUInt(), uint(ZELT_MW_ERR_CONNECT));
    QCOMPARE(page->stopLivePlay(), DWORD(0));
}

void TestImageCfgForm::lostStreamIsShownWithRetry()
{
    const Session session = login(0, m_faultSim);
    QVERIFY(!session.userId.isEmpty());
    DWORD stream = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(session.userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream), DWORD(0));
    auto page = makePage(session);
    page->show();
    page->startLivePlay(stream, 0);
    QSignalSpy gone(page.get(), &CImageCfgForm::sendDevGoneSignal);
    auto *pNote = child<QFrame>(page.get(), "oLiveNoteFrame");
    QVERIFY(pNote->isHidden());

    // The device stops answering: the picture no longer pretends to be live.
    const auto pid = pid_t(m_faultSim.processId());
    struct Thaw
    {
        pid_t pid;
        ~Thaw() { ::kill(pid, SIGCONT); }
    } thaw{pid};
    QCOMPARE(::kill(pid, SIGSTOP), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!pNote->isHidden(), 15000);
    QVERIFY(child<QLabel>(page.get(), "oLiveNoteLabel")->text().startsWith(QStringLiteral("视频流已中断。\n原因：")));
    QCOMPARE(gone.count(), 1);

    // Back again: the retry brings the picture back.
    QCOMPARE(::kill(pid, SIGCONT), 0);
    child<QPushButton>(page.get(), "oLiveRetryBtn")->click();
    QVERIFY(pNote->isHidden());
    CVideoWidget *pVideo = child<CVideoWidget>(page.get(), "oLivePlayWidget");
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(pVideo->grab().toImage()) > 40, 10000);
    QVERIFY(pNote->isHidden());
}

QTEST_MAIN(TestImageCfgForm)
#include "tst_imagecfgform.moc"
