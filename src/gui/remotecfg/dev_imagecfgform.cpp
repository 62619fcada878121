#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "cfgreport.h"
#include "devcapability.h"
#include "msgdlg.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QRegExpValidator>
#include <QSignalBlocker>

#include <tuple>

Q_LOGGING_CATEGORY(lcImageCfg, "corvane.remotecfg.image")

namespace {

using CodeTable = QList<QPair<int, QString>>;

// Capability code -> configuration code of the lists whose codes differ.
const QList<QPair<int, int>> kExpModeCodes = {{1, 0}, {2, 7}, {3, 1}, {4, 2}, {5, 3}, {6, 4}, {7, 5}, {8, 6}};
const QList<QPair<int, int>> kWhiteModeCodes = {{1, 0}, {2, 1}, {6, 5}, {7, 6}};
const QList<QPair<int, int>> kIrModeCodes = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}};
const QList<QPair<int, int>> kWdrCodes = {{1, 2}, {2, 1}};

const quint32 kShutters[] = {1,   2,   3,   4,   6,   8,    10,   12,   15,   20,    25,    30,    50,    60,
                             100, 120, 150, 180, 200, 250,  500,  1000, 2000, 4000,  8000,  10000, 20000, 30000};

quint32 u32At(const QByteArray &data, int iOffset)
{
    return zelt_get_u32(data.constData(), size_t(iOffset));
}

void putU32(QByteArray &data, int iOffset, quint32 ulValue)
{
    zelt_put_u32(data.data(), size_t(iOffset), ulValue);
}

QString shutterText(quint32 ulDen)
{
    return ulDen == 1 ? QStringLiteral("1") : QStringLiteral("1/%1").arg(ulDen);
}

// Selects the entry whose data is iCode; none (-1) when the list lacks it.
void selectCode(QComboBox *pCombo, int iCode)
{
    const QSignalBlocker blocker(pCombo);
    pCombo->setCurrentIndex(pCombo->findData(iCode));
}

bool rowShown(const QWidget *pRow)
{
    return !pRow->isHidden();
}

// The list's value when it shows one, else the value that was read.
quint32 comboValue(const QComboBox *pCombo, const QWidget *pRow, quint32 ulStored)
{
    if (!rowShown(pRow) || pCombo->currentIndex() < 0)
        return ulStored;
    return pCombo->currentData().toUInt();
}

bool parseRange(const QString &strText, int &iMin, int &iMax)
{
    const QStringList parts = strText.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    bool bMinOk = false;
    bool bMaxOk = false;
    iMin = parts.at(0).trimmed().toInt(&bMinOk);
    iMax = parts.at(1).trimmed().toInt(&bMaxOk);
    return bMinOk && bMaxOk && iMin <= iMax;
}

} // namespace

CImageCfgForm::CImageCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                             QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CImageCfgForm)
    , m_devBean(oBean)
    , m_capList(capList)
{
    ui->setupUi(this);
    ui->oLivePlayWidget->setStyleSheet(QStringLiteral("background-color: rgb(0,0,0)"));
    initNumberFields();

    fillShutterLists();
    readShutterLimit();

    m_pReport = new CCfgReport(ui->oReportFrame, ui->oIconLabel, ui->oReportLabel, this);
    ui->oReportLabel->clear();
    connect(this, &CImageCfgForm::sendReportSignal, this, &CImageCfgForm::showReportSlot);
    connect(m_pReport->timer(), &QTimer::timeout, this, &CImageCfgForm::onShowReportTimer);
    hideAll();

    parseCapabilities();
    finishNumberFields();

    for (QTimer *pTimer : {&m_enhanceTimer, &m_exposureTimer, &m_whiteTimer, &m_irCtrlTimer, &m_restoreTimer})
        pTimer->setSingleShot(true);
    connect(&m_enhanceTimer, &QTimer::timeout, this, &CImageCfgForm::onEnhanceCfgTimer);
    connect(&m_exposureTimer, &QTimer::timeout, this, &CImageCfgForm::onExposureCfgTimer);
    connect(&m_whiteTimer, &QTimer::timeout, this, &CImageCfgForm::onWhiteCfgTimer);
    connect(&m_irCtrlTimer, &QTimer::timeout, this, &CImageCfgForm::onIrCtrlCfgTimer);
    connect(&m_restoreTimer, &QTimer::timeout, this, &CImageCfgForm::onRestoreParamTimer);
    readAllGroups();

    connect(ui->oSenceGroup, &QGroupBox::clicked, this, &CImageCfgForm::senceGroupSlot);
    connect(ui->oExposureGroup, &QGroupBox::clicked, this, &CImageCfgForm::exposureGroupSlot);
    connect(ui->oSmartIRGroup, &QGroupBox::clicked, this, &CImageCfgForm::smartIRGroupSlot);
    connect(ui->oWhiteGroup, &QGroupBox::clicked, this, &CImageCfgForm::whiteGroupSlot);
    ui->oSenceGroup->setChecked(false);
    setGroupExpanded(ui->oSenceGroup, false);
    ui->oExposureGroup->setChecked(false);
    setGroupExpanded(ui->oExposureGroup, false);

    connect(ui->oLivePlayWidget, &CVideoWidget::sendScreenChangedSignal, this,
            &CImageCfgForm::videoScreenChangedSlot);
}

CImageCfgForm::~CImageCfgForm()
{
    if (m_bPlaying)
        stopLivePlay();
}

QByteArray CImageCfgForm::userId() const
{
    return m_devBean.m_strLoginKey.toLatin1();
}

// --- construction ----------------------------------------------------------

void CImageCfgForm::initNumberFields()
{
    // 0 is a value like any other where the range allows it.
    const QRegExp number(QStringLiteral("^(0|[1-9][0-9]*)$"));
    const QList<QPair<QLineEdit *, int>> fields = {
        {ui->oGainEdit, 2},        {ui->oMinGainEdit, 2},    {ui->oMaxGainEdit, 2},     {ui->oDayNightTimeEdit, 3},
        {ui->oNearIrLevelEdit, 4}, {ui->oMidIrLevelEdit, 4}, {ui->oFarIrLevelEdit, 4}};
    for (const auto &field : fields) {
        field.first->setValidator(new QRegExpValidator(number, field.first));
        field.first->setMaxLength(field.second);
    }
}

void CImageCfgForm::fillShutterLists()
{
    for (QComboBox *pCombo : {ui->oShutterCombo, ui->oSlowShutterCombo, ui->oFastShutterCombo,
                              ui->oMaxSlowShutterCombo}) {
        for (quint32 ulDen : kShutters)
            pCombo->addItem(shutterText(ulDen), int(ulDen));
    }
}

void CImageCfgForm::readShutterLimit()
{
    QByteArray input;
    if (readGroup(ZELT_MW_VIDEO_INPUT_MODE_CFG, input))
        m_ulShutterLimit = u32At(input, ZELT_VIN_MAX_FPS);
}

void CImageCfgForm::hideAll()
{
    for (QGroupBox *pGroup : {ui->oSenceGroup, ui->oExposureGroup, ui->oSmartIRGroup, ui->oWhiteGroup})
        pGroup->hide();
    const QList<QWidget *> rows = findChildren<QWidget *>(QRegularExpression(QStringLiteral("^o.*Row$")));
    for (QWidget *pRow : rows)
        pRow->hide();
    for (QComboBox *pCombo : findChildren<QComboBox *>()) {
        // The shutter lists are rebuilt from the full list by their ranges.
        if (pCombo == ui->oShutterCombo || pCombo == ui->oSlowShutterCombo || pCombo == ui->oFastShutterCombo
            || pCombo == ui->oMaxSlowShutterCombo)
            continue;
        pCombo->clear();
    }
}

void CImageCfgForm::addListEntries(QComboBox *pCombo, const QString &strCodes, const CodeTable &table)
{
    for (int iCode : DevCapability::intList(strCodes)) {
        for (const auto &entry : table) {
            if (entry.first == iCode && pCombo->findData(iCode) < 0)
                pCombo->addItem(entry.second, entry.first);
        }
    }
}

