// The device tab's commands on devices: the login flow and the commands it
// resumes, the context menu, restart, password reset, address changes and
// maintenance requests with the version check after an upgrade. The list,
// the search cycle and the merges are in dev_manageform.cpp.
#include "dev_manageform.h"
#include "ui_dev_manageform.h"

#include "cfgselection.h"
#include "dev_batchcfgdlg.h"
#include "dev_batcheditaddrdlg.h"
#include "dev_dstcfgdlg.h"
#include "dev_editnetaddrdlg.h"
#include "dev_logindlg.h"
#include "dev_resetpasswddlg.h"
#include "devlistexport.h"
#include "devfailreason.h"
#include "devrequests.h"
#include "devsession.h"
#include "encodedevmodelex.h"
#include "msgdlg.h"
#include "platformutils.h"
#include "thread_versioncheck.h"
#include "upgradedlg.h"
#include "workerhost.h"
#include "zelt_mw_sdk.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>

#include <algorithm>

const std::array<CDevManageForm::ResumeCommand, CDevManageForm::EventRestart + 1> CDevManageForm::kResumeCommands = {{
    nullptr,
    &CDevManageForm::on_oDSTBtn_clicked,
    &CDevManageForm::on_oUpgradeBtn_clicked,
    &CDevManageForm::on_oBatchCfgBtn_clicked,
    &CDevManageForm::configAfterLogin,
    &CDevManageForm::restartAfterLogin,
}};

void CDevManageForm::on_oLoginBtn_clicked()
{
    devLogin(EventNone);
}

ulong CDevManageForm::devLogin(ulong ulEventType)
{
    QScopedPointer<CDevLoginDlg> pDlg(new CDevLoginDlg(int(ulEventType), this));
    pDlg->hideAddress();
    const auto itFirst = std::find_if(m_listDev.cbegin(), m_listDev.cend(), [this](const CUIDeviceBean &dev) {
        return m_pDevModel->checkedList().contains(dev.m_lDevId);
    });
    if (itFirst == m_listDev.cend()) {
        showNote(tr("请选择设备。"));
        return 1;
    }
    CUIDeviceBean oFirst = *itFirst;
    pDlg->setDevice(oFirst);
    if (pDlg->exec() != QDialog::Accepted)
        return 0;
    const stLoginInfo info = pDlg->loginInfo();
    pDlg.reset();
    if (info.strUserName.isEmpty() || info.strPassword.isEmpty()) {
        CMsgDlg::showMsg(tr("错误"), tr("用户名或密码不能为空，请重新尝试。"), MsgError, this);
        return 1;
    }

    // The list may have changed while the dialog was open: rows are looked up now.
    QList<CUIDeviceBean> listClose;
    QList<CUIDeviceBean> listLogin =
        DevRequests::prepareLogin(m_listDev, checkedRows(), info.strUserName, info.strPassword, listClose);
    // Closes an earlier login of each device first.
    for (CUIDeviceBean &dev : listClose)
        emit sendLogoutSignal(dev);
    m_pDevModel->resetModel();
    emit sendLoginSignal(listLogin, ulEventType);
    showWaitDlg();
    return 0;
}

void CDevManageForm::getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType)
{
    const bool bCurrent = std::all_of(oDevList.cbegin(), oDevList.cend(), [this](const CUIDeviceBean &dev) {
        return m_oMerge.isCurrentRound(dev.m_ulListRound);
    });
    if (!bCurrent || ulEventType == EventRelogin)
        return;
    QList<int> &listChecked = m_pDevModel->checkedList();
    listChecked.clear();
    for (const CUIDeviceBean &dev : qAsConst(oDevList))
        listChecked.append(dev.m_lDevId);
    m_pDevModel->resetModel();
    closeWaitDlg();
    resumeCommand(ulEventType);
}

void CDevManageForm::resumeCommand(ulong ulEventType)
{
    if (ulEventType >= kResumeCommands.size() || !kResumeCommands[ulEventType])
        return;
    (this->*kResumeCommands[ulEventType])();
}

void CDevManageForm::restartAfterLogin()
{
    doRestartDev();
}

bool CDevManageForm::checkLoggedIn(ulong ulEventType)
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return false;
    }
    const bool bAllLogged = std::all_of(listRows.cbegin(), listRows.cend(), [this](int iRow) {
        return !m_listDev.at(iRow).m_strLoginKey.isEmpty();
    });
    if (!bAllLogged) {
        devLogin(ulEventType);
        return false;
    }
    QList<CUIDeviceBean> listDev = checkedDevices();
    emit sendDevListInfo(listDev);
    return true;
}

