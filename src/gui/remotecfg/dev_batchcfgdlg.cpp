#include "dev_batchcfgdlg.h"
#include "ui_dev_batchcfgdlg.h"

#include "devfailreason.h"

#include "cfgbatch.h"
#include "devcapability.h"
#include "encodestreamread.h"
#include "encodestreamwidgets.h"
#include "msgdlg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QDebug>
#include <QGroupBox>
#include <QRegExpValidator>
#include <QtEndian>

using namespace EncodeStreams;

namespace {

constexpr int kAudioG711A = 1;
constexpr int kAudioG711U = 2;
constexpr int kAudioAacLc = 6;
constexpr int kGainMax = 255;

} // namespace

CBatchCfgDlg::CBatchCfgDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CBatchCfgDlg)
    , m_baAudio(ZELT_AUDIO_SIZE, '\0')
    , m_pBatch(new CCfgBatch(this))
{
    ui->setupUi(this);
    m_pView.reset(new CEncodeStreamWidgets(ui->oEndoTab));
    m_pLogic.reset(new CEncodeStreamLogic(*m_pView));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    resize(800, 560);
    const QRegExp digits(QStringLiteral("^[0-9]*[0-9][0-9]*$"));
    ui->oAudioGainEdit->setValidator(new QRegExpValidator(digits, this));
    ui->oAudioGainEdit->setMaxLength(3);
    connect(m_pBatch, &CCfgBatch::sendResultSignal, this, &CBatchCfgDlg::getResultSlot);
}

CBatchCfgDlg::~CBatchCfgDlg() = default;

ULONG CBatchCfgDlg::getDevListInfoSlot(QList<CUIDeviceBean> &oDevList)
{
    m_listDev = oDevList;
    if (!m_listDev.isEmpty())
        m_devBean = m_listDev.first();
    return 0;
}

ULONG CBatchCfgDlg::prepare()
{
    ui->oSubGroup->hide();
    ui->oThirdGroup->hide();
    if (!setEncodeDefault())
        removeTab(ui->oEndoTab);
    if (!setAudioDefault())
        removeTab(ui->oAudioTab);
    return ui->oBatchCfgTabWidget->count() > 0 ? 0 : 1;
}

void CBatchCfgDlg::removeTab(QWidget *pTab)
{
    const int iIndex = ui->oBatchCfgTabWidget->indexOf(pTab);
    if (iIndex >= 0)
        ui->oBatchCfgTabWidget->removeTab(iIndex);
}

QString CBatchCfgDlg::readFailure() const
{
    return m_ulReadFailure == ZELT_MW_ERR_UNSUPPORTED ? QString() : CDevFailReason::ofIpc(m_ulReadFailure);
}

DWORD CBatchCfgDlg::getDevCapicity(DWORD ulKind)
{
    m_listCap.clear();
    const DWORD ulResult = DevCapability::fetch(m_devBean.m_strLoginKey, ulKind, m_listCap);
    if (ulResult != 0)
        m_ulReadFailure = ulResult;
    return ulResult;
}

DWORD CBatchCfgDlg::getDevAudioParam()
{
    QByteArray baAudio(ZELT_AUDIO_SIZE, '\0');
    DWORD ulLen = DWORD(baAudio.size());
    const DWORD ulRet = ZELT_MW_GetConfig(m_devBean.m_strLoginKey.toLatin1().constData(), ZELT_MW_AUDIO_IN_CFG, 0,
                                          &ulLen, baAudio.data());
    if (ulRet != 0) {
        qDebug() << "ZELT_MW_GetConfig ZELT_MW_AUDIO_IN_CFG failed!" << ulRet;
        return ulRet;
    }
    qDebug() << "ZELT_MW_GetConfig ZELT_MW_AUDIO_IN_CFG succeed!";
    m_baAudio = baAudio;
    return 0;
}

