#include "dev_encodecfgform.h"
#include "ui_dev_encodecfgform.h"

#include "cfgreport.h"
#include "devfailreason.h"
#include "encodestreamread.h"
#include "encodestreamwrite.h"
#include "encodestreamwidgets.h"

#include <QGroupBox>

using namespace EncodeStreams;

CEncodeCfgForm::CEncodeCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                               QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CEncodeCfgForm)
    , m_devBean(oBean)
    , m_userId(oBean.m_strLoginKey.toLatin1())
{
    ui->setupUi(this);
    m_pView.reset(new CEncodeStreamWidgets(this));
    m_pLogic.reset(new CEncodeStreamLogic(*m_pView));
    m_pReport = new CCfgReport(ui->oReportFrame, ui->oIconLabel, ui->oReportLabel, this);
    ui->oReportLabel->clear();
    ui->oSubGroup->hide();
    ui->oThirdGroup->hide();

    // Writing what a failed read left would put zeros into the device.
    switch (EncodeStreamRead::load(*m_pLogic, m_userId, capList, m_encCfg)) {
    case EncodeStreamRead::VideoInputFailed: m_strSaveBlocked = tr("读取视频输入参数失败，不能保存。"); break;
    case EncodeStreamRead::NoMainResolution: m_strSaveBlocked = tr("设备没有可用的主流分辨率，不能保存。"); break;
    case EncodeStreamRead::EncoderFailed: m_strSaveBlocked = tr("读取编码参数失败，不能保存。"); break;
    case EncodeStreamRead::ReadOk: break;
    }
    if (!m_strSaveBlocked.isEmpty()) {
        ui->oSaveBtn->setEnabled(false);
        m_pReport->showNote(m_strSaveBlocked);
    }

    m_saveTimer.setSingleShot(true);
    connect(this, &CEncodeCfgForm::sendReportSignal, this, &CEncodeCfgForm::showReportSlot);
    connect(m_pReport->timer(), &QTimer::timeout, this, &CEncodeCfgForm::onShowReportTimer);
    connect(&m_saveTimer, &QTimer::timeout, this, &CEncodeCfgForm::onSaveCfgTimer);
    connect(ui->oSubGroup, &QGroupBox::clicked, this, &CEncodeCfgForm::subGroupSlot);
    connect(ui->oThirdGroup, &QGroupBox::clicked, this, &CEncodeCfgForm::thirdGroupSlot);
    connectWidgets();
}

CEncodeCfgForm::~CEncodeCfgForm() = default;

void CEncodeCfgForm::connectWidgets()
{
    auto combo = [this](QComboBox *pCombo, void (CEncodeCfgForm::*pfnSlot)(int)) {
        connect(pCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, pfnSlot);
    };
    combo(ui->oEncodeFormCombo_1, &CEncodeCfgForm::encFmt_1_ChangedSlot);
    combo(ui->oEncodeModeCombo_1, &CEncodeCfgForm::encMode_1_ChangedSlot);
    combo(ui->oResolutionCombo_1, &CEncodeCfgForm::resolution_1_ChangedSlot);
    combo(ui->oFrameRateCombo_1, &CEncodeCfgForm::frameRate_1_ChangedSlot);
    combo(ui->oEncodeFormCombo_2, &CEncodeCfgForm::encFmt_2_ChangedSlot);
    combo(ui->oEncodeModeCombo_2, &CEncodeCfgForm::encMode_2_ChangedSlot);
    combo(ui->oResolutionCombo_2, &CEncodeCfgForm::resolution_2_ChangedSlot);
    combo(ui->oFrameRateCombo_2, &CEncodeCfgForm::frameRate_2_ChangedSlot);
    combo(ui->oEncodeFormCombo_3, &CEncodeCfgForm::encFmt_3_ChangedSlot);
    combo(ui->oEncodeModeCombo_3, &CEncodeCfgForm::encMode_3_ChangedSlot);
    combo(ui->oResolutionCombo_3, &CEncodeCfgForm::resolution_3_ChangedSlot);
    connect(ui->oBitRatioEdit_1, &QLineEdit::editingFinished, this, &CEncodeCfgForm::bitRate_1_EditSlot);
    connect(ui->oIFrameGapEdit_1, &QLineEdit::editingFinished, this, &CEncodeCfgForm::IFrameGap_1_EditSlot);
    connect(ui->oBitRatioEdit_2, &QLineEdit::editingFinished, this, &CEncodeCfgForm::bitRate_2_EditSlot);
    connect(ui->oIFrameGapEdit_2, &QLineEdit::editingFinished, this, &CEncodeCfgForm::IFrameGap_2_EditSlot);
    connect(ui->oBitRatioEdit_3, &QLineEdit::editingFinished, this, &CEncodeCfgForm::bitRate_3_EditSlot);
    connect(ui->oIFrameGapEdit_3, &QLineEdit::editingFinished, this, &CEncodeCfgForm::IFrameGap_3_EditSlot);
}

