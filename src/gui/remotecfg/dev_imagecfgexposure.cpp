// The image page's exposure group: the mode and what it enables, gain,
// iris, compensation, metering and wide dynamic range. The shutters are in
// dev_imagecfgshutter.cpp, the day/night switch in dev_imagecfgir.cpp.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "imagecfgfields.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QSignalBlocker>

using namespace ImageCfgFields;

void CImageCfgForm::readExposure()
{
    QByteArray data;
    if (!readGroupOf(ui->oExposureGroupBody, ZELT_MW_EXPOSURE_CFG, data))
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
    connectSlider(ui->oCompenSlider, &CImageCfgForm::compenPressSlot, &CImageCfgForm::compenReleaseSlot,
                  &CImageCfgForm::compenChangedSlot);
    connect(ui->oMeteringCombo, indexChanged, this, &CImageCfgForm::meteringChangedSlot, unique);
    connect(ui->oDayNigthModeCombo, indexChanged, this, &CImageCfgForm::dayNightModeChangedSlot, unique);
    connect(ui->oDayNigthSensCombo, indexChanged, this, &CImageCfgForm::dayNightSensChangedSlot, unique);
    connect(ui->oDayNightTimeEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::dayNightTimeChangedSlot, unique);
    connect(ui->oWdrCombo, indexChanged, this, &CImageCfgForm::wdrChangedSlot, unique);
    connectSlider(ui->oWdrLevelSlider, &CImageCfgForm::wdrLevelPressSlot, &CImageCfgForm::wdrLevelReleaseSlot,
                  &CImageCfgForm::wdrLevelChangedSlot);
}

QByteArray CImageCfgForm::collectExposure() const
{
    QByteArray data = m_exposure;
    // A number field that is empty or out of range keeps the stored value.
    auto number = [&data](QLineEdit *pEdit, const NumberRange &range, int iOffset) {
        int iValue = 0;
        if (range.accepts(pEdit, iValue) && rowShown(pEdit->parentWidget()))
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
        int iValue = 0;
        if (m_minGainRange.accepts(ui->oMinGainEdit, iValue))
            putU32(data, ZELT_EXP_MIN_GAIN, quint32(iValue));
        if (m_maxGainRange.accepts(ui->oMaxGainEdit, iValue))
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
    int iTime = 0;
    if (m_timeRange.accepts(ui->oDayNightTimeEdit, iTime) && rowShown(ui->oDayNightTimeRow))
        ulTime = quint32(iTime);
    putU32(data, ZELT_EXP_DAYNIGHT, (ulTime << 16) | (quint32(m_iDayNightSens) & 0xFFFFu));
    return data;
}

void CImageCfgForm::writeExposure()
{
    writeGroup(ZELT_MW_EXPOSURE_CFG, m_exposure, collectExposure());
}

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

void CImageCfgForm::compenReleaseSlot()
{
    sliderReleased(ui->oCompenSlider, &CImageCfgForm::compenChangedSlot, &CImageCfgForm::writeExposure);
}

void CImageCfgForm::compenPressSlot()
{
    sliderPressed(ui->oCompenSlider, &CImageCfgForm::compenChangedSlot);
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
    sliderReleased(ui->oWdrLevelSlider, &CImageCfgForm::wdrLevelChangedSlot, &CImageCfgForm::writeExposure);
}

void CImageCfgForm::wdrLevelPressSlot()
{
    sliderPressed(ui->oWdrLevelSlider, &CImageCfgForm::wdrLevelChangedSlot);
}

void CImageCfgForm::wdrLevelChangedSlot(int)
{
    writeExposure();
}