bool CBatchCfgDlg::setEncodeDefault()
{
    if (getDevCapicity(DevCapability::KindEncode) != 0) {
        qDebug() << "能力集获取失败，设置默认值不成功。";
        return false;
    }
    // What a failed read leaves is zeros, which must not go out to a fleet.
    switch (EncodeStreamRead::load(*m_pLogic, m_devBean.m_strLoginKey.toLatin1(), m_listCap, m_encCfg)) {
    case EncodeStreamRead::VideoInputFailed: m_strEncodeBlocked = tr("读取视频输入参数失败，不能配置。"); break;
    case EncodeStreamRead::NoMainResolution: m_strEncodeBlocked = tr("设备没有可用的主流分辨率，不能配置。"); break;
    case EncodeStreamRead::EncoderFailed: m_strEncodeBlocked = tr("读取编码参数失败，不能配置。"); break;
    case EncodeStreamRead::ReadOk: break;
    }
    ui->oTipLabel->setText(m_strEncodeBlocked);
    connectEncodeWidgets();
    return true;
}

void CBatchCfgDlg::connectEncodeWidgets()
{
    auto combo = [this](QComboBox *pCombo, void (CBatchCfgDlg::*pfnSlot)(int)) {
        connect(pCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, pfnSlot);
    };
    combo(ui->oEncodeFormCombo_1, &CBatchCfgDlg::encFmt_1_ChangedSlot);
    combo(ui->oEncodeModeCombo_1, &CBatchCfgDlg::encMode_1_ChangedSlot);
    combo(ui->oResolutionCombo_1, &CBatchCfgDlg::resolution_1_ChangedSlot);
    combo(ui->oFrameRateCombo_1, &CBatchCfgDlg::frameRate_1_ChangedSlot);
    combo(ui->oEncodeFormCombo_2, &CBatchCfgDlg::encFmt_2_ChangedSlot);
    combo(ui->oEncodeModeCombo_2, &CBatchCfgDlg::encMode_2_ChangedSlot);
    combo(ui->oResolutionCombo_2, &CBatchCfgDlg::resolution_2_ChangedSlot);
    combo(ui->oFrameRateCombo_2, &CBatchCfgDlg::frameRate_2_ChangedSlot);
    combo(ui->oEncodeFormCombo_3, &CBatchCfgDlg::encFmt_3_ChangedSlot);
    combo(ui->oEncodeModeCombo_3, &CBatchCfgDlg::encMode_3_ChangedSlot);
    combo(ui->oResolutionCombo_3, &CBatchCfgDlg::resolution_3_ChangedSlot);
    connect(ui->oBitRatioEdit_1, &QLineEdit::editingFinished, this, &CBatchCfgDlg::bitRate_1_EditSlot);
    connect(ui->oIFrameGapEdit_1, &QLineEdit::editingFinished, this, &CBatchCfgDlg::IFrameGap_1_EditSlot);
    connect(ui->oBitRatioEdit_2, &QLineEdit::editingFinished, this, &CBatchCfgDlg::bitRate_2_EditSlot);
    connect(ui->oIFrameGapEdit_2, &QLineEdit::editingFinished, this, &CBatchCfgDlg::IFrameGap_2_EditSlot);
    connect(ui->oBitRatioEdit_3, &QLineEdit::editingFinished, this, &CBatchCfgDlg::bitRate_3_EditSlot);
    connect(ui->oIFrameGapEdit_3, &QLineEdit::editingFinished, this, &CBatchCfgDlg::IFrameGap_3_EditSlot);
    connect(ui->oSubGroup, &QGroupBox::clicked, this, &CBatchCfgDlg::subGroupSlot);
    connect(ui->oThirdGroup, &QGroupBox::clicked, this, &CBatchCfgDlg::thirdGroupSlot);
}