void CImageCfgForm::parseCapabilities()
{
    const CodeTable mirrorTexts = {{0, tr("正常")}, {1, tr("垂直")}, {2, tr("水平")}, {3, tr("水平 + 垂直")},
                                   {4, tr("向右旋转90°")}};
    const CodeTable expModeTexts = {{0, tr("自动曝光")},   {1, tr("自定义曝光")}, {2, tr("快门优先")},
                                    {3, tr("光圈优先")},   {4, tr("增益优先")},   {5, tr("室内50HZ")},
                                    {6, tr("室内60HZ")},   {7, tr("手动曝光")}};
    const CodeTable meteringTexts = {{0, tr("中央权重")}, {1, tr("区域测光")}, {2, tr("强光抑制")}, {3, tr("车辆测光")}};
    const CodeTable dayNightTexts = {{0, tr("自动")}, {1, tr("彩色")}, {2, tr("黑白")}, {3, tr("开关量控制")}};
    const CodeTable sensTexts = {{0, tr("超低")}, {1, tr("低")}, {5, tr("中")}, {9, tr("高")}};
    const CodeTable wdrTexts = {{0, tr("关闭")}, {1, tr("开启")}, {2, tr("自动")}};
    const CodeTable whiteTexts = {{0, tr("自动")}, {1, tr("微调")}, {5, tr("夜间微调")}, {6, tr("钠灯")}};
    const CodeTable irTexts = {{0, tr("全局兼顾")}, {1, tr("过曝抑制")}, {2, tr("道路模式")}, {3, tr("手动")},
                               {4, tr("园区模式")}};
    const CodeTable sceneTexts = {{0, tr("室内")}, {1, tr("室外")}};

    // Adds the listed capability codes, translated, in list order.
    auto addTranslated = [](QComboBox *pCombo, const QString &strCodes, const QList<QPair<int, int>> &codes,
                            const CodeTable &texts) {
        for (int iCap : DevCapability::intList(strCodes)) {
            for (const auto &code : codes) {
                if (code.first != iCap || pCombo->findData(code.second) >= 0)
                    continue;
                for (const auto &text : texts) {
                    if (text.first == code.second)
                        pCombo->addItem(text.second, text.first);
                }
            }
        }
    };

    QList<QComboBox *> lists;
    for (const stDevCapacityInfo &info : m_capList) {
        const QString &strTag = info.strTagName;
        const QString &strParent = info.strParentName;
        const QString &strText = info.strText;
        if (strTag == QLatin1String("Enhance")) {
            ui->oSenceGroup->show();
        } else if (strTag == QLatin1String("Exposure")) {
            ui->oExposureGroup->show();
        } else if (strTag == QLatin1String("IrCtrl")) {
            ui->oSmartIRGroup->show();
        } else if (strTag == QLatin1String("WhiteBalance")) {
            ui->oWhiteGroup->show();
            ui->oWhiteModeRow->show();
            ui->oBlueOffsetRow->show();
            ui->oRedOffsetRow->show();
        } else if (strTag == QLatin1String("Brightness")) {
            ui->oBrightnessRow->show();
        } else if (strTag == QLatin1String("Contrast")) {
            ui->oContrastRow->show();
        } else if (strTag == QLatin1String("Saturation")) {
            ui->oSaturationRow->show();
        } else if (strTag == QLatin1String("Sharpness")) {
            ui->oSharpnessRow->show();
        } else if (strTag == QLatin1String("_2D")) {
            ui->oDenoise2DRow->show();
        } else if (strTag == QLatin1String("_3D")) {
            ui->oDenoise3DRow->show();
        } else if (strTag == QLatin1String("Scene")) {
            ui->oSceneRow->show();
            addListEntries(ui->oSceneCombo, strText, sceneTexts);
        } else if (strTag == QLatin1String("Shutter")) {
            m_bHasShutter = true;
            applyRange(strParent, strTag, strText);
        } else if (strTag == QLatin1String("Gain")) {
            m_bHasGain = true;
        } else if (strTag == QLatin1String("Compensate")) {
            ui->oCompenRow->show();
        } else if (strTag == QLatin1String("Iris")) {
            ui->oIrisRow->show();
            applyRange(strParent, strTag, strText);
        } else if (strTag == QLatin1String("Metering")) {
            ui->oMeteringRow->show();
            addListEntries(ui->oMeteringCombo, strText, meteringTexts);
            lists << ui->oMeteringCombo;
        } else if (strTag == QLatin1String("Time")) {
            ui->oDayNightTimeRow->show();
        } else if (strTag == QLatin1String("Mirror")) {
            ui->oMirrorRow->show();
            ui->oMirrorCombo->addItem(mirrorTexts.first().second, 0);
            addListEntries(ui->oMirrorCombo, strText, mirrorTexts);
            lists << ui->oMirrorCombo;
        } else if (strTag == QLatin1String("WDR")) {
            ui->oWdrRow->show();
            ui->oWdrLevelRow->show();
            ui->oWdrCombo->addItem(wdrTexts.first().second, 0);
            addTranslated(ui->oWdrCombo, strText, kWdrCodes, wdrTexts);
            lists << ui->oWdrCombo;
        } else if (strTag == QLatin1String("Mode") && strParent == QLatin1String("Exposure")) {
            ui->oExposureModeRow->show();
            addTranslated(ui->oExposureModeCombo, strText, kExpModeCodes, expModeTexts);
            lists << ui->oExposureModeCombo;
        } else if (strTag == QLatin1String("Mode") && strParent == QLatin1String("DayNight")) {
            ui->oDayNightModeRow->show();
            const QList<int> codes = DevCapability::intList(strText);
            for (int iCap : codes) {
                if (iCap == 1) {
                    ui->oDayNigthModeCombo->addItem(dayNightTexts.at(0).second, 0);
                    ui->oDayNightSensRow->show();
                    for (const auto &sens : sensTexts)
                        ui->oDayNigthSensCombo->addItem(sens.second, sens.first);
                } else if (iCap == 2) {
                    ui->oDayNigthModeCombo->addItem(dayNightTexts.at(1).second, 1);
                    ui->oDayNigthModeCombo->addItem(dayNightTexts.at(2).second, 2);
                } else if (iCap == 3) {
                    ui->oDayNigthModeCombo->addItem(dayNightTexts.at(3).second, 3);
                }
            }
            lists << ui->oDayNigthModeCombo;
        } else if (strTag == QLatin1String("Mode") && strParent == QLatin1String("WhiteBalance")) {
            addTranslated(ui->oWhiteModeCombo, strText, kWhiteModeCodes, whiteTexts);
            lists << ui->oWhiteModeCombo;
        } else if (strTag == QLatin1String("Mode") && strParent == QLatin1String("IrCtrl")) {
            ui->oIrCtrlRow->show();
            addTranslated(ui->oIrCtrlCombo, strText, kIrModeCodes, irTexts);
            lists << ui->oIrCtrlCombo;
        } else if (strTag == QLatin1String("NearIrLedLevel")) {
            ui->oNearIrLevelRow->show();
        } else if (strTag == QLatin1String("MiddleIrLedLevel")) {
            ui->oMidIrLevelRow->show();
        } else if (strTag == QLatin1String("FarIrLedLevel")) {
            ui->oFarIrLevelRow->show();
        } else if (strTag == QLatin1String("SlowRange")) {
            ui->oSlowShutterRow->show();
            ui->oMaxSlowShutterRow->show();
            applyRange(strParent, strTag, strText);
        } else if (strTag == QLatin1String("FastRange")) {
            m_bHasShutterRange = true;
            applyRange(strParent, strTag, strText);
        } else {
            applyRange(strParent, strTag, strText);
        }
    }
    // The scene is shown for information: no structure carries it.
    ui->oSceneCombo->setEnabled(false);
    for (QComboBox *pCombo : lists) {
        if (pCombo->count() == 1)
            pCombo->setEnabled(false);
    }
}

