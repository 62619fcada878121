// The image page's shell: construction, reading and writing the device's
// structures, the slider and number-field rules every group shares, the
// group frames, the report, the default restore and the live picture.
#include "dev_imagecfgform.h"
#include "ui_dev_imagecfgform.h"

#include "cfgreport.h"
#include "devfailreason.h"
#include "devsession.h"
#include "imagecfgfields.h"
#include "layoututils.h"
#include "msgdlg.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QGroupBox>
#include <QSignalBlocker>

using namespace ImageCfgFields;

CImageCfgForm::CImageCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                             QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CImageCfgForm)
    , m_devBean(oBean)
    , m_capList(capList)
{
    ui->setupUi(this);
    ui->oLivePlayWidget->setStyleSheet(QStringLiteral("background-color: rgb(0,0,0)"));
    ui->oLiveNoteFrame->hide();
    m_streamWatch.setInterval(1000);
    connect(&m_streamWatch, &QTimer::timeout, this, &CImageCfgForm::onStreamWatchTimer);
    initNumberFields();
    addSliderValues();

    fillShutterLists();
    readShutterLimit();

    m_pReport = new CCfgReport(ui->oReportFrame, ui->oIconLabel, ui->oReportLabel, this);
    ui->oReportLabel->clear();
    connect(this, &CImageCfgForm::sendReportSignal, this, &CImageCfgForm::showReportSlot);
    connect(m_pReport->timer(), &QTimer::timeout, this, &CImageCfgForm::onShowReportTimer);
    hideAll();

    parseCapabilities();
    finishNumberFields();

    for (QTimer *pTimer : {&m_enhanceTimer, &m_exposureTimer, &m_whiteTimer, &m_irCtrlTimer, &m_restoreTimer})
        pTimer->setSingleShot(true);
    connect(&m_enhanceTimer, &QTimer::timeout, this, &CImageCfgForm::onEnhanceCfgTimer);
    connect(&m_exposureTimer, &QTimer::timeout, this, &CImageCfgForm::onExposureCfgTimer);
    connect(&m_whiteTimer, &QTimer::timeout, this, &CImageCfgForm::onWhiteCfgTimer);
    connect(&m_irCtrlTimer, &QTimer::timeout, this, &CImageCfgForm::onIrCtrlCfgTimer);
    connect(&m_restoreTimer, &QTimer::timeout, this, &CImageCfgForm::onRestoreParamTimer);
    readAllGroups();

    connect(ui->oSenceGroup, &QGroupBox::clicked, this, &CImageCfgForm::senceGroupSlot);
    connect(ui->oExposureGroup, &QGroupBox::clicked, this, &CImageCfgForm::exposureGroupSlot);
    connect(ui->oSmartIRGroup, &QGroupBox::clicked, this, &CImageCfgForm::smartIRGroupSlot);
    connect(ui->oWhiteGroup, &QGroupBox::clicked, this, &CImageCfgForm::whiteGroupSlot);
    ui->oSenceGroup->setChecked(false);
    ui->oExposureGroup->setChecked(false);
    for (QGroupBox *pGroup : {ui->oSenceGroup, ui->oExposureGroup, ui->oSmartIRGroup, ui->oWhiteGroup}) {
        pGroup->setStyleSheet(QStringLiteral("QGroupBox::indicator { width: 0px; height: 0px; }"));
        setGroupExpanded(pGroup, pGroup->isChecked());
    }

    connect(ui->oLivePlayWidget, &CVideoWidget::sendScreenChangedSignal, this,
            &CImageCfgForm::videoScreenChangedSlot);
    // The live picture gives way to the settings, not the other way round.
    LayoutUtils::fitWidthToContents(ui->scrollArea);
}

CImageCfgForm::~CImageCfgForm()
{
    if (m_live.isPlaying())
        stopLivePlay();
}

QByteArray CImageCfgForm::userId() const
{
    return m_devBean.m_strLoginKey.toLatin1();
}

// --- reading ---------------------------------------------------------------

bool CImageCfgForm::readGroup(DWORD ulCmd, QByteArray &data)
{
    const DWORD ulSize = DWORD(zelt_cfg_size(ulCmd));
    data = QByteArray(int(ulSize), '\0');
    DWORD ulLen = ulSize;
    const DWORD ulResult = ZELT_MW_GetConfig(userId().constData(), ulCmd, 0, &ulLen, data.data());
    if (ulResult != 0) {
        qCDebug(lcImageCfg) << "ZELT_MW_GetConfig" << ulCmd << "failed:" << ulResult;
        data.clear();
        return false;
    }
    return true;
}

