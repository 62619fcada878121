// The image page's white balance group: the mode and the red and blue
// offsets of fine tuning.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "imagecfgfields.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QSignalBlocker>

using namespace ImageCfgFields;

void CImageCfgForm::readWhite()
{
    QByteArray data;
    if (!readGroupOf(ui->oWhiteGroupBody, ZELT_MW_WHITE_BALANCE_CFG, data))
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

void CImageCfgForm::connectWhite()
{
    connectSlider(ui->oRedOffsetSlider, &CImageCfgForm::redOffsetPressSlot, &CImageCfgForm::redOffsetReleaseSlot,
                  &CImageCfgForm::redOffsetChangedSlot);
    connectSlider(ui->oBlueOffsetSlider, &CImageCfgForm::blueOffsetPressSlot, &CImageCfgForm::blueOffsetReleaseSlot,
                  &CImageCfgForm::blueOffsetChangedSlot);
    connect(ui->oWhiteModeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImageCfgForm::whiteModeChangedSlot, Qt::UniqueConnection);
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

void CImageCfgForm::writeWhite()
{
    writeGroup(ZELT_MW_WHITE_BALANCE_CFG, m_white, collectWhite());
}

void CImageCfgForm::redOffsetReleaseSlot()
{
    sliderReleased(ui->oRedOffsetSlider, &CImageCfgForm::redOffsetChangedSlot, &CImageCfgForm::writeWhite);
}

void CImageCfgForm::redOffsetPressSlot()
{
    sliderPressed(ui->oRedOffsetSlider, &CImageCfgForm::redOffsetChangedSlot);
}

void CImageCfgForm::redOffsetChangedSlot(int)
{
    writeWhite();
}

void CImageCfgForm::blueOffsetReleaseSlot()
{
    sliderReleased(ui->oBlueOffsetSlider, &CImageCfgForm::blueOffsetChangedSlot, &CImageCfgForm::writeWhite);
}

void CImageCfgForm::blueOffsetPressSlot()
{
    sliderPressed(ui->oBlueOffsetSlider, &CImageCfgForm::blueOffsetChangedSlot);
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
