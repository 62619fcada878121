#include "thread_maintain.h"
#include "devfailreason.h"
#include "devsession.h"

#include "tolan_cfg.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QThread>

#include <algorithm>

Q_LOGGING_CATEGORY(lcMaintain, "corvane.maintain")

namespace {

// Longest single sleep while waiting between polls, so that a stop request
// is noticed quickly.
constexpr int kWaitSliceMs = 50;

QString joinPath(const QString &strFolder, const QString &strName)
{
    return QDir::toNativeSeparators(strFolder + QLatin1Char('/') + strName);
}

// Creates the folder if needed; false when it does not exist afterwards.
bool ensureFolder(const QString &strFolder)
{
    return QDir().mkpath(QDir::fromNativeSeparators(strFolder));
}

} // namespace

// A login to the maintenance library for one request; logged out again when
// the request ends.
class CMaintainThread::CNvrSession
{
public:
    CNvrSession(const stMaintainLibApi &oApi, const CUIDeviceBean &oBean)
        : m_oApi(oApi)
    {
        m_ulResult = DevSession::loginNvr(oBean, m_ulHandle, m_oApi.pfnLogin);
    }
    ~CNvrSession()
    {
        if (m_ulResult == 0)
            m_oApi.pfnLogout(m_ulHandle);
    }
    CNvrSession(const CNvrSession &) = delete;
    CNvrSession &operator=(const CNvrSession &) = delete;

    bool isOpen() const { return m_ulResult == 0; }
    DWORD result() const { return m_ulResult; }
    DWORD handle() const { return m_ulHandle; }

private:
    const stMaintainLibApi &m_oApi;
    DWORD m_ulHandle = 0;
    DWORD m_ulResult = 0;
};

CMaintainThread::CMaintainThread(QObject *pReceiver, const stMaintainLibApi &oApi)
    : QObject(nullptr)
    , m_pReceiver(pReceiver)
    , m_oApi(oApi)
{
    if (m_pReceiver)
        connect(this, SIGNAL(sendResultSignal(CUIDeviceBean &)), m_pReceiver, SLOT(getResultSlot(CUIDeviceBean &)));
    if (m_pReceiver && m_pReceiver->metaObject()->indexOfSlot("getUpgradeProgressSlot(QString,int)") >= 0)
        connect(this, SIGNAL(sendProgressSignal(QString, int)), m_pReceiver, SLOT(getUpgradeProgressSlot(QString, int)));
}

void CMaintainThread::setPollInterval(int iMs)
{
    m_iPollIntervalMs = std::max(0, iMs);
}

int CMaintainThread::pollInterval() const
{
    return m_iPollIntervalMs;
}

bool CMaintainThread::isIpc(const CUIDeviceBean &oBean)
{
    return DevSession::isIpc(oBean);
}

void CMaintainThread::sendResult(CUIDeviceBean &oBean, DWORD ulRet, long lOkStatus, long lFailStatus)
{
    oBean.m_lStatus = ulRet == 0 ? lOkStatus : lFailStatus;
    oBean.m_strFailReason = CDevFailReason::ofDevice(oBean, ulRet);
    emit sendResultSignal(oBean);
}

DWORD CMaintainThread::fileError(const CUIDeviceBean &oBean)
{
    return isIpc(oBean) ? DWORD(ZELT_MW_ERR_FILE) : DWORD(TLSDK_ERR_FILE);
}

bool CMaintainThread::runOnvif(int iOp, const QString &strPath, CUIDeviceBean &oBean, long lOkStatus,
                               long lFailStatus)
{
    if (!DevSession::isOnvif(oBean))
        return false;
    const QString strIp = oBean.m_strIp;
    int iShown = -1;
    const COnvifError error = DevSession::onvifFileOp(
        DevSession::EFileOp(iOp), strPath, oBean, [this, strIp, &iShown](int iPercent) {
            if (iPercent != iShown) {
                iShown = iPercent;
                emit sendProgressSignal(strIp, iPercent);
            }
        });
    if (!error.ok())
        qCDebug(lcMaintain) << "ONVIF file operation" << iOp << "on" << strIp << "failed:" << error.reason();
    oBean.m_lStatus = error.ok() ? lOkStatus : lFailStatus;
    oBean.m_strFailReason = error.reason();
    emit sendResultSignal(oBean);
    return true;
}