void CImageCfgForm::applyRange(const QString &strParent, const QString &strTag, const QString &strText)
{
    int iMin = 0;
    int iMax = 0;
    if (!parseRange(strText, iMin, iMax))
        return;
    const NumberRange range {iMin, iMax, true};
    if (strTag == QLatin1String("Range") && strParent == QLatin1String("Gain")) {
        m_gainRange = range;
    } else if (strTag == QLatin1String("MinRange") && strParent == QLatin1String("Gain")) {
        m_minGainRange = range;
    } else if (strTag == QLatin1String("MaxRange") && strParent == QLatin1String("Gain")) {
        m_maxGainRange = range;
    } else if (strTag == QLatin1String("Range") && strParent == QLatin1String("Time")) {
        m_timeRange = range;
    } else if (strTag == QLatin1String("RangeNear") && strParent == QLatin1String("NearIrLedLevel")) {
        m_nearRange = range;
    } else if (strTag == QLatin1String("RangeNear") && strParent == QLatin1String("MiddleIrLedLevel")) {
        m_midRange = range;
    } else if (strTag == QLatin1String("RangeNear") && strParent == QLatin1String("FarIrLedLevel")) {
        m_farRange = range;
    } else if (strTag == QLatin1String("Shutter") || strTag == QLatin1String("SlowRange")) {
        QComboBox *pCombo = strTag == QLatin1String("Shutter") ? ui->oShutterCombo : ui->oMaxSlowShutterCombo;
        for (int i = pCombo->count() - 1; i >= 0; --i) {
            const int iDen = pCombo->itemData(i).toInt();
            if (iDen < iMin || iDen > iMax)
                pCombo->removeItem(i);
        }
    } else if (strTag == QLatin1String("FastRange")) {
        m_ulRangeMin = ULONG(qMax(0, iMin));
        m_ulRangeMax = ULONG(qMax(0, iMax));
    } else if (strTag == QLatin1String("Iris")) {
        ui->oIrisCombo->clear();
        for (int iLevel = iMin; iLevel <= iMax; iLevel += qMax(1, (iMax - iMin) / 10))
            ui->oIrisCombo->addItem(QString::number(iLevel), iLevel);
    }
}

// The field's length follows its range, so its whole range can be typed;
// without a range nothing could be accepted, so the field is disabled.
void CImageCfgForm::finishNumberFields()
{
    const QList<QPair<QLineEdit *, const NumberRange *>> fields = {
        {ui->oGainEdit, &m_gainRange},        {ui->oMinGainEdit, &m_minGainRange},
        {ui->oMaxGainEdit, &m_maxGainRange},  {ui->oDayNightTimeEdit, &m_timeRange},
        {ui->oNearIrLevelEdit, &m_nearRange}, {ui->oMidIrLevelEdit, &m_midRange},
        {ui->oFarIrLevelEdit, &m_farRange}};
    for (const auto &field : fields) {
        if (field.second->bValid)
            field.first->setMaxLength(qMax(field.first->maxLength(), QString::number(field.second->iMax).size()));
        field.first->setEnabled(field.second->bValid);
    }
    if (m_maxGainRange.iMax == 0)
        ui->oMinGainEdit->setEnabled(false);
}

// --- reading ---------------------------------------------------------------

bool CImageCfgForm::readGroup(DWORD ulCmd, QByteArray &data)
{
    const DWORD ulSize = DWORD(zelt_cfg_size(ulCmd));
    data = QByteArray(int(ulSize), '\0');
    DWORD ulLen = ulSize;
    const DWORD ulResult = ZELT_MW_GetConfig(userId().constData(), ulCmd, 0, &ulLen, data.data());
    if (ulResult != 0) {
        qCDebug(lcImageCfg) << "ZELT_MW_GetConfig" << ulCmd << "failed:" << ulResult;
        data.clear();
        return false;
    }
    return true;
}

void CImageCfgForm::readAllGroups()
{
    readEnhance();
    readExposure();
    readWhite();
    readIrCtrl();
}

void CImageCfgForm::readEnhance()
{
    QByteArray data;
    if (!readGroup(ZELT_MW_IMAGE_ENHANCE_CFG, data))
        return;
    m_enhance = data;
    const QList<QPair<QSlider *, int>> sliders = {
        {ui->oBrightnessSlider, ZELT_ENH_BRIGHTNESS}, {ui->oContrastSlider, ZELT_ENH_CONTRAST},
        {ui->oSaturationSlider, ZELT_ENH_SATURATION}, {ui->oSharpnessSlider, ZELT_ENH_SHARPNESS},
        {ui->oDenoise2DSlider, ZELT_ENH_DENOISE_2D},  {ui->oDenoise3DSlider, ZELT_ENH_DENOISE_3D}};
    for (const auto &slider : sliders) {
        const QSignalBlocker blocker(slider.first);
        slider.first->setValue(int(u32At(data, slider.second)));
    }
    m_iMirror = int(u32At(data, ZELT_ENH_MIRROR));
    selectCode(ui->oMirrorCombo, m_iMirror);
    connectEnhance();
}

void CImageCfgForm::readExposure()
{
    QByteArray data;
    if (!readGroup(ZELT_MW_EXPOSURE_CFG, data))
        return;
    m_exposure = data;
    m_iExpMode = int(u32At(data, ZELT_EXP_MODE));
    m_iMetering = int(u32At(data, ZELT_EXP_METERING));
    m_iDayNightMode = int(u32At(data, ZELT_EXP_DAYNIGHT_MODE));
    m_iDayNightSens = int(u32At(data, ZELT_EXP_DAYNIGHT) & 0xFFFFu);
    m_iWdrMode = int(u32At(data, ZELT_EXP_WDR_MODE));
    m_bSlowShutter = u32At(data, ZELT_EXP_SLOW_SHUTTER_ON) == 1;

    selectCode(ui->oExposureModeCombo, m_iExpMode);
    selectCode(ui->oMeteringCombo, m_iMetering);
    selectCode(ui->oDayNigthModeCombo, m_iDayNightMode);
    selectCode(ui->oDayNigthSensCombo, m_iDayNightSens);
    selectCode(ui->oWdrCombo, m_iWdrMode);
    selectCode(ui->oIrisCombo, int(u32At(data, ZELT_EXP_IRIS)));
    selectCode(ui->oShutterCombo, int(u32At(data, ZELT_EXP_SHUTTER)));
    selectCode(ui->oMaxSlowShutterCombo, int(u32At(data, ZELT_EXP_MAX_SLOW_SHUTTER)));
    {
        const QSignalBlocker compen(ui->oCompenSlider);
        ui->oCompenSlider->setValue(int(qint32(u32At(data, ZELT_EXP_COMPENSATION))));
        const QSignalBlocker wdrLevel(ui->oWdrLevelSlider);
        ui->oWdrLevelSlider->setValue(int(u32At(data, ZELT_EXP_WDR_LEVEL)));
        const QSignalBlocker on(ui->oSlowShutterOnRatio);
        const QSignalBlocker off(ui->oSlowShutterOffRatio);
        (m_bSlowShutter ? ui->oSlowShutterOnRatio : ui->oSlowShutterOffRatio)->setChecked(true);
    }
    ui->oGainEdit->setText(QString::number(u32At(data, ZELT_EXP_GAIN)));
    ui->oMinGainEdit->setText(QString::number(u32At(data, ZELT_EXP_MIN_GAIN)));
    ui->oMaxGainEdit->setText(QString::number(u32At(data, ZELT_EXP_MAX_GAIN)));
    ui->oDayNightTimeEdit->setText(QString::number(u32At(data, ZELT_EXP_DAYNIGHT) >> 16));

    if (m_bSlowShutter)
        enableSlowShutter();
    else
        disableSlowShutter();
    selectCode(ui->oSlowShutterCombo, int(u32At(data, ZELT_EXP_SLOW_SHUTTER)));
    selectCode(ui->oFastShutterCombo, int(u32At(data, ZELT_EXP_FAST_SHUTTER)));
    m_ulLastSlowShutter = u32At(data, ZELT_EXP_SLOW_SHUTTER);
    m_ulLastFastShutter = u32At(data, ZELT_EXP_FAST_SHUTTER);
    applyExposureMode();
    applyDayNightMode();
    connectExposure();
}