void CDevManageForm::createContextMenu()
{
    ui->oDevTabView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->oDevTabView, &QWidget::customContextMenuRequested, this,
            &CDevManageForm::showDevTabViewContextMenu);
    m_pEditAddrAction = new QAction(tr("修改网络地址"), this);
    connect(m_pEditAddrAction, &QAction::triggered, this, &CDevManageForm::doEditNetworkAddress);
    m_pRestorePwdAction = new QAction(tr("重置设备密码"), this);
    connect(m_pRestorePwdAction, &QAction::triggered, this, &CDevManageForm::doRestoreDevPwd);
    m_pRestartAction = new QAction(tr("重启设备"), this);
    connect(m_pRestartAction, &QAction::triggered, this, &CDevManageForm::doRestartDev);
    m_pChangePwdAction = new QAction(tr("修改密码"), this);
    connect(m_pChangePwdAction, &QAction::triggered, this, &CDevManageForm::doChangePwd);
    // Reached through the table's remote icon, not through the menu.
    m_pRemoteAction = new QAction(tr("浏览网页"), this);
    connect(m_pRemoteAction, &QAction::triggered, this, &CDevManageForm::doRemoteConfig);
    m_pListExport = new CDevListExport(this);
}

void CDevManageForm::showDevTabViewContextMenu(const QPoint &)
{
    if (!ui->oDevTabView->currentIndex().isValid())
        return;
    QMenu menu(this);
    menu.addAction(m_pEditAddrAction);
    menu.addAction(m_pRestorePwdAction);
    menu.addAction(m_pChangePwdAction);
    menu.addAction(m_pRestartAction);
    menu.addSeparator();
    menu.addActions(m_pListExport->actions());
    menu.exec(QCursor::pos());
}

ulong CDevManageForm::doEditNetworkAddress()
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return 1;
    }
    if (listRows.size() == 1) {
        CUIDeviceBean oDev = m_listDev.at(currentRow(listRows.first()));
        CEditNetworkAddrDlg dlg(this);
        dlg.setDevice(oDev);
        if (dlg.exec() != QDialog::Accepted)
            return 0;
        const stNetAddrInfo addr = dlg.addresses();
        CBatchEditNetAddrBean oRequest =
            DevRequests::addressChange(oDev, addr.strIp, addr.strMask, addr.strGateway, dlg.password());
        oRequest.m_ulListRound = m_oMerge.round();
        emit sendModifyIPSignal(oRequest);
        const int iRow = rowOfDevId(oDev.m_lDevId);
        if (iRow >= 0) {
            m_listDev[iRow].m_lStatus = DevStatusModifying;
            repaintRows(iRow);
        }
        return 0;
    }

    QList<CUIDeviceBean> listChecked;
    for (int iRow : listRows)
        listChecked.append(m_listDev.at(iRow));
    QList<CBatchEditNetAddrBean> listRequest = DevRequests::batchRows(listChecked);
    m_pBatchEditAddrDlg->setDeviceList(listRequest);
    m_pBatchEditAddrDlg->setListedDevices(m_listDev);
    m_pBatchEditAddrDlg->clearAddresses();
    m_pBatchEditAddrDlg->exec();
    return 0;
}

void CDevManageForm::oBatchModifyIPSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    CBatchEditNetAddrBean oRequest = oNetAddrBean;
    oRequest.m_ulListRound = m_oMerge.round();
    emit sendModifyIPSignal(oRequest);
    // Marks the device busy, as a single change does, so that a refresh asks first.
    for (int i = 0; i < m_listDev.size(); ++i) {
        if (m_listDev.at(i).m_strIp == oRequest.m_strOldIp) {
            m_listDev[i].m_lStatus = DevStatusModifying;
            repaintRows(i);
        }
    }
}