void CMaintainThread::devUpgradeSlot(QString strPath, CUIDeviceBean &oBean)
{
    if (runOnvif(DevSession::FileUpgrade, strPath, oBean, DevStatusUpgradeOk, DevStatusUpgradeFailed))
        return;
    const QByteArray baPath = QFile::encodeName(strPath);
    if (isIpc(oBean)) {
        const DWORD ulRet = m_oApi.pfnIpcUpgrade(oBean.m_strLoginKey.toLatin1().constData(), baPath.constData());
        // Once the device accepted the firmware, the outcome arrives through
        // the configuration library's event callback.
        if (ulRet != 0) {
            qCDebug(lcMaintain) << "ZELT_MW_Upgrade" << oBean.m_strIp << "failed:" << ulRet;
            sendResult(oBean, ulRet, DevStatusUpgradeOk, DevStatusUpgradeFailed);
        }
        return;
    }

    CNvrSession oSession(m_oApi, oBean);
    if (!oSession.isOpen()) {
        sendResult(oBean, oSession.result(), DevStatusUpgradeOk, DevStatusUpgradeFailed);
        return;
    }
    DWORD ulUpgradeHandle = 0;
    DWORD ulRet = m_oApi.pfnUpgrade(oSession.handle(), baPath.constData(), &ulUpgradeHandle);
    if (ulRet == 0)
        ulRet = pollUpgrade(ulUpgradeHandle, oBean.m_strIp);
    else
        qCDebug(lcMaintain) << "TLSDK_Upgrade" << oBean.m_strIp << "failed:" << ulRet;
    // Handles are never 0: a refused start may have left none to close.
    if (ulUpgradeHandle != 0)
        m_oApi.pfnCloseUpgrade(ulUpgradeHandle);
    sendResult(oBean, ulRet, DevStatusUpgradeOk, DevStatusUpgradeFailed);
}

DWORD CMaintainThread::pollUpgrade(DWORD ulUpgradeHandle, const QString &strIp)
{
    DWORD ulProgress = 0;
    DWORD ulShown = 0;
    for (int iPoll = 1;; ++iPoll) {
        if (!waitPollInterval())
            return TLSDK_ERR_TIMEOUT;
        // A failed query leaves the last answer; the poll limits end a silent device.
        DWORD ulState = TLSDK_UPGRADE_RUNNING;
        m_oApi.pfnGetUpgradeState(ulUpgradeHandle, &ulState);
        m_oApi.pfnGetUpgradeProgress(ulUpgradeHandle, &ulProgress);
        if (ulState == TLSDK_UPGRADE_FINISHED)
            return 0;
        if (ulState == TLSDK_UPGRADE_RUNNING && ulProgress != ulShown && ulProgress <= 100) {
            ulShown = ulProgress;
            emit sendProgressSignal(strIp, int(ulProgress));
        }
        if (ulState == TLSDK_UPGRADE_FAILED) {
            qCDebug(lcMaintain) << "upgrade failed on the device at poll" << iPoll;
            return TLSDK_ERR_FIRMWARE;
        }
        if (iPoll >= kUpgradeMaxPolls) {
            qCDebug(lcMaintain) << "upgrade did not finish, progress" << ulProgress;
            return TLSDK_ERR_TIMEOUT;
        }
        if (iPoll >= kUpgradeNoProgressPolls && ulProgress == 0) {
            qCDebug(lcMaintain) << "upgrade made no progress by poll" << iPoll;
            return TLSDK_ERR_TIMEOUT;
        }
    }
}

bool CMaintainThread::waitPollInterval() const
{
    QThread *pThread = QThread::currentThread();
    int iLeftMs = m_iPollIntervalMs;
    while (iLeftMs > 0) {
        if (pThread->isInterruptionRequested())
            return false;
        const int iSliceMs = std::min(iLeftMs, kWaitSliceMs);
        QThread::msleep(static_cast<unsigned long>(iSliceMs));
        iLeftMs -= iSliceMs;
    }
    return !pThread->isInterruptionRequested();
}

