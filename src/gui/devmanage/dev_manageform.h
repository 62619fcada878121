#ifndef DEV_MANAGEFORM_H
#define DEV_MANAGEFORM_H

#include "batcheditnetaddrbean.h"
#include "devcapacityinfo.h"
#include "devlistmerge.h"
#include "devtypes.h"
#include "uicustommadebean.h"
#include "uidevicebean.h"
#include "uisearchmodebean.h"

#include <QElapsedTimer>
#include <QList>
#include <QModelIndex>
#include <QPointer>
#include <QScopedPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

class CBatchEditAddrDlg;
class CDevCfgDlg;
class CUpgradeDlg;
class CDevDiscovery;
class CDevLibraries;
class CDevListExport;
class CWaitDlg;
class CWorkerHost;
class CWorkerRegistry;
class EncodeDevModelEx;
class QAction;
class QPoint;
class QTimer;

namespace Ui {
class CDevManageForm;
}

// The device-management tab: owns the device list (in display order), the
// discovery service and the search settings; runs the search cycle.
class CDevManageForm : public QWidget
{
    Q_OBJECT

public:
    // Event codes carried through a login: the command resumed once it is done.
    enum ELoginEvent : ulong {
        EventNone = 0,
        EventDst = 1,
        EventUpgrade = 2,
        EventBatchCfg = 3,
        EventConfig = 4,
        EventRestart = 5,
        // A device moved by an address change, logged in again at its new
        // address: nothing resumes and the check marks stay.
        EventRelogin = 6
    };

    explicit CDevManageForm(QWidget *parent = nullptr);
    ~CDevManageForm() override;

    const QList<CUIDeviceBean> &deviceList() const { return m_listDev; }
    EncodeDevModelEx *devModel() const { return m_pDevModel; }
    CDevDiscovery *devDiscovery() const { return m_pDevDiscovery; }
    CUISearchModeBean searchMode() const;
    CUICustomMadeBean customMade() const;

    // Stores the search mode after checking the address segment; shows the
    // reason and keeps the previous segment on failure (returns 1).
    ulong applySearchMode(const CUISearchModeBean &oMode);

    // Logs the checked devices in with the account the user enters; the
    // result resumes the command named by the event code. 1 when nothing was sent.
    ulong devLogin(ulong ulEventType);
    // True when every checked device is logged in; copies of them have then
    // gone out through sendDevListInfo, in checked order. Otherwise the user
    // was told to select a device, or the login flow took over and resumes
    // the command named by the event code.
    bool checkLoggedIn(ulong ulEventType);