void CImageCfgForm::readWhite()
{
    QByteArray data;
    if (!readGroup(ZELT_MW_WHITE_BALANCE_CFG, data))
        return;
    m_white = data;
    m_iWhiteMode = int(u32At(data, ZELT_WB_MODE));
    selectCode(ui->oWhiteModeCombo, m_iWhiteMode);
    {
        const QSignalBlocker blue(ui->oBlueOffsetSlider);
        ui->oBlueOffsetSlider->setValue(int(u32At(data, ZELT_WB_BLUE_OFFSET)));
        const QSignalBlocker red(ui->oRedOffsetSlider);
        ui->oRedOffsetSlider->setValue(int(u32At(data, ZELT_WB_RED_OFFSET)));
    }
    applyWhiteMode();
    connectWhite();
}

void CImageCfgForm::readIrCtrl()
{
    QByteArray data;
    if (!readGroup(ZELT_MW_IR_CTRL_CFG, data))
        return;
    m_irCtrl = data;
    m_iIrMode = int(u32At(data, ZELT_IR_MODE));
    selectCode(ui->oIrCtrlCombo, m_iIrMode);
    ui->oNearIrLevelEdit->setText(QString::number(u32At(data, ZELT_IR_NEAR_LEVEL)));
    ui->oMidIrLevelEdit->setText(QString::number(u32At(data, ZELT_IR_MIDDLE_LEVEL)));
    ui->oFarIrLevelEdit->setText(QString::number(u32At(data, ZELT_IR_FAR_LEVEL)));
    applyIrMode();
    connectIrCtrl();
}

// Every connection is unique, so a group that is read again is never
// connected twice.
void CImageCfgForm::connectEnhance()
{
    const auto unique = Qt::UniqueConnection;
    connect(ui->oBrightnessSlider, &QSlider::sliderPressed, this, &CImageCfgForm::brightPressSlot, unique);
    connect(ui->oBrightnessSlider, &QSlider::sliderReleased, this, &CImageCfgForm::brightReleaseSlot, unique);
    connect(ui->oBrightnessSlider, &QSlider::valueChanged, this, &CImageCfgForm::brightChangedSlot, unique);
    connect(ui->oContrastSlider, &QSlider::sliderPressed, this, &CImageCfgForm::contrastPressSlot, unique);
    connect(ui->oContrastSlider, &QSlider::sliderReleased, this, &CImageCfgForm::contrastReleaseSlot, unique);
    connect(ui->oContrastSlider, &QSlider::valueChanged, this, &CImageCfgForm::contrastChangedSlot, unique);
    connect(ui->oSaturationSlider, &QSlider::sliderPressed, this, &CImageCfgForm::saturationPressSlot, unique);
    connect(ui->oSaturationSlider, &QSlider::sliderReleased, this, &CImageCfgForm::saturationReleaseSlot, unique);
    connect(ui->oSaturationSlider, &QSlider::valueChanged, this, &CImageCfgForm::saturationChangedSlot, unique);
    connect(ui->oSharpnessSlider, &QSlider::sliderPressed, this, &CImageCfgForm::sharpPressSlot, unique);
    connect(ui->oSharpnessSlider, &QSlider::sliderReleased, this, &CImageCfgForm::sharpReleaseSlot, unique);
    connect(ui->oSharpnessSlider, &QSlider::valueChanged, this, &CImageCfgForm::sharpChangedSlot, unique);
    connect(ui->oDenoise2DSlider, &QSlider::sliderPressed, this, &CImageCfgForm::denoise2DPressSlot, unique);
    connect(ui->oDenoise2DSlider, &QSlider::sliderReleased, this, &CImageCfgForm::denoise2DReleaseSlot, unique);
    connect(ui->oDenoise2DSlider, &QSlider::valueChanged, this, &CImageCfgForm::denoise2DChangedSlot, unique);
    connect(ui->oDenoise3DSlider, &QSlider::sliderPressed, this, &CImageCfgForm::denoise3DPressSlot, unique);
    connect(ui->oDenoise3DSlider, &QSlider::sliderReleased, this, &CImageCfgForm::denoise3DReleaseSlot, unique);
    connect(ui->oDenoise3DSlider, &QSlider::valueChanged, this, &CImageCfgForm::denoise3DChangedSlot, unique);
    connect(ui->oMirrorCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImageCfgForm::mirrorChangedSlot, unique);
}

void CImageCfgForm::connectExposure()
{
    const auto unique = Qt::UniqueConnection;
    const auto indexChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    connect(ui->oExposureModeCombo, indexChanged, this, &CImageCfgForm::expModeChangedSlot, unique);
    connect(ui->oShutterCombo, indexChanged, this, &CImageCfgForm::shutterChangedSlot, unique);
    connect(ui->oSlowShutterCombo, indexChanged, this, &CImageCfgForm::slowShutterChangedSlot, unique);
    connect(ui->oFastShutterCombo, indexChanged, this, &CImageCfgForm::fastShutterChangedSlot, unique);
    connect(ui->oGainEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::gainChangedSlot, unique);
    connect(ui->oMinGainEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::minGainChangedSlot, unique);
    connect(ui->oMaxGainEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::maxGainChangedSlot, unique);
    connect(ui->oIrisCombo, indexChanged, this, &CImageCfgForm::irisChangedSlot, unique);
    connect(ui->oSlowShutterOnRatio, &QRadioButton::clicked, this, &CImageCfgForm::enableSlowShutterSlot, unique);
    connect(ui->oSlowShutterOffRatio, &QRadioButton::clicked, this, &CImageCfgForm::disableSlowShutterSlot, unique);
    connect(ui->oMaxSlowShutterCombo, indexChanged, this, &CImageCfgForm::maxSlowShutterChangedSlot, unique);
    connect(ui->oCompenSlider, &QSlider::sliderPressed, this, &CImageCfgForm::compenPressSlot, unique);
    connect(ui->oCompenSlider, &QSlider::sliderReleased, this, &CImageCfgForm::compenReleaseSlot, unique);
    connect(ui->oCompenSlider, &QSlider::valueChanged, this, &CImageCfgForm::compenChangedSlot, unique);
    connect(ui->oMeteringCombo, indexChanged, this, &CImageCfgForm::meteringChangedSlot, unique);
    connect(ui->oDayNigthModeCombo, indexChanged, this, &CImageCfgForm::dayNightModeChangedSlot, unique);
    connect(ui->oDayNigthSensCombo, indexChanged, this, &CImageCfgForm::dayNightSensChangedSlot, unique);
    connect(ui->oDayNightTimeEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::dayNightTimeChangedSlot, unique);
    connect(ui->oWdrCombo, indexChanged, this, &CImageCfgForm::wdrChangedSlot, unique);
    connect(ui->oWdrLevelSlider, &QSlider::sliderPressed, this, &CImageCfgForm::wdrLevelPressSlot, unique);
    connect(ui->oWdrLevelSlider, &QSlider::sliderReleased, this, &CImageCfgForm::wdrLevelReleaseSlot, unique);
    connect(ui->oWdrLevelSlider, &QSlider::valueChanged, this, &CImageCfgForm::wdrLevelChangedSlot, unique);
}

void CImageCfgForm::connectWhite()
{
    const auto unique = Qt::UniqueConnection;
    connect(ui->oRedOffsetSlider, &QSlider::sliderPressed, this, &CImageCfgForm::redOffsetPressSlot, unique);
    connect(ui->oRedOffsetSlider, &QSlider::sliderReleased, this, &CImageCfgForm::redOffsetReleaseSlot, unique);
    connect(ui->oRedOffsetSlider, &QSlider::valueChanged, this, &CImageCfgForm::redOffsetChangedSlot, unique);
    connect(ui->oBlueOffsetSlider, &QSlider::sliderPressed, this, &CImageCfgForm::blueOffsetPressSlot, unique);
    connect(ui->oBlueOffsetSlider, &QSlider::sliderReleased, this, &CImageCfgForm::blueOffsetReleaseSlot, unique);
    connect(ui->oBlueOffsetSlider, &QSlider::valueChanged, this, &CImageCfgForm::blueOffsetChangedSlot, unique);
    connect(ui->oWhiteModeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImageCfgForm::whiteModeChangedSlot, unique);
}

