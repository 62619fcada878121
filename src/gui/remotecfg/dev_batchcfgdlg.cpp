#include "dev_batchcfgdlg.h"
#include "ui_dev_batchcfgdlg.h"

#include "cfgbatch.h"
#include "devcapability.h"
#include "msgdlg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QDebug>
#include <QRegExpValidator>

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

DWORD CBatchCfgDlg::getDevCapicity(DWORD ulKind)
{
    m_listCap.clear();
    return DevCapability::fetch(m_devBean.m_strLoginKey, ulKind, m_listCap);
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
    return false;
}

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

void CBatchCfgDlg::noteInvalid(const QString &strText)
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
    noteInvalid(tr("有效值为%1~%2的整数，请重新输入。").arg(0).arg(kGainMax));
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
        noteInvalid(tr("读取设备参数失败，不能配置。"));
        return;
    }
    if (!checkGain(false))
        return;
    if (ui->oEncodeFormCombo->currentIndex() < 0 || ui->oSampleRateCombo->currentIndex() < 0) {
        noteInvalid(tr("请为每一项选择有效的值。"));
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