    // Waits of the version check after an upgrade (see CVersionCheckThread);
    // tests shorten them.
    void setVersionCheckTiming(int iFirstTryMs, int iRetryMs, int iGiveUpMs);

signals:
    void sendLoginSignal(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void sendLogoutSignal(CUIDeviceBean &oBean);
    void sendDevListInfo(QList<CUIDeviceBean> &oDevList);
    void sendModifyIPSignal(CBatchEditNetAddrBean &oNetAddrBean);
    void sendModifyRltSignal(CBatchEditNetAddrBean &oNetAddrBean);
    void sendDev2CapSignal(QList<CUIDeviceBean> &listDev);
    void sendUpgradeSignal(QString strPath, CUIDeviceBean &oBean);
    void sendExportDiagSignal(QString strPath, CUIDeviceBean &oBean);
    void sendImportCfgSignal(QString strPath, CUIDeviceBean &oBean);
    void sendExportCfgSignal(QString strPath, CUIDeviceBean &oBean);
    void sendRestartSignal(CUIDeviceBean &oBean);
    void sendResetPwdSignal(CUIDeviceBean &oBean, QString strSecurityCode);
    void sendChangePwdSignal(CUIDeviceBean &oBean, QString strNewPassword);
    // A device that reported a finished upgrade: its version is read again.
    void sendVersionCheckSignal(CUIDeviceBean &oBean);
    // Requests of one configuration opening carry its number.
    void sendGetCapSig(QString strUserId, ulong ulCapType, quint32 ulOpening);
    void sendStartLive_sig(QString strUserId, quint32 ulOpening);
    void sendStopLive_sig(QString strUserId, ulong ulStreamHd);
    void sendCapResultSig(QList<stDevCapacityInfo> &devCapInfo, ulong ulCapType);

public slots:
    void on_oLoginBtn_clicked();
    ulong on_oRefreshBtn_clicked();
    void onEncTableViewHeaderClicked(int iSection);
    void mouseEnterEncView(const QModelIndex index);
    void onSearchTimer();
    void getResultSlot(CUIDeviceBean &oBean);
    void getUpgradeProgressSlot(QString strIp, int iPercent);
    void getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void showDevTabViewContextMenu(const QPoint &pos);
    ulong doEditNetworkAddress();
    ulong doRestoreDevPwd();
    void doRemoteConfig();
    ulong doRestartDev();
    // Asks the one checked, logged-in device's new password and sends it.
    ulong doChangePwd();
    void onFilter(QString strText);
    void on_oBatchCfgBtn_clicked();
    void on_oSetupBtn_clicked();
    void on_oUpgradeBtn_clicked();
    void openConfigDlg_slot();
    void devAddrChangedSlot(QString strOldIp, QString strNewIp);
    // A configuration page found the device gone: its row needs a login again.
    void devGoneSlot(QString strIp);
    void openRemoteDlg_slot();
    void oCustomMadeTable(CUICustomMadeBean &oBean);
    // Hands one maintenance request of the maintenance dialog to the worker of its kind.
    void oMaintainSlot(QString strPath, ULONG ulCmd, CUIDeviceBean &oBean);
    void oBatchModifyIPSlot(CBatchEditNetAddrBean &oNetAddrBean);
    void getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean);
    void on_oDSTBtn_clicked();
    void sendDev2CapSlot();
    void getCapResult(QList<stDevCapacityInfo> &devCapInfoList, ulong capType, quint32 ulOpening);
    void getCapFailed_slot(ulong ulResult, quint32 ulOpening);
    void getStartLiveResult(ulong streamHd, ulong ulResult, quint32 ulOpening, QString strUserId);
    void initCfgDlg_slot();
    void terminateWaitDlg_slot();

private slots:
    void onSegmentProbeTimer();
    void onLateAnswerTimer();
    void onUpgradeClockTimer();
    void onUpgradeEvent(QString strUserId, qint64 lValue);
    void onUpgradeProgressEvent(QString strUserId, bool bUpload, int iPercent);
    void onRestartResult(CUIDeviceBean &oBean, ulong ulResult);
    void onResetPwdResult(CUIDeviceBean &oBean, ulong ulResult);
    void onChangePwdResult(CUIDeviceBean &oBean, ulong ulResult);
    void getVersionSlot(CUIDeviceBean &oBean);

private:
    // The command a login resumes, by event code.
    using ResumeCommand = void (CDevManageForm::*)();
    static const std::array<ResumeCommand, EventRestart + 1> kResumeCommands;

    // Adds the answers not listed yet and sorts the list again.
    void mergeAnswers(const QList<stDiscoveryBean> &listFound);
    // The late answers are in: the tool bar says how many devices of the last search did not answer.
    void endSearch();
    void showSearchState(const QString &strText, const QString &strTip);
    void ensureWorkFolders();
    void createWorkers();
    void applyColumnWidths();
    void applyColumnFlags();
    void repaintRows(int iRow);
    // Starts the version check of every row in listRows that finished an upgrade.
    void checkVersionAfterUpgrade(const QList<int> &listRows);

