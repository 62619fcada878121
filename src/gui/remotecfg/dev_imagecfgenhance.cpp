// The image page's enhancement group: brightness, contrast, saturation,
// sharpness, noise reduction and mirroring.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "imagecfgfields.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

using namespace ImageCfgFields;

namespace {

// The group's sliders and the fields of the structure they show.
QList<QPair<QSlider *, int>> enhanceSliders(const Ui::CImageCfgForm &form)
{
    return {{form.oBrightnessSlider, ZELT_ENH_BRIGHTNESS}, {form.oContrastSlider, ZELT_ENH_CONTRAST},
            {form.oSaturationSlider, ZELT_ENH_SATURATION}, {form.oSharpnessSlider, ZELT_ENH_SHARPNESS},
            {form.oDenoise2DSlider, ZELT_ENH_DENOISE_2D},  {form.oDenoise3DSlider, ZELT_ENH_DENOISE_3D}};
}

} // namespace

void CImageCfgForm::readEnhance()
{
    QByteArray data;
    if (!readGroupOf(ui->oSenceGroupBody, ZELT_MW_IMAGE_ENHANCE_CFG, data))
        return;
    m_enhance = data;
    showEnhance();
    connectEnhance();
}

void CImageCfgForm::addSliderValues()
{
    for (const auto &slider : enhanceSliders(*ui)) {
        QSlider *pSlider = slider.first;
        auto *pValue = new QLabel(pSlider->parentWidget());
        pValue->setObjectName(pSlider->objectName() + QStringLiteral("Value"));
        pValue->setMinimumWidth(pValue->fontMetrics().horizontalAdvance(QString::number(pSlider->maximum())) + 4);
        pValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pValue->setNum(pSlider->value());
        connect(pSlider, &QSlider::valueChanged, pValue, QOverload<int>::of(&QLabel::setNum));
        for (QHBoxLayout *pRow : pSlider->parentWidget()->findChildren<QHBoxLayout *>()) {
            const int iAt = pRow->indexOf(pSlider);
            if (iAt >= 0)
                pRow->insertWidget(iAt + 1, pValue);
        }
    }
}

void CImageCfgForm::showEnhance()
{
    const QList<QPair<QSlider *, int>> sliders = enhanceSliders(*ui);
    for (const auto &slider : sliders) {
        const QSignalBlocker blocker(slider.first);
        slider.first->setValue(int(u32At(m_enhance, slider.second)));
        // The blocker keeps the value label from hearing of it.
        if (auto *pValue = findChild<QLabel *>(slider.first->objectName() + QStringLiteral("Value")))
            pValue->setNum(slider.first->value());
    }
    m_iMirror = int(u32At(m_enhance, ZELT_ENH_MIRROR));
    const QSignalBlocker blocker(ui->oMirrorCombo);
    selectCode(ui->oMirrorCombo, m_iMirror);
}

void CImageCfgForm::connectEnhance()
{
    connectSlider(ui->oBrightnessSlider, &CImageCfgForm::brightPressSlot, &CImageCfgForm::brightReleaseSlot,
                  &CImageCfgForm::brightChangedSlot);
    connectSlider(ui->oContrastSlider, &CImageCfgForm::contrastPressSlot, &CImageCfgForm::contrastReleaseSlot,
                  &CImageCfgForm::contrastChangedSlot);
    connectSlider(ui->oSaturationSlider, &CImageCfgForm::saturationPressSlot, &CImageCfgForm::saturationReleaseSlot,
                  &CImageCfgForm::saturationChangedSlot);
    connectSlider(ui->oSharpnessSlider, &CImageCfgForm::sharpPressSlot, &CImageCfgForm::sharpReleaseSlot,
                  &CImageCfgForm::sharpChangedSlot);
    connectSlider(ui->oDenoise2DSlider, &CImageCfgForm::denoise2DPressSlot, &CImageCfgForm::denoise2DReleaseSlot,
                  &CImageCfgForm::denoise2DChangedSlot);
    connectSlider(ui->oDenoise3DSlider, &CImageCfgForm::denoise3DPressSlot, &CImageCfgForm::denoise3DReleaseSlot,
                  &CImageCfgForm::denoise3DChangedSlot);
    connect(ui->oMirrorCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CImageCfgForm::mirrorChangedSlot, Qt::UniqueConnection);
}

QByteArray CImageCfgForm::collectEnhance() const
{
    QByteArray data = m_enhance;
    const QList<QPair<QSlider *, int>> sliders = enhanceSliders(*ui);
    for (const auto &slider : sliders) {
        if (rowShown(slider.first->parentWidget()))
            putU32(data, slider.second, quint32(slider.first->value()));
    }
    putU32(data, ZELT_ENH_MIRROR, quint32(m_iMirror));
    return data;
}

void CImageCfgForm::writeEnhance()
{
    // A refused value must not stay on the slider as if it had been written.
    if (!writeGroup(ZELT_MW_IMAGE_ENHANCE_CFG, m_enhance, collectEnhance()))
        showEnhance();
}

void CImageCfgForm::brightReleaseSlot()
{
    sliderReleased(ui->oBrightnessSlider, &CImageCfgForm::brightChangedSlot, &CImageCfgForm::writeEnhance);
}

void CImageCfgForm::brightPressSlot()
{
    sliderPressed(ui->oBrightnessSlider, &CImageCfgForm::brightChangedSlot);
}

void CImageCfgForm::brightChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::contrastReleaseSlot()
{
    sliderReleased(ui->oContrastSlider, &CImageCfgForm::contrastChangedSlot, &CImageCfgForm::writeEnhance);
}

void CImageCfgForm::contrastPressSlot()
{
    sliderPressed(ui->oContrastSlider, &CImageCfgForm::contrastChangedSlot);
}

void CImageCfgForm::contrastChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::saturationReleaseSlot()
{
    sliderReleased(ui->oSaturationSlider, &CImageCfgForm::saturationChangedSlot, &CImageCfgForm::writeEnhance);
}

void CImageCfgForm::saturationPressSlot()
{
    sliderPressed(ui->oSaturationSlider, &CImageCfgForm::saturationChangedSlot);
}

void CImageCfgForm::saturationChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::sharpReleaseSlot()
{
    sliderReleased(ui->oSharpnessSlider, &CImageCfgForm::sharpChangedSlot, &CImageCfgForm::writeEnhance);
}

void CImageCfgForm::sharpPressSlot()
{
    sliderPressed(ui->oSharpnessSlider, &CImageCfgForm::sharpChangedSlot);
}

void CImageCfgForm::sharpChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::denoise2DReleaseSlot()
{
    sliderReleased(ui->oDenoise2DSlider, &CImageCfgForm::denoise2DChangedSlot, &CImageCfgForm::writeEnhance);
}

void CImageCfgForm::denoise2DPressSlot()
{
    sliderPressed(ui->oDenoise2DSlider, &CImageCfgForm::denoise2DChangedSlot);
}

void CImageCfgForm::denoise2DChangedSlot(int)
{
    writeEnhance();
}

void CImageCfgForm::denoise3DReleaseSlot()
{
    sliderReleased(ui->oDenoise3DSlider, &CImageCfgForm::denoise3DChangedSlot, &CImageCfgForm::writeEnhance);
}

void CImageCfgForm::denoise3DPressSlot()
{
    sliderPressed(ui->oDenoise3DSlider, &CImageCfgForm::denoise3DChangedSlot);
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
