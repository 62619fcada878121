// The image page's infrared group (mode and the levels of the near, middle
// and far lights) and the day/night switch of the exposure group.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "imagecfgfields.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <tuple>

using namespace ImageCfgFields;

void CImageCfgForm::readIrCtrl()
{
    QByteArray data;
    if (!readGroupOf(ui->oSmartIRGroupBody, ZELT_MW_IR_CTRL_CFG, data))
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

void CImageCfgForm::connectIrCtrl()
{
    const auto unique = Qt::UniqueConnection;
    connect(ui->oIrCtrlCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImageCfgForm::irCtrlChangedSlot, unique);
    connect(ui->oNearIrLevelEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::nearLedLevelSlot, unique);
    connect(ui->oMidIrLevelEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::midLedLevelSlot, unique);
    connect(ui->oFarIrLevelEdit, &QLineEdit::editingFinished, this, &CImageCfgForm::farLedLevelSlot, unique);
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
        QLineEdit *pEdit = std::get<0>(field);
        int iValue = 0;
        if (std::get<1>(field)->accepts(pEdit, iValue) && rowShown(pEdit->parentWidget()))
            putU32(data, std::get<2>(field), quint32(iValue));
    }
    return data;
}

void CImageCfgForm::writeIrCtrl()
{
    writeGroup(ZELT_MW_IR_CTRL_CFG, m_irCtrl, collectIrCtrl());
}

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
