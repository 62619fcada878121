// The device tab's password change of a logged-in device's account.
#include "dev_manageform.h"

#include "dev_changepwddlg.h"
#include "devfailreason.h"
#include "devsession.h"

ulong CDevManageForm::doChangePwd()
{
    const int iChecked = singleCheckedRow();
    if (iChecked < 0)
        return 1;
    const CUIDeviceBean oDev = m_listDev.at(iChecked);
    if (!DevSession::offers(oDev, DevSession::FeaturePasswordChange)) {
        QString strReason;
        DevSession::changePassword(oDev, QString(), strReason);
        showNote(CDevFailReason::withReason(tr("修改密码失败。"), strReason));
        return 1;
    }
    if (oDev.m_strLoginKey.isEmpty()) {
        showNote(tr("请先登录设备。"));
        return 1;
    }
    CChangePwdDlg dlg(tr("%1 %2（用户 %3）").arg(oDev.m_strIp, oDev.m_strModel, oDev.m_strUserName), this);
    if (dlg.exec() != QDialog::Accepted)
        return 1;
    CUIDeviceBean oRequest = oDev;
    oRequest.m_ulListRound = m_oMerge.round();
    emit sendChangePwdSignal(oRequest, dlg.password());
    showWaitDlg();
    return 0;
}

void CDevManageForm::onChangePwdResult(CUIDeviceBean &oBean, ulong ulResult)
{
    closeWaitDlg();
    if (ulResult != 0) {
        showNote(CDevFailReason::withReason(tr("修改密码失败。"), oBean.m_strFailReason));
        return;
    }
    // Later operations on the row sign with the new password.
    const int iRow = rowOfDevId(oBean.m_lDevId);
    if (m_oMerge.isCurrentRound(oBean.m_ulListRound) && iRow >= 0)
        m_listDev[iRow].m_strPassword = oBean.m_strPassword;
    showNote(tr("密码已修改。"));
}