// A group that could not be read is never connected, so edits in it would go
// nowhere: its controls are disabled and the page says why until a later read
// (after a restore) succeeds.
bool CImageCfgForm::readGroupOf(QWidget *pGroupBody, DWORD ulCmd, QByteArray &data)
{
    const bool bRead = readGroup(ulCmd, data);
    pGroupBody->setEnabled(bRead);
    pGroupBody->setToolTip(bRead ? QString() : tr("读取参数失败，该组不能配置。"));
    if (!bRead)
        m_pReport->showNote(tr("读取参数失败，该组不能配置。"));
    return bRead;
}

// Each read connects its group's controls. Every connection is unique, so a
// group that is read again is never connected twice.
void CImageCfgForm::readAllGroups()
{
    readEnhance();
    readExposure();
    readWhite();
    readIrCtrl();
}

void CImageCfgForm::disconnectAll()
{
    const QList<QWidget *> groups = {ui->oSenceGroup, ui->oExposureGroup, ui->oSmartIRGroup, ui->oWhiteGroup};
    for (QWidget *pGroup : groups) {
        for (QWidget *pControl : pGroup->findChildren<QWidget *>())
            disconnect(pControl, nullptr, this, nullptr);
    }
}

// --- writing ---------------------------------------------------------------

bool CImageCfgForm::writeGroup(DWORD ulCmd, QByteArray &stored, const QByteArray &data)
{
    const DWORD ulResult = ZELT_MW_SetConfig(userId().constData(), ulCmd, 0, DWORD(data.size()), data.constData());
    if (ulResult == 0) {
        stored = data;
        emit sendReportSignal(tr("设置参数成功！"), 0);
        return true;
    }
    qCDebug(lcImageCfg) << "ZELT_MW_SetConfig" << ulCmd << "failed:" << ulResult;
    emit sendReportSignal(tr("设置参数失败！") + QLatin1Char(' ') + CDevFailReason::ofIpc(ulResult), ulResult);
    if (DevSession::isDeviceGone(ulResult)) {
        showLiveLost(tr("与设备的连接已中断，实况已停止。"), ulResult);
        emit sendDevGoneSignal();
    }
    return false;
}

void CImageCfgForm::startListTimer(QTimer &timer)
{
    timer.start(50);
}

// Unique like every connection of the groups (see readAllGroups).
void CImageCfgForm::connectSlider(QSlider *pSlider, void (CImageCfgForm::*pressed)(),
                                  void (CImageCfgForm::*released)(), void (CImageCfgForm::*changed)(int))
{
    const auto unique = Qt::UniqueConnection;
    connect(pSlider, &QSlider::sliderPressed, this, pressed, unique);
    connect(pSlider, &QSlider::sliderReleased, this, released, unique);
    connect(pSlider, &QSlider::valueChanged, this, changed, unique);
}

void CImageCfgForm::sliderPressed(QSlider *pSlider, void (CImageCfgForm::*changed)(int))
{
    disconnect(pSlider, &QSlider::valueChanged, this, changed);
}

void CImageCfgForm::sliderReleased(QSlider *pSlider, void (CImageCfgForm::*changed)(int),
                                   void (CImageCfgForm::*write)())
{
    connect(pSlider, &QSlider::valueChanged, this, changed, Qt::UniqueConnection);
    (this->*write)();
}

bool CImageCfgForm::NumberRange::accepts(const QLineEdit *pEdit, int &iValue) const
{
    bool bOk = false;
    iValue = pEdit->text().toInt(&bOk);
    return bOk && bValid && iValue >= iMin && iValue <= iMax;
}

void CImageCfgForm::numberEdited(QLineEdit *pEdit, const NumberRange &range, quint32 ulStored,
                                 void (CImageCfgForm::*write)())
{
    bool bOk = false;
    const int iValue = pEdit->text().toInt(&bOk);
    if (!bOk || iValue < range.iMin || iValue > range.iMax) {
        {
            const QSignalBlocker blocker(pEdit);
            pEdit->setText(QString::number(ulStored));
        }
        CMsgDlg::showMsg(tr("信息"),
                         tr("有效值为") + QString::number(range.iMin) + QStringLiteral("~")
                             + QString::number(range.iMax) + tr("的整数，请重新输入。"),
                         MsgNote, this);
        return;
    }
    if (quint32(iValue) != ulStored)
        (this->*write)();
}

// --- groups ----------------------------------------------------------------

void CImageCfgForm::setGroupExpanded(QGroupBox *pGroup, bool bChecked)
{
    pGroup->setMaximumHeight(bChecked ? QWIDGETSIZE_MAX : 18);
    if (!pGroup->property("foldTitle").isValid())
        pGroup->setProperty("foldTitle", pGroup->title());
    const QChar cArrow = bChecked ? QChar(0x25BE) : QChar(0x25B8);
    pGroup->setTitle(cArrow + QLatin1Char(' ') + pGroup->property("foldTitle").toString());
}

void CImageCfgForm::senceGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oSenceGroup, bChecked);
}

void CImageCfgForm::exposureGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oExposureGroup, bChecked);
}

void CImageCfgForm::smartIRGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oSmartIRGroup, bChecked);
}

