#include "clilane.h"

#include "devfailreason.h"
#include "devsession.h"
#include "devsessionmedia.h"
#include "thread_config.h"
#include "thread_devcmd.h"
#include "thread_devlogin.h"
#include "thread_maintain.h"
#include "thread_modifyip.h"

#include "zelt_mw_sdk.h"

#include <QSaveFile>
#include <QTimer>

namespace {

// The configuration library reports an IPC upgrade's end by event; a device
// that never reports is given up after this.
constexpr int kIpcUpgradeTimeoutMs = 10 * 60 * 1000;

} // namespace

CCliLane::CCliLane(const stCliJob &oJob, QObject *parent)
    : QObject(parent)
    , m_oJob(oJob)
    , m_pUpgradeTimer(new QTimer(this))
{
    m_pUpgradeTimer->setSingleShot(true);
    m_pUpgradeTimer->setInterval(kIpcUpgradeTimeoutMs);
    connect(m_pUpgradeTimer, &QTimer::timeout, this, &CCliLane::onUpgradeTimeout);
    createWorkers();
}

CCliLane::~CCliLane()
{
    m_oWorkers.clear();
}

void CCliLane::createWorkers()
{
    using R = CWorkerRegistry;
    auto addCmdWorker = [this] {
        m_oWorkers.add(
            [this] {
                auto *pWorker = new CDevCmdThread;
                connect(this, &CCliLane::sendRestartSignal, pWorker, &CDevCmdThread::restartSlot);
                connect(this, &CCliLane::sendResetPwdSignal, pWorker, &CDevCmdThread::resetPwdSlot);
                connect(pWorker, &CDevCmdThread::sendRestartResult, this, &CCliLane::onCmdResult);
                connect(pWorker, &CDevCmdThread::sendResetPwdResult, this, &CCliLane::onCmdResult);
                return pWorker;
            },
            R::KeptOnRefresh);
    };
    switch (m_oJob.eOp) {
    case stCliJob::SetAddress:
        m_oWorkers.add<CModifyIPThread>(this, &CCliLane::sendModifySignal, &CModifyIPThread::modifyAddrSlot,
                                        R::KeptOnRefresh);
        return;
    case stCliJob::ResetPassword:
        addCmdWorker();
        return;
    default:
        break;
    }
    m_oWorkers.add<CDevThread>(this, &CCliLane::sendLoginSignal, &CDevThread::devLoginSlot, R::KeptOnRefresh);
    switch (m_oJob.eOp) {
    case stCliJob::Reboot:
        addCmdWorker();
        break;
    case stCliJob::Upgrade:
        m_oWorkers.add<CMaintainThread>(this, &CCliLane::sendUpgradeSignal, &CMaintainThread::devUpgradeSlot,
                                        R::KeptOnRefresh);
        break;
    case stCliJob::ExportConfig:
        m_oWorkers.add<CMaintainThread>(this, &CCliLane::sendExportCfgSignal, &CMaintainThread::exportCfgSlot,
                                        R::KeptOnRefresh);
        break;
    case stCliJob::ImportConfig:
        m_oWorkers.add<CMaintainThread>(this, &CCliLane::sendImportCfgSignal, &CMaintainThread::importCfgSlot,
                                        R::KeptOnRefresh);
        break;
    case stCliJob::Diagnostics:
        m_oWorkers.add<CMaintainThread>(this, &CCliLane::sendExportDiagSignal, &CMaintainThread::exportDiagInfoSlot,
                                        R::KeptOnRefresh);
        break;
    case stCliJob::Dst:
        m_oWorkers.add<CCfgThread>(this, &CCliLane::sendCfgMergeSignal, &CCfgThread::devCfgMergeSlot,
                                   R::KeptOnRefresh);
        break;
    default:
        break;
    }
}

void CCliLane::start(const stCliTask &oTask)
{
    m_oTask = oTask;
    m_eStage = Working;
    if (m_oJob.eOp == stCliJob::SetAddress) {
        CBatchEditNetAddrBean oRequest = m_oTask.oAddr;
        emit sendModifySignal(oRequest);
    } else if (m_oJob.eOp == stCliJob::ResetPassword) {
        CUIDeviceBean oRequest = m_oTask.oDev;
        emit sendResetPwdSignal(oRequest, m_oJob.strCode);
    } else {
        m_eStage = LoggingIn;
        QList<CUIDeviceBean> listDev{m_oTask.oDev};
        emit sendLoginSignal(listDev, 0);
    }
}