void CImageCfgForm::connectIrCtrl()
{
    const auto unique = Qt::UniqueConnection;
    connect(ui->oIrCtrlCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImageCfgForm::irCtrlChangedSlot, unique);
    connect(ui->oNearIrLevelEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::nearLedLevelSlot, unique);
    connect(ui->oMidIrLevelEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::midLedLevelSlot, unique);
    connect(ui->oFarIrLevelEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::farLedLevelSlot, unique);
}

void CImageCfgForm::disconnectAll()
{
    const QList<QWidget *> groups = {ui->oSenceGroup, ui->oExposureGroup, ui->oSmartIRGroup, ui->oWhiteGroup};
    for (QWidget *pGroup : groups) {
        for (QWidget *pControl : pGroup->findChildren<QWidget *>())
            disconnect(pControl, nullptr, this, nullptr);
    }
}

// --- writing ---------------------------------------------------------------

QByteArray CImageCfgForm::collectEnhance() const
{
    QByteArray data = m_enhance;
    const QList<QPair<QSlider *, int>> sliders = {
        {ui->oBrightnessSlider, ZELT_ENH_BRIGHTNESS}, {ui->oContrastSlider, ZELT_ENH_CONTRAST},
        {ui->oSaturationSlider, ZELT_ENH_SATURATION}, {ui->oSharpnessSlider, ZELT_ENH_SHARPNESS},
        {ui->oDenoise2DSlider, ZELT_ENH_DENOISE_2D},  {ui->oDenoise3DSlider, ZELT_ENH_DENOISE_3D}};
    for (const auto &slider : sliders) {
        if (rowShown(slider.first->parentWidget()))
            putU32(data, slider.second, quint32(slider.first->value()));
    }
    putU32(data, ZELT_ENH_MIRROR, quint32(m_iMirror));
    return data;
}

QByteArray CImageCfgForm::collectExposure() const
{
    QByteArray data = m_exposure;
    // A number field that is empty or out of range keeps the stored value.
    auto number = [&data](QLineEdit *pEdit, const NumberRange &range, int iOffset) {
        bool bOk = false;
        const int iValue = pEdit->text().toInt(&bOk);
        if (bOk && range.bValid && iValue >= range.iMin && iValue <= range.iMax && rowShown(pEdit->parentWidget()))
            putU32(data, iOffset, quint32(iValue));
    };
    putU32(data, ZELT_EXP_MODE, quint32(m_iExpMode));
    if (rowShown(ui->oCompenRow))
        putU32(data, ZELT_EXP_COMPENSATION, quint32(qint32(ui->oCompenSlider->value())));
    putU32(data, ZELT_EXP_IRIS, comboValue(ui->oIrisCombo, ui->oIrisRow, u32At(data, ZELT_EXP_IRIS)));
    putU32(data, ZELT_EXP_SHUTTER, comboValue(ui->oShutterCombo, ui->oShutterRow, u32At(data, ZELT_EXP_SHUTTER)));
    // The range rows are shown only in custom mode but always hold the pair.
    if (m_bHasShutterRange) {
        if (ui->oSlowShutterCombo->currentIndex() >= 0)
            putU32(data, ZELT_EXP_SLOW_SHUTTER, ui->oSlowShutterCombo->currentData().toUInt());
        if (ui->oFastShutterCombo->currentIndex() >= 0)
            putU32(data, ZELT_EXP_FAST_SHUTTER, ui->oFastShutterCombo->currentData().toUInt());
    }
    number(ui->oGainEdit, m_gainRange, ZELT_EXP_GAIN);
    if (m_bHasGain) {
        bool bOk = false;
        int iValue = ui->oMinGainEdit->text().toInt(&bOk);
        if (bOk && m_minGainRange.bValid && iValue >= m_minGainRange.iMin && iValue <= m_minGainRange.iMax)
            putU32(data, ZELT_EXP_MIN_GAIN, quint32(iValue));
        iValue = ui->oMaxGainEdit->text().toInt(&bOk);
        if (bOk && m_maxGainRange.bValid && iValue >= m_maxGainRange.iMin && iValue <= m_maxGainRange.iMax)
            putU32(data, ZELT_EXP_MAX_GAIN, quint32(iValue));
    }
    if (rowShown(ui->oSlowShutterRow))
        putU32(data, ZELT_EXP_SLOW_SHUTTER_ON, m_bSlowShutter ? 1 : 0);
    putU32(data, ZELT_EXP_MAX_SLOW_SHUTTER,
           comboValue(ui->oMaxSlowShutterCombo, ui->oMaxSlowShutterRow, u32At(data, ZELT_EXP_MAX_SLOW_SHUTTER)));
    putU32(data, ZELT_EXP_WDR_MODE, quint32(m_iWdrMode));
    if (rowShown(ui->oWdrLevelRow))
        putU32(data, ZELT_EXP_WDR_LEVEL, quint32(ui->oWdrLevelSlider->value()));
    putU32(data, ZELT_EXP_METERING, quint32(m_iMetering));
    putU32(data, ZELT_EXP_DAYNIGHT_MODE, quint32(m_iDayNightMode));
    quint32 ulTime = u32At(data, ZELT_EXP_DAYNIGHT) >> 16;
    bool bOk = false;
    const int iTime = ui->oDayNightTimeEdit->text().toInt(&bOk);
    if (bOk && m_timeRange.bValid && iTime >= m_timeRange.iMin && iTime <= m_timeRange.iMax
        && rowShown(ui->oDayNightTimeRow))
        ulTime = quint32(iTime);
    putU32(data, ZELT_EXP_DAYNIGHT, (ulTime << 16) | (quint32(m_iDayNightSens) & 0xFFFFu));
    return data;
}

QByteArray CImageCfgForm::collectWhite() const
{
    QByteArray data = m_white;
    putU32(data, ZELT_WB_MODE, quint32(m_iWhiteMode));
    if (rowShown(ui->oBlueOffsetRow))
        putU32(data, ZELT_WB_BLUE_OFFSET, quint32(ui->oBlueOffsetSlider->value()));
    if (rowShown(ui->oRedOffsetRow))
        putU32(data, ZELT_WB_RED_OFFSET, quint32(ui->oRedOffsetSlider->value()));
    return data;
}

QByteArray CImageCfgForm::collectIrCtrl() const
{
    QByteArray data = m_irCtrl;
    putU32(data, ZELT_IR_MODE, quint32(m_iIrMode));
    const QList<std::tuple<QLineEdit *, const NumberRange *, int>> fields = {
        {ui->oNearIrLevelEdit, &m_nearRange, ZELT_IR_NEAR_LEVEL},
        {ui->oMidIrLevelEdit, &m_midRange, ZELT_IR_MIDDLE_LEVEL},
        {ui->oFarIrLevelEdit, &m_farRange, ZELT_IR_FAR_LEVEL}};
    for (const auto &field : fields) {
        bool bOk = false;
        const int iValue = std::get<0>(field)->text().toInt(&bOk);
        const NumberRange &range = *std::get<1>(field);
        if (bOk && range.bValid && iValue >= range.iMin && iValue <= range.iMax
            && rowShown(std::get<0>(field)->parentWidget()))
            putU32(data, std::get<2>(field), quint32(iValue));
    }
    return data;
}

void CImageCfgForm::writeGroup(DWORD ulCmd, QByteArray &stored, const QByteArray &data)
{
    const DWORD ulResult = ZELT_MW_SetConfig(userId().constData(), ulCmd, 0, DWORD(data.size()), data.constData());
    if (ulResult == 0) {
        stored = data;
        emit sendReportSignal(tr("设置参数成功！"), 0);
    } else {
        qCDebug(lcImageCfg) << "ZELT_MW_SetConfig" << ulCmd << "failed:" << ulResult;
        emit sendReportSignal(tr("设置参数失败！"), ulResult);
    }
}

void CImageCfgForm::writeEnhance()
{
    writeGroup(ZELT_MW_IMAGE_ENHANCE_CFG, m_enhance, collectEnhance());
}

void CImageCfgForm::writeExposure()
{
    writeGroup(ZELT_MW_EXPOSURE_CFG, m_exposure, collectExposure());
}

void CImageCfgForm::writeWhite()
{
    writeGroup(ZELT_MW_WHITE_BALANCE_CFG, m_white, collectWhite());
}