void CImageCfgForm::whiteGroupSlot(bool bChecked)
{
    setGroupExpanded(ui->oWhiteGroup, bChecked);
}

// --- report and timers -----------------------------------------------------

void CImageCfgForm::showReportSlot(QString strResult, ULONG ulResult)
{
    m_pReport->show(strResult, ulResult);
}

void CImageCfgForm::onShowReportTimer()
{
    m_pReport->clear();
}

void CImageCfgForm::onEnhanceCfgTimer()
{
    m_enhanceTimer.stop();
    writeEnhance();
}

void CImageCfgForm::onExposureCfgTimer()
{
    m_exposureTimer.stop();
    writeExposure();
}

void CImageCfgForm::onWhiteCfgTimer()
{
    m_whiteTimer.stop();
    writeWhite();
}

void CImageCfgForm::onIrCtrlCfgTimer()
{
    m_irCtrlTimer.stop();
    writeIrCtrl();
}

void CImageCfgForm::on_oDefaultBtn_clicked()
{
    // A list change still waiting must not be written over the defaults, and
    // the question's own event loop would otherwise let it through.
    QList<QTimer *> pending;
    for (QTimer *pTimer : {&m_enhanceTimer, &m_exposureTimer, &m_whiteTimer, &m_irCtrlTimer}) {
        if (pTimer->isActive())
            pending << pTimer;
        pTimer->stop();
    }
    if (!CMsgDlg::askQuestion(tr("信息"), tr("您确定要恢复默认参数吗？"), this)) {
        for (QTimer *pTimer : pending)
            pTimer->start(0);
        return;
    }
    ui->oDefaultBtn->setEnabled(false);
    m_restoreTimer.start(50);
}

void CImageCfgForm::onRestoreParamTimer()
{
    m_restoreTimer.stop();
    for (QTimer *pTimer : {&m_enhanceTimer, &m_exposureTimer, &m_whiteTimer, &m_irCtrlTimer})
        pTimer->stop();
    const DWORD ulResult = ZELT_MW_RestoreImageDefault(userId().constData(), 0, 0);
    ui->oDefaultBtn->setEnabled(true);
    if (ulResult != 0) {
        qCDebug(lcImageCfg) << "ZELT_MW_RestoreImageDefault failed:" << ulResult;
        emit sendReportSignal(tr("默认参数恢复失败！"), ulResult);
        return;
    }
    disconnectAll();
    readAllGroups();
    emit sendReportSignal(tr("默认参数恢复成功！"), 0);
}

// --- live view -------------------------------------------------------------

void CImageCfgForm::startLivePlay(DWORD ulStreamHd, DWORD ulLiveResult)
{
    // A shared stream (259) and one without audio (357) run like any other.
    if (!DevSession::isStreamRunning(ulLiveResult)) {
        emit sendReportSignal(tr("流媒体开启失败！"), ulLiveResult);
        showLiveLost(tr("流媒体开启失败！"), ulLiveResult);
        return;
    }
    const DWORD ulResult = m_live.start(ui->oLivePlayWidget, ulStreamHd);
    if (ulResult != 0) {
        emit sendReportSignal(tr("实况播放失败！"), ulResult);
        showLiveLost(tr("实况播放失败！"), ulResult);
        return;
    }
    m_streamWatch.start();
}

// A stream that ended by itself would leave its last frame standing as if live.
void CImageCfgForm::onStreamWatchTimer()
{
    const DWORD ulEnd = m_live.endResult();
    if (ulEnd == 0)
        return;
    m_streamWatch.stop();
    showLiveLost(tr("视频流已中断。"), ulEnd);
    if (DevSession::isDeviceGone(ulEnd))
        emit sendDevGoneSignal();
}

void CImageCfgForm::showLiveLost(const QString &strText, DWORD ulResult)
{
    ui->oLiveNoteLabel->setText(CDevFailReason::withReason(strText, CDevFailReason::ofIpc(ulResult)));
    ui->oLiveNoteFrame->show();
}

void CImageCfgForm::on_oLiveRetryBtn_clicked()
{
    ui->oLiveNoteFrame->hide();
    const DWORD ulResult = m_live.restart(ui->oLivePlayWidget, userId());
    if (ulResult != 0 && !DevSession::isStreamRunning(ulResult)) {
        showLiveLost(tr("流媒体开启失败！"), ulResult);
        return;
    }
    m_streamWatch.start();
}

DWORD CImageCfgForm::stopLivePlay()
{
    m_streamWatch.stop();
    return m_live.stop(userId());
}

// Going to or from full screen gives the picture widget another native
// window; the player follows it so that no window keeps an orphaned player.
void CImageCfgForm::videoScreenChangedSlot()
{
    const DWORD ulResult = m_live.follow(ui->oLivePlayWidget);
    if (ulResult != 0)
        emit sendReportSignal(tr("实况播放失败！"), ulResult);
}