ulong CDevManageForm::doRestoreDevPwd()
{
    const int iChecked = singleCheckedRow();
    if (iChecked < 0)
        return 1;
    const CUIDeviceBean oDev = m_listDev.at(currentRow(iChecked));
    const QString strRefusal = DevSession::resetRefusal(oDev);
    if (!strRefusal.isEmpty()) {
        showNote(strRefusal);
        return 1;
    }
    if (oDev.m_strSerial.isEmpty() || DevSession::isNvr(oDev)) {
        showNote(tr("该设备不支持密码重置功能，请及时与客服联系。"));
        return 1;
    }
    CResetPasswdDlg dlg(this);
    dlg.setSerial(oDev.m_strSerial);
    if (dlg.exec() != QDialog::Accepted)
        return 0;
    CUIDeviceBean oRequest = oDev;
    emit sendResetPwdSignal(oRequest, dlg.securityCode());
    showWaitDlg();
    return 0;
}

void CDevManageForm::onResetPwdResult(CUIDeviceBean &oBean, ulong ulResult)
{
    closeWaitDlg();
    if (ulResult == 0)
        showNote(tr("重置成功，密码为：vorpe"));
    else
        CMsgDlg::showMsg(tr("信息"), CDevFailReason::withReason(tr("重置失败。"), oBean.m_strFailReason), MsgError, this);
}

void CDevManageForm::doRemoteConfig()
{
    const int iRow = currentRow(-1);
    if (iRow < 0)
        return;
    const QString strUrl = DevSession::webPage(m_listDev.at(iRow));
    if (!CPlatformUtils::openWebPage(strUrl))
        CMsgDlg::showMsg(tr("错误"), tr("无法启动浏览器，请在浏览器中打开 %1").arg(strUrl), CMsgDlg::MsgError, this);
}

void CDevManageForm::openRemoteDlg_slot()
{
    doRemoteConfig();
}

ulong CDevManageForm::doRestartDev()
{
    const int iChecked = singleCheckedRow();
    if (iChecked < 0)
        return 1;
    const CUIDeviceBean oDev = m_listDev.at(iChecked);
    if (oDev.m_strLoginKey.isEmpty()) {
        devLogin(EventRestart);
        return 1;
    }
    const QString strDevice = tr("设备：%1 %2").arg(oDev.m_strIp, oDev.m_strModel).trimmed();
    if (!CMsgDlg::askQuestion(tr("信息"), tr("你确定要重启系统吗？") + QLatin1Char('\n') + strDevice, this))
        return 1;
    CUIDeviceBean oRequest = oDev;
    oRequest.m_ulListRound = m_oMerge.round();
    emit sendRestartSignal(oRequest);
    showWaitDlg();
    return 0;
}

void CDevManageForm::onRestartResult(CUIDeviceBean &oBean, ulong ulResult)
{
    closeWaitDlg();
    if (ulResult != 0) {
        showNote(CDevFailReason::withReason(tr("重启失败。"), oBean.m_strFailReason));
        return;
    }
    // After a refresh the device is listed afresh by the search.
    const int iRow = rowOfDevId(oBean.m_lDevId);
    if (!m_oMerge.isCurrentRound(oBean.m_ulListRound) || iRow < 0)
        return;
    CUIDeviceBean &dev = m_listDev[iRow];
    // Its session ended with the restart; the library forgets it too.
    emit sendLogoutSignal(dev);
    dev.m_strLoginKey.clear();
    dev.m_lStatus = DevStatusRestarting;
    repaintRows(iRow);
    // The version check notices when the device answers again.
    CUIDeviceBean oRequest = dev;
    oRequest.m_ulListRound = m_oMerge.round();
    emit sendVersionCheckSignal(oRequest);
    showNote(tr("设备正在重启，重启完成后列表中的状态会变回“未登录”。"));
}

void CDevManageForm::on_oUpgradeBtn_clicked()
{
    // Without a login the login flow takes over and calls this again afterwards.
    if (!checkLoggedIn(EventUpgrade))
        return;
    m_pUpgradeDlg->exec();
}

void CDevManageForm::oMaintainSlot(QString strPath, ULONG ulCmd, CUIDeviceBean &oBean)
{
    switch (ulCmd) {
    case CUpgradeDlg::CmdUpgrade:
        emit sendUpgradeSignal(strPath, oBean);
        break;
    case CUpgradeDlg::CmdExportDiag:
        emit sendExportDiagSignal(strPath, oBean);
        break;
    case CUpgradeDlg::CmdImportCfg:
        emit sendImportCfgSignal(strPath, oBean);
        break;
    case CUpgradeDlg::CmdExportCfg:
        emit sendExportCfgSignal(strPath, oBean);
        break;
    default:
        break;
    }
}