void CImageCfgForm::writeIrCtrl()
{
    writeGroup(ZELT_MW_IR_CTRL_CFG, m_irCtrl, collectIrCtrl());
}

void CImageCfgForm::startListTimer(QTimer &timer)
{
    timer.start(50);
}

void CImageCfgForm::numberEdited(QLineEdit *pEdit, const NumberRange &range, quint32 ulStored,
                                 void (CImageCfgForm::*write)())
{
    bool bOk = false;
    const int iValue = pEdit->text().toInt(&bOk);
    if (!bOk || iValue < range.iMin || iValue > range.iMax) {
        {
            const QSignalBlocker blocker(pEdit);
            pEdit->setText(QString::number(ulStored));
        }
        CMsgDlg::showMsg(tr("信息"),
                         tr("有效值为") + QString::number(range.iMin) + QStringLiteral("~")
                             + QString::number(range.iMax) + tr("的整数，请重新输入。"),
                         MsgNote, this);
        return;
    }
    if (quint32(iValue) != ulStored)
        (this->*write)();
}

// --- enhancement -----------------------------------------------------------

void CImageCfgForm::brightReleaseSlot()
{
    connect(ui->oBrightnessSlider, &QSlider::valueChanged, this, &CImageCfgForm::brightChangedSlot,
            Qt::UniqueConnection);
    writeEnhance();
}

void CImageCfgForm::brightPressSlot()
{
    disconnect(ui->oBrightnessSlider, &QSlider::valueChanged, this, &CImageCfgForm::brightChangedSlot);
}

void CImageCfgForm::brightChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::contrastReleaseSlot()
{
    connect(ui->oContrastSlider, &QSlider::valueChanged, this, &CImageCfgForm::contrastChangedSlot,
            Qt::UniqueConnection);
    writeEnhance();
}

void CImageCfgForm::contrastPressSlot()
{
    disconnect(ui->oContrastSlider, &QSlider::valueChanged, this, &CImageCfgForm::contrastChangedSlot);
}

void CImageCfgForm::contrastChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::saturationReleaseSlot()
{
    connect(ui->oSaturationSlider, &QSlider::valueChanged, this, &CImageCfgForm::saturationChangedSlot,
            Qt::UniqueConnection);
    writeEnhance();
}

void CImageCfgForm::saturationPressSlot()
{
    disconnect(ui->oSaturationSlider, &QSlider::valueChanged, this, &CImageCfgForm::saturationChangedSlot);
}

void CImageCfgForm::saturationChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::sharpReleaseSlot()
{
    connect(ui->oSharpnessSlider, &QSlider::valueChanged, this, &CImageCfgForm::sharpChangedSlot,
            Qt::UniqueConnection);
    writeEnhance();
}

void CImageCfgForm::sharpPressSlot()
{
    disconnect(ui->oSharpnessSlider, &QSlider::valueChanged, this, &CImageCfgForm::sharpChangedSlot);
}

void CImageCfgForm::sharpChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::denoise2DReleaseSlot()
{
    connect(ui->oDenoise2DSlider, &QSlider::valueChanged, this, &CImageCfgForm::denoise2DChangedSlot,
            Qt::UniqueConnection);
    writeEnhance();
}

void CImageCfgForm::denoise2DPressSlot()
{
    disconnect(ui->oDenoise2DSlider, &QSlider::valueChanged, this, &CImageCfgForm::denoise2DChangedSlot);
}

void CImageCfgForm::denoise2DChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::denoise3DReleaseSlot()
{
    connect(ui->oDenoise3DSlider, &QSlider::valueChanged, this, &CImageCfgForm::denoise3DChangedSlot,
            Qt::UniqueConnection);
    writeEnhance();
}

void CImageCfgForm::denoise3DPressSlot()
{
    disconnect(ui->oDenoise3DSlider, &QSlider::valueChanged, this, &CImageCfgForm::denoise3DChangedSlot);
}

void CImageCfgForm::denoise3DChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::mirrorChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iMirror = ui->oMirrorCombo->itemData(iIndex).toInt();
    startListTimer(m_enhanceTimer);
}

// --- groups ----------------------------------------------------------------

void CImageCfgForm::setGroupExpanded(QWidget *pGroup, bool bChecked)
{
    pGroup->setMaximumHeight(bChecked ? QWIDGETSIZE_MAX : 18);
}

void CImageCfgForm::senceGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oSenceGroup, bChecked);
}

void CImageCfgForm::exposureGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oExposureGroup, bChecked);
}

void CImageCfgForm::smartIRGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oSmartIRGroup, bChecked);
}

void CImageCfgForm::whiteGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oWhiteGroup, bChecked);
}

// --- white balance ---------------------------------------------------------

void CImageCfgForm::redOffsetReleaseSlot()
{
    connect(ui->oRedOffsetSlider, &QSlider::valueChanged, this, &CImageCfgForm::redOffsetChangedSlot,
            Qt::UniqueConnection);
    writeWhite();
}

void CImageCfgForm::redOffsetPressSlot()
{
    disconnect(ui->oRedOffsetSlider, &QSlider::valueChanged, this, &CImageCfgForm::redOffsetChangedSlot);
}

void CImageCfgForm::redOffsetChangedSlot(int)
{
    writeWhite();
}

void CImageCfgForm::blueOffsetReleaseSlot()
{
    connect(ui->oBlueOffsetSlider, &QSlider::valueChanged, this, &CImageCfgForm::blueOffsetChangedSlot,
            Qt::UniqueConnection);
    writeWhite();
}

void CImageCfgForm::blueOffsetPressSlot()
{
    disconnect(ui->oBlueOffsetSlider, &QSlider::valueChanged, this, &CImageCfgForm::blueOffsetChangedSlot);
}

void CImageCfgForm::blueOffsetChangedSlot(int)
{
    writeWhite();
}

void CImageCfgForm::whiteModeChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iWhiteMode = ui->oWhiteModeCombo->itemData(iIndex).toInt();
    applyWhiteMode();
    if (m_iWhiteMode == 1 || m_iWhiteMode == 5) {
        // Fine tuning starts from the device's current offsets; the mode
        // just chosen stays and the controls keep their connections.
        QByteArray data;
        if (readGroup(ZELT_MW_WHITE_BALANCE_CFG, data)) {
            putU32(m_white, ZELT_WB_BLUE_OFFSET, u32At(data, ZELT_WB_BLUE_OFFSET));
            putU32(m_white, ZELT_WB_RED_OFFSET, u32At(data, ZELT_WB_RED_OFFSET));
            const QSignalBlocker blue(ui->oBlueOffsetSlider);
            ui->oBlueOffsetSlider->setValue(int(u32At(data, ZELT_WB_BLUE_OFFSET)));
            const QSignalBlocker red(ui->oRedOffsetSlider);
            ui->oRedOffsetSlider->setValue(int(u32At(data, ZELT_WB_RED_OFFSET)));
        }
    }
    startListTimer(m_whiteTimer);
}

void CImageCfgForm::applyWhiteMode()
{
    const bool bFine = m_iWhiteMode == 1 || m_iWhiteMode == 5;
    ui->oBlueOffsetSlider->setEnabled(bFine);
    ui->oRedOffsetSlider->setEnabled(bFine);
}

// --- smart IR --------------------------------------------------------------

void CImageCfgForm::irCtrlChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iIrMode = ui->oIrCtrlCombo->itemData(iIndex).toInt();
    applyIrMode();
    startListTimer(m_irCtrlTimer);
}

void CImageCfgForm::applyIrMode()
{
    const bool bManual = m_iIrMode == 3;
    ui->oNearIrLevelEdit->setEnabled(bManual && m_nearRange.bValid);
    ui->oMidIrLevelEdit->setEnabled(bManual && m_midRange.bValid);
    ui->oFarIrLevelEdit->setEnabled(bManual && m_farRange.bValid);
}

void CImageCfgForm::nearLedLevelSlot()
{
    numberEdited(ui->oNearIrLevelEdit, m_nearRange, u32At(m_irCtrl, ZELT_IR_NEAR_LEVEL), &CImageCfgForm::writeIrCtrl);
}

