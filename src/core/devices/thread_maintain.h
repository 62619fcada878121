#ifndef THREAD_MAINTAIN_H
#define THREAD_MAINTAIN_H

#include "TolanNetSDK.h"
#include "uidevicebean.h"
#include "zelt_mw_sdk.h"

#include <QObject>
#include <QString>

#include <atomic>

// The library entry points the maintenance worker calls. The default value
// is the real libraries; tests may point single entries at a fake.
struct stMaintainLibApi
{
    decltype(&ZELT_MW_Upgrade) pfnIpcUpgrade = &ZELT_MW_Upgrade;
    decltype(&ZELT_MW_ExportDiagnosis) pfnIpcExportDiagnosis = &ZELT_MW_ExportDiagnosis;
    decltype(&ZELT_MW_ImportConfig) pfnIpcImportConfig = &ZELT_MW_ImportConfig;
    decltype(&ZELT_MW_ExportConfig) pfnIpcExportConfig = &ZELT_MW_ExportConfig;
    decltype(&TLSDK_Login) pfnLogin = &TLSDK_Login;
    decltype(&TLSDK_Logout) pfnLogout = &TLSDK_Logout;
    decltype(&TLSDK_Upgrade) pfnUpgrade = &TLSDK_Upgrade;
    decltype(&TLSDK_GetUpgradeState) pfnGetUpgradeState = &TLSDK_GetUpgradeState;
    decltype(&TLSDK_GetUpgradeProgress) pfnGetUpgradeProgress = &TLSDK_GetUpgradeProgress;
    decltype(&TLSDK_CloseUpgrade) pfnCloseUpgrade = &TLSDK_CloseUpgrade;
    decltype(&TLSDK_ExportMtInfo) pfnExportMtInfo = &TLSDK_ExportMtInfo;
    decltype(&TLSDK_ImportCfg) pfnImportCfg = &TLSDK_ImportCfg;
    decltype(&TLSDK_ExportCfg) pfnExportCfg = &TLSDK_ExportCfg;
};

// Runs the file-based maintenance operations (firmware upgrade, diagnostic
// export, configuration import and export) one request at a time. Lives on
// a thread of its own; every request carries a copy of the device record and
// is answered with that copy holding the outcome as its status code.
//
// "IPC" devices are served by the configuration library through their
// existing login; every other device through a login of its own to the
// maintenance library that ends with the request.
class CMaintainThread : public QObject
{
    Q_OBJECT

public:
    // Time between two polls of a running maintenance-library upgrade.
    static constexpr int kUpgradePollIntervalMs = 10000;
    // Limits of such an upgrade, counted in poll intervals of nominally 10 s:
    // no progress by the 6th poll (60 s) or no end by the 18th (180 s) fails it.
    static constexpr int kUpgradeNoProgressPolls = 6;
    static constexpr int kUpgradeMaxPolls = 18;

    // The receiver must offer getResultSlot(CUIDeviceBean&); upgrade progress
    // goes to its getUpgradeProgressSlot(QString,int) when it has one.
    explicit CMaintainThread(QObject *pReceiver, const stMaintainLibApi &oApi = stMaintainLibApi());

    // Shortens or lengthens the wait between upgrade polls; the limits stay
    // counted in polls. Safe to call from any thread.
    void setPollInterval(int iMs);
    int pollInterval() const;

signals:
    void sendResultSignal(CUIDeviceBean &oBean);
    // Percent done of a running upgrade, as the maintenance library reports it.
    void sendProgressSignal(QString strIp, int iPercent);

public slots:
    void devUpgradeSlot(QString strPath, CUIDeviceBean &oBean);
    void exportDiagInfoSlot(QString strPath, CUIDeviceBean &oBean);
    void importCfgSlot(QString strPath, CUIDeviceBean &oBean);
    void exportCfgSlot(QString strPath, CUIDeviceBean &oBean);

private:
    class CNvrSession;

    static bool isIpc(const CUIDeviceBean &oBean);
    // Runs a file operation (DevSession::EFileOp) on an ONVIF device and
    // reports it; false, doing nothing, for a native device.
    bool runOnvif(int iOp, const QString &strPath, CUIDeviceBean &oBean, long lOkStatus, long lFailStatus);
    // Follows a started maintenance-library upgrade to its end; 0 when it finished.
    DWORD pollUpgrade(DWORD ulUpgradeHandle, const QString &strIp);
    // Waits one poll interval; false when the thread is asked to stop.
    bool waitPollInterval() const;
    // The status is lOkStatus when ulRet is 0, else lFailStatus with the reason.
    void sendResult(CUIDeviceBean &oBean, DWORD ulRet, long lOkStatus, long lFailStatus);
    // The code of a local file failure in the library that serves oBean.
    static DWORD fileError(const CUIDeviceBean &oBean);

    QObject *m_pReceiver;
    stMaintainLibApi m_oApi;
    std::atomic<int> m_iPollIntervalMs{kUpgradePollIntervalMs};
};

#endif // THREAD_MAINTAIN_H
