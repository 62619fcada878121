#include "modifychandlg.h"
#include "ui_chandlg.h"

#include "chanparam.h"

CModifyChanDlg::CModifyChanDlg(QWidget *parent)
    : CChanDlgBase(tr("修改通道"), tr("确定"), parent)
{
    // Filled before connecting: the bit rate stays empty until setChanRecord.
    fillResolutions(QStringLiteral("1080P"));
    fillFmtAndFrameRates();
    connectReactions();
    connect(ui->oChanTypeCombo, &QComboBox::currentTextChanged, this,
            &CModifyChanDlg::setInitResSlot);
}

CModifyChanDlg::~CModifyChanDlg() = default;

void CModifyChanDlg::setChanRecord(const CUIChanBean &oBean)
{
    ui->oChanNumEdit->setValue(oBean.m_lChanNum);
    const int lType = ui->oChanTypeCombo->findText(oBean.m_strChanName);
    if (lType >= 0)
        ui->oChanTypeCombo->setCurrentIndex(lType);
    const int lRes = ui->oResolutionCombo->findText(oBean.m_strResolution);
    if (lRes >= 0)
        ui->oResolutionCombo->setCurrentIndex(lRes);
    const int lFrame = ui->oFrameRateCombo->findText(oBean.m_strFrameRate);
    if (lFrame >= 0)
        ui->oFrameRateCombo->setCurrentIndex(lFrame);
    ui->oBitRateEdit->setText(QString::number(oBean.m_lBitRate));
    ui->oBestBitRateLabel->setText(QString::number(oBean.m_lBestBitRate));
    if (oBean.m_lEncFmt == CChanParam::EncMjpeg || oBean.m_lEncFmt == CChanParam::EncH264)
        ui->oEncFmtCombo->setCurrentIndex(ui->oEncFmtCombo->findData(oBean.m_lEncFmt));
}

void CModifyChanDlg::setInitResSlot(const QString &strDevType)
{
    Q_UNUSED(strDevType)
    fillResolutions(QString());
}

QString CModifyChanDlg::rangeNote() const
{
    return tr("码率范围：128~16384");
}
