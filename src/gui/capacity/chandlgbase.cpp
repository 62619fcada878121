#include "chandlgbase.h"
#include "ui_chandlg.h"

#include "chanparam.h"
#include "msgdlg.h"

#include <QRegExpValidator>

CChanDlgBase::CChanDlgBase(const QString &strTitle, const QString &strOkText, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CChanDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setWindowTitle(strTitle);
    ui->oOkBtn->setText(strOkText);
    ui->oBitRateEdit->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("^[0-9]*[1-9][0-9]*$")), ui->oBitRateEdit));
    ui->oBitRateEdit->setMaxLength(5);
    ui->oChanTypeCombo->addItem(QStringLiteral("IPC"));
}

CChanDlgBase::~CChanDlgBase() = default;

CUIChanBean CChanDlgBase::chanRecord()
{
    m_oChanBean.m_lChanNum = ui->oChanNumEdit->value();
    m_oChanBean.m_strChanName = ui->oChanTypeCombo->currentText();
    m_oChanBean.m_strResolution = ui->oResolutionCombo->currentText();
    m_oChanBean.m_strFrameRate = ui->oFrameRateCombo->currentText();
    m_oChanBean.m_lBitRate = ui->oBitRateEdit->text().toInt();
    m_oChanBean.m_lBestBitRate = ui->oBestBitRateLabel->text().toInt();
    m_oChanBean.m_lTotalBitRate = m_oChanBean.m_lChanNum * m_oChanBean.m_lBitRate;
    m_oChanBean.m_lEncFmt = ui->oEncFmtCombo->currentData().toInt();
    return m_oChanBean;
}

void CChanDlgBase::on_oOkBtn_clicked()
{
    if (CChanParam::isBitRateInRange(ui->oBitRateEdit->text().toInt())) {
        accept();
        return;
    }
    CMsgDlg::showMsg(tr("信息"), rangeNote(), MsgNote, this);
}

void CChanDlgBase::on_oCancelBtn_clicked()
{
    close();
}

void CChanDlgBase::changedByResolution()
{
    const quint32 lBase = CChanParam::baseBitRate(ui->oResolutionCombo->currentData().toString());
    if (lBase == 0)
        return;
    ui->oBitRateEdit->setText(QString::number(lBase));
    ui->oBestBitRateLabel->setText(QString::number(lBase));
}

void CChanDlgBase::changedByEncFmt()
{
    switch (ui->oEncFmtCombo->currentData().toInt()) {
    case CChanParam::EncMjpeg:
        fillFrameRates(5);
        selectText(ui->oFrameRateCombo, QStringLiteral("5"));
        break;
    case CChanParam::EncH264:
        fillFrameRates(60);
        selectText(ui->oFrameRateCombo, QStringLiteral("25"));
        break;
    default:
        break;
    }
}

void CChanDlgBase::changeByFrameRate()
{
    const quint32 lRate = CChanParam::frameRateAdjusted(ui->oBestBitRateLabel->text().toUInt(),
                                                        ui->oFrameRateCombo->currentData().toInt());
    ui->oBestBitRateLabel->setText(QString::number(lRate));
    ui->oBitRateEdit->setText(QString::number(lRate));
}

void CChanDlgBase::setBestBitRate()
{
    changedByResolution();
    changeByFrameRate();
}

void CChanDlgBase::fillResolutions(const QString &strSelect)
{
    ui->oResolutionCombo->clear();
    for (const auto &res : CChanParam::resolutions())
        ui->oResolutionCombo->addItem(res.first, res.second);
    if (!strSelect.isEmpty())
        selectText(ui->oResolutionCombo, strSelect);
}

void CChanDlgBase::fillFmtAndFrameRates()
{
    ui->oEncFmtCombo->clear();
    for (const auto &fmt : CChanParam::encFmts())
        ui->oEncFmtCombo->addItem(fmt.first, fmt.second);
    ui->oEncFmtCombo->setCurrentIndex(ui->oEncFmtCombo->findData(CChanParam::EncH264));
    fillFrameRates(60);
    selectText(ui->oFrameRateCombo, QStringLiteral("25"));
}

void CChanDlgBase::fillFrameRates(int lMaxRate)
{
    ui->oFrameRateCombo->clear();
    for (int lRate : CChanParam::frameRates(lMaxRate))
        ui->oFrameRateCombo->addItem(QString::number(lRate), lRate);
}

void CChanDlgBase::connectReactions()
{
    connect(ui->oResolutionCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CChanDlgBase::setBestBitRate);
    connect(ui->oFrameRateCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CChanDlgBase::setBestBitRate);
    connect(ui->oEncFmtCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CChanDlgBase::changedByEncFmt);
}

void CChanDlgBase::selectText(QComboBox *pCombo, const QString &strText)
{
    const int lIndex = pCombo->findText(strText);
    if (lIndex >= 0)
        pCombo->setCurrentIndex(lIndex);
}