int CDevManageForm::singleCheckedRow()
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return -1;
    }
    if (listRows.size() > 1) {
        showNote(tr("不能同时操作多台设备。"));
        return -1;
    }
    return listRows.first();
}

QList<CUIDeviceBean> CDevManageForm::checkedDevices() const
{
    QList<CUIDeviceBean> listDev;
    for (int iRow : checkedRows())
        listDev.append(m_listDev.at(iRow));
    return listDev;
}

QList<CUIDeviceBean> CDevManageForm::devicesForBatch(ulong ulEventType, SelectionRule refusal)
{
    // Without a login the login flow takes over and resumes the command afterwards.
    if (!checkLoggedIn(ulEventType))
        return {};
    const QList<CUIDeviceBean> listDev = checkedDevices();
    const QString strRefusal = refusal(listDev);
    if (!strRefusal.isEmpty()) {
        showNote(strRefusal);
        return {};
    }
    return listDev;
}

template <typename Dlg>
void CDevManageForm::runBatchDialog(ulong ulEventType, SelectionRule refusal, ULONG (Dlg::*prepare)())
{
    QList<CUIDeviceBean> listDev = devicesForBatch(ulEventType, refusal);
    if (listDev.isEmpty())
        return;
    auto *pDlg = new Dlg(this);
    connect(pDlg, &Dlg::sendResultSignal, this, &CDevManageForm::getResultSlot);
    pDlg->getDevListInfoSlot(listDev);
    if ((pDlg->*prepare)() != 0) {
        // Only a device that answered can be said not to support the function;
        // any other failure is a failed read, with its reason.
        const QString strReason = pDlg->readFailure();
        delete pDlg;
        if (strReason.isEmpty())
            showNote(tr("所选设备不支持该功能。"));
        else
            CMsgDlg::showMsg(tr("信息"), CDevFailReason::withReason(tr("读取设备参数失败。"), strReason), MsgError,
                             this);
        return;
    }
    pDlg->exec();
    pDlg->deleteWhenDone();
}

void CDevManageForm::on_oBatchCfgBtn_clicked()
{
    runBatchDialog(EventBatchCfg, &CfgSelection::refusal, &CBatchCfgDlg::prepare);
}

void CDevManageForm::on_oDSTBtn_clicked()
{
    runBatchDialog(EventDst, &CfgSelection::dstRefusal, &CDstCfgDlg::setDefault);
}

void CDevManageForm::onUpgradeProgressEvent(QString strUserId, bool bUpload, int iPercent)
{
    for (int iRow : m_oMerge.mergeUpgradeProgress(strUserId, bUpload, iPercent))
        repaintRows(iRow);
}

void CDevManageForm::onUpgradeClockTimer()
{
    bool bAny = false;
    for (int iRow = 0; iRow < m_listDev.size(); ++iRow) {
        if (m_listDev.at(iRow).m_lStatus != DevStatusUpgrading)
            continue;
        bAny = true;
        repaintRows(iRow);
    }
    if (!bAny)
        m_pUpgradeClockTimer->stop();
}

// --- version check after an upgrade ----------------------------------------

void CDevManageForm::setVersionCheckTiming(int iFirstTryMs, int iRetryMs, int iGiveUpMs)
{
    m_arrVersionCheckTiming = {iFirstTryMs, iRetryMs, iGiveUpMs};
    if (auto *pWorker = qobject_cast<CVersionCheckThread *>(m_pVersionCheckHost->worker()))
        pWorker->setTiming(iFirstTryMs, iRetryMs, iGiveUpMs);
}

void CDevManageForm::checkVersionAfterUpgrade(const QList<int> &listRows)
{
    for (int iRow : listRows) {
        if (m_listDev.at(iRow).m_lStatus != DevStatusUpgradeOk)
            continue;
        CUIDeviceBean oRequest = m_listDev.at(iRow);
        oRequest.m_ulListRound = m_oMerge.round();
        emit sendVersionCheckSignal(oRequest);
    }
}

void CDevManageForm::getVersionSlot(CUIDeviceBean &oBean)
{
    if (!m_oMerge.isCurrentRound(oBean.m_ulListRound))
        return;
    for (int iRow : m_oMerge.mergeVersion(oBean)) {
        // A restarted device answers again: it needs a login like any other.
        if (m_listDev.at(iRow).m_lStatus == DevStatusRestarting)
            m_listDev[iRow].m_lStatus = DevStatusNotLogged;
        repaintRows(iRow);
    }
}
