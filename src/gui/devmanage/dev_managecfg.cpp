// The device tab's side of opening the configuration dialog: the target
// device, the capability and live-stream requests of one opening and their
// answers. Answers of an opening that ended are dropped. Also the rows of
// devices that moved to another address, and their sessions.
#include "dev_manageform.h"

#include "dev_devcfgdlg.h"
#include "devcapability.h"
#include "devsession.h"
#include "encodedevmodelex.h"
#include "mediaaccess.h"
#include "msgdlg.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDevManage)

void CDevManageForm::configAfterLogin()
{
    openConfig(false);
}

void CDevManageForm::openConfigDlg_slot()
{
    // The icon's row: the view makes the clicked row current.
    int iRow = currentRow(-1);
    if (iRow < 0) {
        const QList<int> listRows = checkedRows();
        if (listRows.isEmpty()) {
            showNote(tr("请选择设备。"));
            return;
        }
        iRow = listRows.first();
    }
    m_iCfgDevId = m_listDev.at(iRow).m_lDevId;
    openConfig(true);
}

void CDevManageForm::openConfig(bool bMayLogin)
{
    const int iRow = rowOfDevId(m_iCfgDevId);
    if (iRow < 0)
        return;
    endCfgOpening();
    const CUIDeviceBean oDev = m_listDev.at(iRow);
    if (oDev.m_strLoginKey.isEmpty()) {
        // After a login that did not succeed the opening ends here.
        if (!bMayLogin)
            return;
        QList<int> &listChecked = m_pDevModel->checkedList();
        if (!listChecked.contains(oDev.m_lDevId))
            listChecked.append(oDev.m_lDevId);
        m_pDevModel->resetModel();
        devLogin(EventConfig);
        return;
    }
    QList<CUIDeviceBean> listDev{oDev};
    emit sendDevListInfo(listDev);
    m_pDevCfgDlg->setMediaDevice(DevSession::mediaDevice(oDev));
    if (!DevSession::isIpc(oDev)) {
        // No documents to fetch: the pages are those the device's protocol implies.
        const QMap<ulong, QList<stDevCapacityInfo>> mapCaps = DevSession::impliedCapabilities(oDev);
        for (auto it = mapCaps.cbegin(); it != mapCaps.cend(); ++it) {
            QList<stDevCapacityInfo> listCaps = it.value();
            m_pDevCfgDlg->getDevCapInfoSlot(listCaps, it.key());
        }
        if (mapCaps.isEmpty())
            m_pDevCfgDlg->initSysInfoPage();
        else
            m_pDevCfgDlg->initCfgPages();
        return;
    }
    m_strCfgUserId = oDev.m_strLoginKey;
    m_bCfgPending = true;
    for (ulong ulKind : {ulong(DevCapability::KindImage), ulong(DevCapability::KindNetwork),
                         ulong(DevCapability::KindEncode)})
        emit sendGetCapSig(m_strCfgUserId, ulKind, m_ulCfgOpening);
    emit sendStartLive_sig(m_strCfgUserId, m_ulCfgOpening);
    showWaitDlg();
}

void CDevManageForm::getCapResult(QList<stDevCapacityInfo> &devCapInfoList, ulong capType, quint32 ulOpening)
{
    if (!m_bCfgPending || ulOpening != m_ulCfgOpening)
        return;
    emit sendCapResultSig(devCapInfoList, capType);
}

void CDevManageForm::getStartLiveResult(ulong streamHd, ulong ulResult, quint32 ulOpening, QString strUserId)
{
    if (!m_bCfgPending || ulOpening != m_ulCfgOpening) {
        // A stream of an opening that ended shows nowhere; it belongs to the
        // session that opening used.
        if (streamHd != 0)
            emit sendStopLive_sig(strUserId, streamHd);
        return;
    }
    endCfgOpening();
    m_ulStreamHd = DWORD(streamHd);
    m_pDevCfgDlg->setLiveResult(DWORD(streamHd), DWORD(ulResult));
}

void CDevManageForm::getCapFailed_slot(ulong ulResult, quint32 ulOpening)
{
    if (!m_bCfgPending || ulOpening != m_ulCfgOpening)
        return;
    endCfgOpening();
    qCDebug(lcDevManage) << "capability request failed:" << ulResult;
    closeWaitDlg();
    const int iRow = rowOfDevId(m_iCfgDevId);
    if (iRow >= 0)
        logoutRow(iRow);
    CMsgDlg::showMsg(tr("信息"), tr("连接超时,请检查设备网络连接。"), MsgError, this);
}

void CDevManageForm::initCfgDlg_slot()
{
    // The pages read the device while they are built: the wait overlay stays
    // up until the dialog asks to be shown.
    m_pDevCfgDlg->initCfgPages();
}

void CDevManageForm::terminateWaitDlg_slot()
{
    closeWaitDlg();
    m_pDevCfgDlg->exec();
}

void CDevManageForm::endCfgOpening()
{
    m_bCfgPending = false;
    ++m_ulCfgOpening;
}

void CDevManageForm::devAddrChangedSlot(QString strOldIp, QString strNewIp)
{
    qCDebug(lcDevManage) << "device moved from" << strOldIp << "to" << strNewIp;
    const QList<int> listRows = m_oMerge.mergeMove(strOldIp, strNewIp);
    for (int iRow : listRows)
        repaintRows(iRow);
    loginAtNewAddress(listRows);
}

void CDevManageForm::devGoneSlot(QString strIp)
{
    for (int iRow = 0; iRow < m_listDev.size(); ++iRow) {
        if (m_listDev.at(iRow).m_strIp == strIp && !m_listDev.at(iRow).m_strLoginKey.isEmpty())
            logoutRow(iRow);
    }
}

void CDevManageForm::getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    if (!m_oMerge.isCurrentRound(oNetAddrBean.m_ulListRound))
        return;
    const QList<int> listRows = m_oMerge.mergeAddressResult(oNetAddrBean);
    for (int iRow : listRows) {
        emit sendModifyRltSignal(oNetAddrBean);
        repaintRows(iRow);
    }
    if (oNetAddrBean.m_lResult == DevStatusModifyOk)
        loginAtNewAddress(listRows);
}

void CDevManageForm::loginAtNewAddress(const QList<int> &listRows)
{
    QList<CUIDeviceBean> listLogin;
    for (int iRow : listRows) {
        CUIDeviceBean &dev = m_listDev[iRow];
        if (dev.m_strLoginKey.isEmpty())
            continue;
        // The old session is keyed to the old address and answers nothing now.
        emit sendLogoutSignal(dev);
        dev.m_strLoginKey.clear();
        dev.m_lStatus = DevStatusConnecting;
        listLogin.append(dev);
        repaintRows(iRow);
    }
    // With the account the row had; a failure leaves the row asking for a login.
    if (!listLogin.isEmpty())
        emit sendLoginSignal(listLogin, EventRelogin);
}

void CDevManageForm::logoutRow(int iRow)
{
    CUIDeviceBean &dev = m_listDev[iRow];
    // The signal's copy still carries the key the logout needs.
    emit sendLogoutSignal(dev);
    dev.m_strLoginKey.clear();
    dev.m_lStatus = DevStatusNotLogged;
    repaintRows(iRow);
}
