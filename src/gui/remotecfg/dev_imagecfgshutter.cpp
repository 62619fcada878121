// The image page's shutters: the fixed shutter, the slowest and fastest
// shutter of custom exposure and the slow shutter with its limit.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "imagecfgfields.h"
#include "msgdlg.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QSignalBlocker>

using namespace ImageCfgFields;

namespace {

const quint32 kShutters[] = {1,   2,   3,   4,   6,   8,    10,   12,   15,   20,    25,    30,    50,    60,
                             100, 120, 150, 180, 200, 250,  500,  1000, 2000, 4000,  8000,  10000, 20000, 30000};

QString shutterText(quint32 ulDen)
{
    return ulDen == 1 ? QStringLiteral("1") : QStringLiteral("1/%1").arg(ulDen);
}

} // namespace

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