void CEncodeCfgForm::subGroupSlot(bool bChecked)
{
    m_pLogic->subGroupClicked(bChecked);
}

void CEncodeCfgForm::thirdGroupSlot(bool bChecked)
{
    m_pLogic->thirdGroupClicked(bChecked);
}

void CEncodeCfgForm::showReportSlot(QString strResult, ULONG ulResult)
{
    m_pReport->show(strResult, ulResult);
}

void CEncodeCfgForm::onShowReportTimer()
{
    m_pReport->timer()->stop();
    m_pReport->clear();
}

void CEncodeCfgForm::on_oSaveBtn_clicked()
{
    ui->oSaveBtn->setEnabled(false);
    m_saveTimer.start(50);
}

void CEncodeCfgForm::onSaveCfgTimer()
{
    m_saveTimer.stop();
    if (!m_strSaveBlocked.isEmpty())
        return;
    if (!m_pLogic->validateAll()) {
        ui->oSaveBtn->setEnabled(true);
        return;
    }
    const EncodeStreamWrite::stResult result =
        EncodeStreamWrite::write(m_userId, m_pLogic->saveSequence(m_encCfg), m_encCfg);
    ui->oSaveBtn->setEnabled(true);
    if (result.ulError == 0) {
        emit sendReportSignal(tr("设置参数成功！"), 0);
        return;
    }
    const QString strReason = CDevFailReason::ofIpc(result.ulError);
    if (result.listUnrestored.isEmpty()) {
        emit sendReportSignal(tr("设置参数失败！") + QLatin1Char(' ') + strReason, result.ulError);
        return;
    }
    QStringList listNames;
    for (int iStream : result.listUnrestored)
        listNames << (iStream == Main ? tr("主流") : iStream == Sub ? tr("辅流") : tr("第三流"));
    emit sendReportSignal(tr("设置参数失败！%1未能恢复原来的设置。").arg(listNames.join(tr("、"))) + QLatin1Char(' ')
                              + strReason,
                          result.ulError);
}

void CEncodeCfgForm::encFmt_1_ChangedSlot(int) { m_pLogic->formatChanged(Main); }
void CEncodeCfgForm::encMode_1_ChangedSlot(int) { m_pLogic->modeChanged(Main); }
void CEncodeCfgForm::resolution_1_ChangedSlot(int) { m_pLogic->resolutionChanged(Main); }
void CEncodeCfgForm::frameRate_1_ChangedSlot(int) { m_pLogic->frameRateChanged(Main); }
void CEncodeCfgForm::encFmt_2_ChangedSlot(int) { m_pLogic->formatChanged(Sub); }
void CEncodeCfgForm::encMode_2_ChangedSlot(int) { m_pLogic->modeChanged(Sub); }
void CEncodeCfgForm::resolution_2_ChangedSlot(int) { m_pLogic->resolutionChanged(Sub); }
void CEncodeCfgForm::frameRate_2_ChangedSlot(int) { m_pLogic->frameRateChanged(Sub); }
void CEncodeCfgForm::encFmt_3_ChangedSlot(int) { m_pLogic->formatChanged(Third); }
void CEncodeCfgForm::encMode_3_ChangedSlot(int) { m_pLogic->modeChanged(Third); }
void CEncodeCfgForm::resolution_3_ChangedSlot(int) { m_pLogic->resolutionChanged(Third); }
void CEncodeCfgForm::bitRate_1_EditSlot() { m_pLogic->bitRateEdited(Main); }
void CEncodeCfgForm::IFrameGap_1_EditSlot() { m_pLogic->iFrameEdited(Main); }
void CEncodeCfgForm::bitRate_2_EditSlot() { m_pLogic->bitRateEdited(Sub); }
void CEncodeCfgForm::IFrameGap_2_EditSlot() { m_pLogic->iFrameEdited(Sub); }
void CEncodeCfgForm::bitRate_3_EditSlot() { m_pLogic->bitRateEdited(Third); }
void CEncodeCfgForm::IFrameGap_3_EditSlot() { m_pLogic->iFrameEdited(Third); }