void CMaintainThread::exportDiagInfoSlot(QString strPath, CUIDeviceBean &oBean)
{
    if (runOnvif(DevSession::FileExportDiag, strPath, oBean, DevStatusExportOk, DevStatusExportFailed))
        return;
    QString strFolder = joinPath(strPath, oBean.m_strIp);
    DWORD ulRet = 0;
    if (isIpc(oBean)) {
        if (!ensureFolder(strFolder)) {
            qCDebug(lcMaintain) << "cannot create" << strFolder;
            sendResult(oBean, fileError(oBean), DevStatusExportOk, DevStatusExportFailed);
            return;
        }
        ulRet = m_oApi.pfnIpcExportDiagnosis(oBean.m_strLoginKey.toLatin1().constData(),
                                             QFile::encodeName(strFolder).constData());
    } else {
        CNvrSession oSession(m_oApi, oBean);
        if (!oSession.isOpen()) {
            sendResult(oBean, oSession.result(), DevStatusExportOk, DevStatusExportFailed);
            return;
        }
        strFolder = joinPath(strFolder, oBean.m_strDevType
                                            + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")));
        if (!ensureFolder(strFolder)) {
            qCDebug(lcMaintain) << "cannot create" << strFolder;
            sendResult(oBean, fileError(oBean), DevStatusExportOk, DevStatusExportFailed);
            return;
        }
        const QString strFile = joinPath(strFolder, QStringLiteral("mtinfo.tgz"));
        ulRet = m_oApi.pfnExportMtInfo(oSession.handle(), QFile::encodeName(strFile).constData());
    }
    if (ulRet != 0)
        qCDebug(lcMaintain) << "diagnostic export" << oBean.m_strIp << "failed:" << ulRet;
    sendResult(oBean, ulRet, DevStatusExportOk, DevStatusExportFailed);
}

void CMaintainThread::importCfgSlot(QString strPath, CUIDeviceBean &oBean)
{
    if (runOnvif(DevSession::FileImportCfg, strPath, oBean, DevStatusImportOk, DevStatusImportFailed))
        return;
    const QByteArray baPath = QFile::encodeName(strPath);
    DWORD ulRet = 0;
    if (isIpc(oBean)) {
        ulRet = m_oApi.pfnIpcImportConfig(oBean.m_strLoginKey.toLatin1().constData(), baPath.constData());
    } else {
        CNvrSession oSession(m_oApi, oBean);
        ulRet = oSession.isOpen() ? m_oApi.pfnImportCfg(oSession.handle(), baPath.constData()) : oSession.result();
    }
    if (ulRet != 0)
        qCDebug(lcMaintain) << "configuration import" << oBean.m_strIp << "failed:" << ulRet;
    sendResult(oBean, ulRet, DevStatusImportOk, DevStatusImportFailed);
}

void CMaintainThread::exportCfgSlot(QString strPath, CUIDeviceBean &oBean)
{
    if (runOnvif(DevSession::FileExportCfg, strPath, oBean, DevStatusExportOk, DevStatusExportFailed))
        return;
    DWORD ulRet = 0;
    if (isIpc(oBean)) {
        ulRet = m_oApi.pfnIpcExportConfig(oBean.m_strLoginKey.toLatin1().constData(),
                                          QFile::encodeName(strPath).constData());
    } else {
        CNvrSession oSession(m_oApi, oBean);
        // Named by address, as the camera library names its exports, so that
        // exports of several recorders into one folder do not overwrite each other.
        const QString strFile = joinPath(strPath, oBean.m_strIp + QStringLiteral("_config.cfg"));
        ulRet = oSession.isOpen() ? m_oApi.pfnExportCfg(oSession.handle(), QFile::encodeName(strFile).constData())
                                  : oSession.result();
    }
    if (ulRet != 0)
        qCDebug(lcMaintain) << "configuration export" << oBean.m_strIp << "failed:" << ulRet;
    sendResult(oBean, ulRet, DevStatusExportOk, DevStatusExportFailed);
}