void CImageCfgForm::midLedLevelSlot()
{
    numberEdited(ui->oMidIrLevelEdit, m_midRange, u32At(m_irCtrl, ZELT_IR_MIDDLE_LEVEL), &CImageCfgForm::writeIrCtrl);
}

void CImageCfgForm::farLedLevelSlot()
{
    numberEdited(ui->oFarIrLevelEdit, m_farRange, u32At(m_irCtrl, ZELT_IR_FAR_LEVEL), &CImageCfgForm::writeIrCtrl);
}

// --- exposure --------------------------------------------------------------

void CImageCfgForm::expModeChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iExpMode = ui->oExposureModeCombo->itemData(iIndex).toInt();
    applyExposureMode();
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::applyExposureMode()
{
    const QList<QWidget *> all = {ui->oShutterCombo,     ui->oSlowShutterCombo,    ui->oFastShutterCombo,
                                  ui->oIrisCombo,        ui->oMaxSlowShutterCombo, ui->oSlowShutterOnRatio,
                                  ui->oSlowShutterOffRatio, ui->oDayNigthModeCombo, ui->oCompenSlider,
                                  ui->oMeteringCombo,    ui->oWdrCombo};
    for (QWidget *pWidget : all)
        pWidget->setEnabled(true);
    // Lists with a single entry stay fixed.
    for (QComboBox *pCombo : {ui->oDayNigthModeCombo, ui->oMeteringCombo, ui->oWdrCombo}) {
        if (pCombo->count() == 1)
            pCombo->setEnabled(false);
    }
    ui->oGainEdit->setEnabled(m_gainRange.bValid);
    ui->oMinGainEdit->setEnabled(m_minGainRange.bValid && m_maxGainRange.iMax != 0);
    ui->oMaxGainEdit->setEnabled(m_maxGainRange.bValid);
    ui->oShutterRow->setVisible(m_bHasShutter && ui->oShutterCombo->count() > 0);
    ui->oGainRow->setVisible(m_bHasGain);
    ui->oShutterRangeRow->hide();
    ui->oGainRangeRow->hide();
    applyWdrMode();

    const QList<QWidget *> shutterRange = {ui->oSlowShutterCombo, ui->oFastShutterCombo};
    const QList<QWidget *> gainRange = {ui->oMinGainEdit, ui->oMaxGainEdit};
    QList<QWidget *> disabled;
    switch (m_iExpMode) {
    case 0:
        disabled << ui->oShutterCombo << shutterRange << ui->oGainEdit << gainRange << ui->oIrisCombo;
        break;
    case 1:
        ui->oShutterRow->hide();
        ui->oGainRow->hide();
        ui->oShutterRangeRow->setVisible(m_bHasShutterRange && ui->oSlowShutterCombo->count() > 0
                                         && ui->oFastShutterCombo->count() > 0);
        ui->oGainRangeRow->setVisible(m_bHasGain);
        disabled << ui->oIrisCombo << ui->oWdrCombo << ui->oWdrLevelSlider;
        break;
    case 2:
        disabled << ui->oGainEdit << ui->oIrisCombo << ui->oDayNigthModeCombo;
        break;
    case 3:
        disabled << ui->oShutterCombo << shutterRange << ui->oMaxSlowShutterCombo << ui->oGainEdit << gainRange
                 << ui->oSlowShutterOnRatio << ui->oSlowShutterOffRatio << ui->oDayNigthModeCombo;
        break;
    case 4:
        disabled << ui->oShutterCombo << shutterRange << ui->oIrisCombo << ui->oDayNigthModeCombo;
        break;
    case 5:
    case 6:
        disabled << ui->oShutterCombo << shutterRange << ui->oGainEdit << gainRange << ui->oIrisCombo
                 << ui->oDayNigthModeCombo;
        break;
    case 7:
        disabled << ui->oCompenSlider << ui->oMeteringCombo << ui->oWdrCombo << ui->oWdrLevelSlider;
        break;
    default:
        break;
    }
    for (QWidget *pWidget : disabled)
        pWidget->setEnabled(false);
    if (!m_bSlowShutter)
        ui->oMaxSlowShutterCombo->setEnabled(false);
}

