// The image page's reading of the capability document: which groups and rows
// the device offers, the entries of its lists and the ranges of its number
// fields.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "devcapability.h"

#include <QRegExpValidator>
#include <QRegularExpression>

namespace {

using CodeTable = QList<QPair<int, QString>>;

// Capability code -> configuration code of the lists whose codes differ.
const QList<QPair<int, int>> kExpModeCodes = {{1, 0}, {2, 7}, {3, 1}, {4, 2}, {5, 3}, {6, 4}, {7, 5}, {8, 6}};
const QList<QPair<int, int>> kWhiteModeCodes = {{1, 0}, {2, 1}, {6, 5}, {7, 6}};
const QList<QPair<int, int>> kIrModeCodes = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}};
const QList<QPair<int, int>> kWdrCodes = {{1, 2}, {2, 1}};

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
    // The scene is shown for information: no structure carries it, so no entry
    // is the device's current one. The scenes it offers are in the tooltip.
    QStringList listScenes;
    for (int i = 0; i < ui->oSceneCombo->count(); ++i)
        listScenes << ui->oSceneCombo->itemText(i);
    ui->oSceneCombo->setCurrentIndex(-1);
    ui->oSceneCombo->setToolTip(listScenes.join(QStringLiteral(" / ")));
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
        // About ten steps, always ending at the fully open iris.
        ui->oIrisCombo->clear();
        const int iStep = qMax(1, (iMax - iMin) / 10);
        for (int iLevel = iMin; iLevel < iMax; iLevel += iStep)
            ui->oIrisCombo->addItem(QString::number(iLevel), iLevel);
        if (iMin <= iMax)
            ui->oIrisCombo->addItem(QString::number(iMax), iMax);
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