void CBatchCfgDlg::subGroupSlot(bool bChecked) { m_pLogic->subGroupClicked(bChecked); }
void CBatchCfgDlg::thirdGroupSlot(bool bChecked) { m_pLogic->thirdGroupClicked(bChecked); }
void CBatchCfgDlg::encFmt_1_ChangedSlot(int) { m_pLogic->formatChanged(Main); }
void CBatchCfgDlg::encMode_1_ChangedSlot(int) { m_pLogic->modeChanged(Main); }
void CBatchCfgDlg::resolution_1_ChangedSlot(int) { m_pLogic->resolutionChanged(Main); }
void CBatchCfgDlg::frameRate_1_ChangedSlot(int) { m_pLogic->frameRateChanged(Main); }
void CBatchCfgDlg::encFmt_2_ChangedSlot(int) { m_pLogic->formatChanged(Sub); }
void CBatchCfgDlg::encMode_2_ChangedSlot(int) { m_pLogic->modeChanged(Sub); }
void CBatchCfgDlg::resolution_2_ChangedSlot(int) { m_pLogic->resolutionChanged(Sub); }
void CBatchCfgDlg::frameRate_2_ChangedSlot(int) { m_pLogic->frameRateChanged(Sub); }
void CBatchCfgDlg::encFmt_3_ChangedSlot(int) { m_pLogic->formatChanged(Third); }
void CBatchCfgDlg::encMode_3_ChangedSlot(int) { m_pLogic->modeChanged(Third); }
void CBatchCfgDlg::resolution_3_ChangedSlot(int) { m_pLogic->resolutionChanged(Third); }
void CBatchCfgDlg::bitRate_1_EditSlot() { m_pLogic->bitRateEdited(Main); }
void CBatchCfgDlg::IFrameGap_1_EditSlot() { m_pLogic->iFrameEdited(Main); }
void CBatchCfgDlg::bitRate_2_EditSlot() { m_pLogic->bitRateEdited(Sub); }
void CBatchCfgDlg::IFrameGap_2_EditSlot() { m_pLogic->iFrameEdited(Sub); }
void CBatchCfgDlg::bitRate_3_EditSlot() { m_pLogic->bitRateEdited(Third); }
void CBatchCfgDlg::IFrameGap_3_EditSlot() { m_pLogic->iFrameEdited(Third); }

bool CBatchCfgDlg::setAudioDefault()
{
    if (getDevCapicity(DevCapability::KindAudio) != 0)
        return false;
    QString strModes;
    DevCapability::find(m_listCap, QStringLiteral("Mode"), &strModes);
    for (int iCode : DevCapability::intList(strModes)) {
        if (iCode == kAudioG711A)
            ui->oEncodeFormCombo->addItem(QStringLiteral("G.711A"), iCode);
        else if (iCode == kAudioG711U)
            ui->oEncodeFormCombo->addItem(QStringLiteral("G.711U"), iCode);
        else if (iCode == kAudioAacLc)
            ui->oEncodeFormCombo->addItem(QStringLiteral("AAC-LC"), iCode);
    }
    if (ui->oEncodeFormCombo->count() == 0)
        return false;

    m_bAudioRead = getDevAudioParam() == 0;
    ui->oSampleRateCombo->addItem(QStringLiteral("8"), 8);
    ui->oSampleRateCombo->addItem(QStringLiteral("16"), 16);
    connect(ui->oAudioInputOn, &QRadioButton::toggled, this, &CBatchCfgDlg::oAudioInputOnSlot);
    connect(ui->oAudioInputOff, &QRadioButton::toggled, this, &CBatchCfgDlg::oAudioInputOffSlot);
    connect(ui->oEncodeFormCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CBatchCfgDlg::oEncodeFormatACCLCSlot);
    connect(ui->oAudioGainEdit, &QLineEdit::editingFinished, this, &CBatchCfgDlg::audioGainEditSlot);

    const auto *p = m_baAudio.constData();
    m_iLastGain = int(zelt_get_u32(p, ZELT_AUDIO_GAIN));
    ui->oAudioGainEdit->setText(QString::number(m_iLastGain));
    if (zelt_get_u32(p, ZELT_AUDIO_INPUT_OFF) != 0)
        ui->oAudioInputOff->setChecked(true);
    else
        ui->oAudioInputOn->setChecked(true);
    m_bAudioInputOff = zelt_get_u32(p, ZELT_AUDIO_INPUT_OFF) != 0;
    ui->oEncodeFormCombo->setCurrentIndex(ui->oEncodeFormCombo->findData(int(zelt_get_u32(p, ZELT_AUDIO_FORMAT))));
    ui->oSampleRateCombo->setCurrentIndex(
        ui->oSampleRateCombo->findData(int(zelt_get_u32(p, ZELT_AUDIO_SAMPLE_RATE))));
    oEncodeFormatACCLCSlot(ui->oEncodeFormCombo->currentIndex());
    return true;
}

void CBatchCfgDlg::oAudioInputOnSlot(bool bChecked)
{
    m_bAudioInputOff = !bChecked;
}