void CImageCfgForm::shutterChangedSlot(int)
{
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::slowShutterChangedSlot(int)
{
    fastShutterChangedSlot(ui->oFastShutterCombo->currentIndex());
}

// The fastest shutter must not be the slower one; an inverted pair is put
// back to the last valid one.
void CImageCfgForm::fastShutterChangedSlot(int)
{
    if (ui->oSlowShutterCombo->currentIndex() < 0 || ui->oFastShutterCombo->currentIndex() < 0)
        return;
    const ULONG ulSlow = ui->oSlowShutterCombo->currentData().toUInt();
    const ULONG ulFast = ui->oFastShutterCombo->currentData().toUInt();
    if (ulFast < ulSlow) {
        selectCode(ui->oSlowShutterCombo, int(m_ulLastSlowShutter));
        selectCode(ui->oFastShutterCombo, int(m_ulLastFastShutter));
        CMsgDlg::showMsg(tr("信息"), tr("最快快门不能慢于最慢快门。"), MsgNote, this);
        return;
    }
    m_ulLastSlowShutter = ulSlow;
    m_ulLastFastShutter = ulFast;
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::gainChangedSlot()
{
    numberEdited(ui->oGainEdit, m_gainRange, u32At(m_exposure, ZELT_EXP_GAIN), &CImageCfgForm::writeExposure);
}

void CImageCfgForm::minGainChangedSlot()
{
    numberEdited(ui->oMinGainEdit, m_minGainRange, u32At(m_exposure, ZELT_EXP_MIN_GAIN), &CImageCfgForm::writeExposure);
}

void CImageCfgForm::maxGainChangedSlot()
{
    numberEdited(ui->oMaxGainEdit, m_maxGainRange, u32At(m_exposure, ZELT_EXP_MAX_GAIN), &CImageCfgForm::writeExposure);
}

void CImageCfgForm::irisChangedSlot(int)
{
    writeExposure();
}

void CImageCfgForm::enableSlowShutterSlot(bool bChecked)
{
    if (!bChecked || m_bSlowShutter)
        return;
    m_bSlowShutter = true;
    enableSlowShutter();
    writeExposure();
}

void CImageCfgForm::enableSlowShutter()
{
    ui->oMaxSlowShutterCombo->setEnabled(true);
    {
        const QSignalBlocker blocker(ui->oSlowShutterOffRatio);
        ui->oSlowShutterOffRatio->setChecked(false);
    }
    const ULONG ulLimit = ui->oMaxSlowShutterCombo->currentIndex() >= 0
                              ? ui->oMaxSlowShutterCombo->currentData().toUInt()
                              : u32At(m_exposure, ZELT_EXP_MAX_SLOW_SHUTTER);
    resetBySlowShutter(ulLimit);
}

void CImageCfgForm::resetBySlowShutter(ULONG ulSlowShutter)
{
    refillShutterRange(ui->oSlowShutterCombo, ulSlowShutter);
    refillShutterRange(ui->oFastShutterCombo, ulSlowShutter);
    if (ui->oSlowShutterCombo->currentIndex() >= 0 && ui->oFastShutterCombo->currentIndex() >= 0) {
        m_ulLastSlowShutter = ui->oSlowShutterCombo->currentData().toUInt();
        m_ulLastFastShutter = ui->oFastShutterCombo->currentData().toUInt();
    }
}

// Entries slower than 1/limit s or outside the document's range go; the
// previous choice stays when it is still offered.
void CImageCfgForm::refillShutterRange(QComboBox *pCombo, ULONG ulLimit)
{
    const QSignalBlocker blocker(pCombo);
    const QString strPrevious = pCombo->currentText();
    pCombo->clear();
    const ULONG ulLow = qMax(ulLimit, m_ulRangeMin);
    const ULONG ulHigh = m_ulRangeMax != 0 ? m_ulRangeMax : ULONG(30000);
    for (quint32 ulDen : kShutters) {
        if (ulDen >= ulLow && ulDen <= ulHigh)
            pCombo->addItem(shutterText(ulDen), int(ulDen));
    }
    const int iIndex = pCombo->findText(strPrevious);
    pCombo->setCurrentIndex(iIndex >= 0 ? iIndex : (pCombo->count() > 0 ? 0 : -1));
}

void CImageCfgForm::disableSlowShutterSlot(bool bChecked)
{
    if (!bChecked || !m_bSlowShutter)
        return;
    m_bSlowShutter = false;
    disableSlowShutter();
    writeExposure();
}

void CImageCfgForm::disableSlowShutter()
{
    resetBySlowShutter(m_ulShutterLimit);
    ui->oMaxSlowShutterCombo->setEnabled(false);
    const QSignalBlocker blocker(ui->oSlowShutterOnRatio);
    ui->oSlowShutterOnRatio->setChecked(false);
}

void CImageCfgForm::maxSlowShutterChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    if (m_bSlowShutter)
        resetBySlowShutter(ui->oMaxSlowShutterCombo->itemData(iIndex).toUInt());
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::compenReleaseSlot()
{
    connect(ui->oCompenSlider, &QSlider::valueChanged, this, &CImageCfgForm::compenChangedSlot,
            Qt::UniqueConnection);
    writeExposure();
}

void CImageCfgForm::compenPressSlot()
{
    disconnect(ui->oCompenSlider, &QSlider::valueChanged, this, &CImageCfgForm::compenChangedSlot);
}

void CImageCfgForm::compenChangedSlot(int)
{
    writeExposure();
}

void CImageCfgForm::meteringChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iMetering = ui->oMeteringCombo->itemData(iIndex).toInt();
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::dayNightModeChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iDayNightMode = ui->oDayNigthModeCombo->itemData(iIndex).toInt();
    applyDayNightMode();
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::applyDayNightMode()
{
    const bool bAuto = m_iDayNightMode == 0;
    ui->oDayNigthSensCombo->setEnabled(bAuto);
    ui->oDayNightTimeEdit->setEnabled(bAuto && m_timeRange.bValid);
}

void CImageCfgForm::dayNightSensChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iDayNightSens = ui->oDayNigthSensCombo->itemData(iIndex).toInt();
    startListTimer(m_exposureTimer);
}

void CImageCfgForm::dayNightTimeChangedSlot()
{
    numberEdited(ui->oDayNightTimeEdit, m_timeRange, u32At(m_exposure, ZELT_EXP_DAYNIGHT) >> 16,
                 &CImageCfgForm::writeExposure);
}

void CImageCfgForm::wdrChangedSlot(int iIndex)
{
    if (iIndex < 0)
        return;
    m_iWdrMode = ui->oWdrCombo->itemData(iIndex).toInt();
    applyWdrMode();
    startListTimer(m_exposureTimer);
}

// Custom and manual exposure take the wide dynamic range out of play.
void CImageCfgForm::applyWdrMode()
{
    ui->oWdrLevelSlider->setEnabled(m_iWdrMode == 1 && m_iExpMode != 1 && m_iExpMode != 7);
}

void CImageCfgForm::wdrLevelReleaseSlot()
{
    connect(ui->oWdrLevelSlider, &QSlider::valueChanged, this, &CImageCfgForm::wdrLevelChangedSlot,
            Qt::UniqueConnection);
    writeExposure();
}

void CImageCfgForm::wdrLevelPressSlot()
{
    disconnect(ui->oWdrLevelSlider, &QSlider::valueChanged, this, &CImageCfgForm::wdrLevelChangedSlot);
}

void CImageCfgForm::wdrLevelChangedSlot(int)
{
    writeExposure();
}

// --- report and timers -----------------------------------------------------

void CImageCfgForm::showReportSlot(QString strResult, ULONG ulResult)
{
    m_pReport->show(strResult, ulResult);
}

void CImageCfgForm::onShowReportTimer()
{
    m_pReport->clear();
}

void CImageCfgForm::onEnhanceCfgTimer()
{
    m_enhanceTimer.stop();
    writeEnhance();
}

void CImageCfgForm::onExposureCfgTimer()
{
    m_exposureTimer.stop();
    writeExposure();
}

void CImageCfgForm::onWhiteCfgTimer()
{
    m_whiteTimer.stop();
    writeWhite();
}

void CImageCfgForm::onIrCtrlCfgTimer()
{
    m_irCtrlTimer.stop();
    writeIrCtrl();
}

void CImageCfgForm::on_oDefaultBtn_clicked()
{
    // A list change still waiting must not be written over the defaults, and
    // the question's own event loop would otherwise let it through.
    QList<QTimer *> pending;
    for (QTimer *pTimer : {&m_enhanceTimer, &m_exposureTimer, &m_whiteTimer, &m_irCtrlTimer}) {
        if (pTimer->isActive())
            pending << pTimer;
        pTimer->stop();
    }
    if (!CMsgDlg::askQuestion(tr("信息"), tr("您确定要恢复默认参数吗？"), this)) {
        for (QTimer *pTimer : pending)
            pTimer->start(0);
        return;
    }
    ui->oDefaultBtn->setEnabled(false);
    m_restoreTimer.start(50);
}

void CImageCfgForm::onRestoreParamTimer()
{
    m_restoreTimer.stop();
    for (QTimer *pTimer : {&m_enhanceTimer, &m_exposureTimer, &m_whiteTimer, &m_irCtrlTimer})
        pTimer->stop();
    const DWORD ulResult = ZELT_MW_RestoreImageDefault(userId().constData(), 0, 0);
    ui->oDefaultBtn->setEnabled(true);
    if (ulResult != 0) {
        qCDebug(lcImageCfg) << "ZELT_MW_RestoreImageDefault failed:" << ulResult;
        emit sendReportSignal(tr("默认参数恢复失败！"), ulResult);
        return;
    }
    disconnectAll();
    readAllGroups();
    emit sendReportSignal(tr("默认参数恢复成功！"), 0);
}

// --- live view -------------------------------------------------------------

void CImageCfgForm::startLivePlay(DWORD ulStreamHd, DWORD ulLiveResult)
{
    m_ulStreamHd = ulStreamHd;
    // A shared stream (259) and one without audio (357) run like any other.
    if (ulLiveResult != 0 && ulLiveResult != ZELT_MW_STREAM_SHARED && ulLiveResult != ZELT_MW_STREAM_NO_AUDIO) {
        emit sendReportSignal(tr("流媒体开启失败！"), ulLiveResult);
        return;
    }
    m_bPlaying = true;
    m_hPlayWnd = reinterpret_cast<HWND>(ui->oLivePlayWidget->winId());
    const DWORD ulResult = ZELT_MW_StartPlay(m_hPlayWnd, m_ulStreamHd);
    if (ulResult != 0) {
        qCDebug(lcImageCfg) << "ZELT_MW_StartPlay failed:" << ulResult;
        emit sendReportSignal(tr("实况播放失败！"), ulResult);
    }
}

DWORD CImageCfgForm::stopLivePlay()
{
    if (!m_bPlaying)
        return 0;
    m_bPlaying = false;
    const DWORD ulPlay = ZELT_MW_StopPlay(m_hPlayWnd);
    if (ulPlay != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StopPlay Failed" << ulPlay;
    m_hPlayWnd = nullptr;
    const DWORD ulStream = ZELT_MW_StopMediaStream(userId().constData(), m_ulStreamHd);
    if (ulStream != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StopMediaStream Failed" << ulStream;
    return ulStream;
}

// Going to or from full screen gives the picture widget another native
// window; the player follows it so that no window keeps an orphaned player.
void CImageCfgForm::videoScreenChangedSlot()
{
    if (!m_bPlaying)
        return;
    const HWND hWnd = reinterpret_cast<HWND>(ui->oLivePlayWidget->winId());
    if (hWnd == m_hPlayWnd)
        return;
    const DWORD ulStop = ZELT_MW_StopPlay(m_hPlayWnd);
    if (ulStop != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StopPlay Failed" << ulStop;
    m_hPlayWnd = hWnd;
    const DWORD ulResult = ZELT_MW_StartPlay(m_hPlayWnd, m_ulStreamHd);
    if (ulResult != 0) {
        qCDebug(lcImageCfg) << "ZELT_MW_StartPlay failed:" << ulResult;
        emit sendReportSignal(tr("实况播放失败！"), ulResult);
    }
}