void CCliLane::getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong)
{
    if (m_eStage != LoggingIn || oDevList.isEmpty())
        return;
    m_oTask.oDev = oDevList.first();
    if (m_oTask.oDev.m_lStatus != DevStatusLogged) {
        finish(false, m_oTask.oDev.m_strFailReason);
        return;
    }
    m_eStage = Working;
    runOperation();
}

void CCliLane::runOperation()
{
    CUIDeviceBean oRequest = m_oTask.oDev;
    switch (m_oJob.eOp) {
    case stCliJob::Info:
        finish(true, QString());
        break;
    case stCliJob::Reboot:
        emit sendRestartSignal(oRequest);
        break;
    case stCliJob::Upgrade:
        if (DevSession::isIpc(oRequest))
            m_pUpgradeTimer->start();
        emit sendUpgradeSignal(m_oJob.strPath, oRequest);
        break;
    case stCliJob::ExportConfig:
        emit sendExportCfgSignal(m_oJob.strPath, oRequest);
        break;
    case stCliJob::ImportConfig:
        emit sendImportCfgSignal(m_oJob.strPath, oRequest);
        break;
    case stCliJob::Diagnostics:
        emit sendExportDiagSignal(m_oJob.strPath, oRequest);
        break;
    case stCliJob::Dst:
        if (!DevSession::offers(oRequest, DevSession::FeatureDaylightSaving))
            finish(false, CDevFailReason::ofIpc(ZELT_MW_ERR_UNSUPPORTED));
        else
            emit sendCfgMergeSignal(m_oJob.ulCfgCmd, m_oJob.baCfgValues, m_oJob.baCfgMask, oRequest);
        break;
    case stCliJob::Encoding: {
        // One device per command: the command waits for its few calls here.
        const QString strReason = DevSession::readStreams(m_oTask.oDev, m_vecStreams);
        finish(strReason.isEmpty(), strReason);
        break;
    }
    case stCliJob::Snapshot:
        saveSnapshot();
        break;
    default:
        break;
    }
}

void CCliLane::saveSnapshot()
{
    QByteArray jpeg;
    const QString strReason = DevSession::snapshot(m_oTask.oDev, jpeg);
    if (!strReason.isEmpty()) {
        finish(false, strReason);
        return;
    }
    QSaveFile file(m_oJob.strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size() || !file.commit()) {
        finish(false, tr("无法写入文件 %1：%2").arg(m_oJob.strPath, file.errorString()));
        return;
    }
    finish(true, QString());
}

void CCliLane::getResultSlot(CUIDeviceBean &oBean)
{
    // The login worker reports here too; its answer is taken from getLoginResultSlot.
    if (m_eStage != Working)
        return;
    const long lStatus = oBean.m_lStatus;
    const bool bOk = lStatus == DevStatusUpgradeOk || lStatus == DevStatusExportOk || lStatus == DevStatusImportOk
        || lStatus == DevStatusCfgOk;
    finish(bOk, oBean.m_strFailReason.isEmpty() ? CUIDeviceBean::statusText(lStatus) : oBean.m_strFailReason);
}

void CCliLane::getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    if (m_eStage != Working)
        return;
    const bool bOk = oNetAddrBean.m_lResult == DevStatusModifyOk;
    finish(bOk, oNetAddrBean.m_strFailReason.isEmpty() ? CUIDeviceBean::statusText(oNetAddrBean.m_lResult)
                                                       : oNetAddrBean.m_strFailReason);
}

void CCliLane::getUpgradeProgressSlot(QString strIp, int iPercent)
{
    if (m_eStage == Working)
        emit sendProgressSignal(strIp, iPercent);
}

void CCliLane::onCmdResult(CUIDeviceBean &oBean, ulong ulResult)
{
    if (m_eStage == Working)
        finish(ulResult == 0, oBean.m_strFailReason);
}

void CCliLane::onUpgradeEvent(QString strUserId, qint64 lValue)
{
    if (m_eStage != Working || m_oJob.eOp != stCliJob::Upgrade || strUserId != m_oTask.oDev.m_strLoginKey)
        return;
    finish(lValue == 0, CDevFailReason::ofIpcUpgradeEvent(DWORD(lValue)));
}

void CCliLane::onUpgradeTimeout()
{
    if (m_eStage == Working)
        finish(false, CDevFailReason::ofIpc(ZELT_MW_ERR_TIMEOUT));
}

void CCliLane::finish(bool bOk, const QString &strError)
{
    m_pUpgradeTimer->stop();
    m_eStage = Idle;
    stCliResult oResult;
    oResult.bOk = bOk;
    oResult.strError = bOk ? QString() : strError;
    oResult.oDev = m_oTask.oDev;
    oResult.vecStreams = m_vecStreams;
    m_vecStreams.clear();
    emit sendDoneSignal(this, oResult);
}