void CBatchCfgDlg::oAudioInputOffSlot(bool bChecked)
{
    m_bAudioInputOff = bChecked;
}

void CBatchCfgDlg::oEncodeFormatACCLCSlot(int iIndex)
{
    const int iFormat = ui->oEncodeFormCombo->itemData(iIndex).toInt();
    if (iFormat == kAudioG711A || iFormat == kAudioG711U) {
        // G.711 is defined for 8 kHz only.
        ui->oSampleRateCombo->setCurrentIndex(ui->oSampleRateCombo->findData(8));
        ui->oSampleRateCombo->setEnabled(false);
    } else if (iFormat == kAudioAacLc) {
        ui->oSampleRateCombo->setEnabled(true);
    }
}

void CBatchCfgDlg::showNote(const QString &strText)
{
    CMsgDlg::showMsg(tr("信息"), strText, MsgNote, this);
}

bool CBatchCfgDlg::checkGain(bool bRestore)
{
    const QString strGain = ui->oAudioGainEdit->text();
    bool bOk = false;
    const int iGain = strGain.toInt(&bOk);
    if (bOk && iGain >= 0 && iGain <= kGainMax) {
        m_iLastGain = iGain;
        return true;
    }
    if (bRestore)
        ui->oAudioGainEdit->setText(QString::number(m_iLastGain));
    m_pView->showRangeNote(0, kGainMax);
    return false;
}

void CBatchCfgDlg::audioGainEditSlot()
{
    checkGain(true);
}

void CBatchCfgDlg::sendToAll(const QList<QPair<ulong, QByteArray>> &listRequests)
{
    for (CUIDeviceBean &oBean : m_listDev) {
        oBean.m_lStatus = DevStatusConfiguring;
        emit sendResultSignal(oBean);
        for (const auto &request : listRequests)
            m_pBatch->request(request.first, request.second, oBean);
    }
    accept();
}

void CBatchCfgDlg::on_oAudioCfgBtn_clicked()
{
    if (!m_bAudioRead) {
        showNote(tr("读取音频参数失败，不能配置。"));
        return;
    }
    if (!checkGain(false))
        return;
    if (ui->oEncodeFormCombo->currentIndex() < 0 || ui->oSampleRateCombo->currentIndex() < 0) {
        showNote(tr("请为每一项选择有效的值。"));
        return;
    }
    QByteArray baAudio(ZELT_AUDIO_SIZE, '\0');
    auto *p = baAudio.data();
    zelt_put_u32(p, ZELT_AUDIO_FORMAT, ui->oEncodeFormCombo->currentData().toUInt());
    zelt_put_u32(p, ZELT_AUDIO_SAMPLE_RATE, ui->oSampleRateCombo->currentData().toUInt());
    zelt_put_u32(p, ZELT_AUDIO_RESERVED, 0);
    zelt_put_u32(p, ZELT_AUDIO_INPUT_OFF, m_bAudioInputOff ? 1 : 0);
    zelt_put_u32(p, ZELT_AUDIO_GAIN, uint32_t(m_iLastGain));
    sendToAll({qMakePair(ulong(ZELT_MW_AUDIO_IN_CFG), baAudio)});
}

void CBatchCfgDlg::on_oEncodeCfgBtn_clicked()
{
    if (!m_strEncodeBlocked.isEmpty()) {
        showNote(m_strEncodeBlocked);
        return;
    }
    if (!m_pLogic->validateAll())
        return;
    // Lower streams off first, the main stream, then the lower streams in
    // their final state; every device gets the same sequence.
    QList<QPair<ulong, QByteArray>> listRequests;
    for (const stEncoderCfg &cfg : m_pLogic->saveSequence(m_encCfg))
        listRequests.append(qMakePair(ulong(ZELT_MW_VIDEO_ENCODER_CFG), cfg.toBytes()));
    sendToAll(listRequests);
}

void CBatchCfgDlg::deleteWhenDone()
{
    m_pBatch->deleteWhenDone(this);
}

void CBatchCfgDlg::getResultSlot(CUIDeviceBean &oBean)
{
    // The batch answers with the record as it was sent, its status now final.
    emit sendResultSignal(oBean);
}