    // Rows of the checked devices in checked order; devices no longer listed are skipped.
    QList<int> checkedRows() const;
    QList<CUIDeviceBean> checkedDevices() const;
    // The one checked row; -1, after telling the user, when none or several are checked.
    int singleCheckedRow();
    // Why a selection cannot be configured together; empty when it can.
    using SelectionRule = QString (*)(const QList<CUIDeviceBean> &);
    // Logged-in check, then the command's selection rule: the checked
    // devices, or an empty list when the command stops here.
    QList<CUIDeviceBean> devicesForBatch(ulong ulEventType, SelectionRule refusal);
    // Runs the daylight-saving or batch-configuration dialog (Dlg) for the
    // checked devices; prepare reads what the dialog shows and refuses
    // devices it cannot serve.
    template <typename Dlg>
    void runBatchDialog(ulong ulEventType, SelectionRule refusal, ULONG (Dlg::*prepare)());
    int rowOfDevId(int iDevId) const;
    // The view's current row, or iFallback when there is none.
    int currentRow(int iFallback) const;
    void showNote(const QString &strText);
    void showWaitDlg();
    void closeWaitDlg();
    void createContextMenu();
    // Drops the work of the current list round: running requests are left
    // to finish unseen and fresh workers take new ones.
    void abandonWork();
    void resumeCommand(ulong ulEventType);
    void restartAfterLogin();
    void configAfterLogin();
    // Opens the configuration of the device m_iCfgDevId; a device without a
    // login is logged in first when bMayLogin, otherwise the opening ends.
    void openConfig(bool bMayLogin);
    // Results of the pending opening still to come are dropped.
    void endCfgOpening();
    // Closes the row's session on the logout worker; the row then needs a login.
    void logoutRow(int iRow);
    // Rows that moved to a new address: a logged-in one closes its old
    // session and logs in again where it is now.
    void loginAtNewAddress(const QList<int> &listRows);

    EncodeDevModelEx *m_pDevModel = nullptr;
    CDevDiscovery *m_pDevDiscovery = nullptr;
    QString m_strDefaultUser = QStringLiteral("admin");
    QString m_strDefaultPassword = QStringLiteral("vorpe");
    bool m_bMulticast = true;
    bool m_bSegmentSearch = false;
    bool m_bShowVersion = false;
    bool m_bShowMac = true;
    bool m_bShowSerial = false;
    bool m_bShowNetMask = false;
    bool m_bShowGateway = false;
    bool m_bShowConfig = true;
    bool m_bShowStatus = true;
    QString m_strBeginIP = QStringLiteral("192.168.0.1");
    QString m_strEndIP = QStringLiteral("192.168.0.255");
    QTimer *m_pSearchTimer = nullptr;
    // Waits out the pause between the multicast and the segment probe
    // without blocking the user-interface thread.
    QTimer *m_pSegmentProbeTimer = nullptr;
    QTimer *m_pLateAnswerTimer = nullptr;
    QTimer *m_pUpgradeClockTimer = nullptr;
    QElapsedTimer m_lateAnswerClock;
    // Answers of the results list already merged, and the devices the last search listed.
    int m_iMergedAnswers = 0;
    int m_iLastFound = 0;
    QAction *m_pEditAddrAction = nullptr;
    QAction *m_pRestorePwdAction = nullptr;
    QAction *m_pRestartAction = nullptr;
    QAction *m_pChangePwdAction = nullptr;
    QAction *m_pRemoteAction = nullptr;
    CDevListExport *m_pListExport = nullptr;
    std::unique_ptr<CDevLibraries> m_pLibraries;
    std::unique_ptr<CWorkerRegistry> m_pWorkers;
    CWorkerHost *m_pVersionCheckHost = nullptr;
    std::array<int, 3> m_arrVersionCheckTiming{};
    CBatchEditAddrDlg *m_pBatchEditAddrDlg = nullptr;
    CUpgradeDlg *m_pUpgradeDlg = nullptr;
    CDevCfgDlg *m_pDevCfgDlg = nullptr;
    // The configuration opening: its device (sequence number), number and session.
    int m_iCfgDevId = -1;
    quint32 m_ulCfgOpening = 0;
    bool m_bCfgPending = false;
    QString m_strCfgUserId;
    DWORD m_ulStreamHd = 0;
    QPointer<CWaitDlg> m_pWaitDlg;
    QScopedPointer<Ui::CDevManageForm> ui;
    QList<CUIDeviceBean> m_listDev;
    CDevListMerge m_oMerge{m_listDev};
};

#endif // DEV_MANAGEFORM_H
