#include "thread_devcmd.h"

#include "devdiscovery.h"
#include "devfailreason.h"
#include "devsession.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDevCmd, "corvane.devcmd")

void CDevCmdThread::restartSlot(CUIDeviceBean &oBean)
{
    const DWORD ulRet = DevSession::restart(oBean, oBean.m_strFailReason);
    if (ulRet != 0)
        qCDebug(lcDevCmd) << "restart of" << oBean.m_strIp << "failed:" << ulRet;
    emit sendRestartResult(oBean, ulRet);
}

void CDevCmdThread::resetPwdSlot(CUIDeviceBean &oBean, QString strSecurityCode)
{
    const DWORD ulRet =
        CDevDiscovery::resetPassword(oBean.m_strIp, oBean.m_strSerial, oBean.m_strMac, strSecurityCode);
    oBean.m_strFailReason = CDevFailReason::ofDiscovery(ulRet);
    if (ulRet != 0)
        qCDebug(lcDevCmd) << "password reset of" << oBean.m_strIp << "failed:" << ulRet;
    emit sendResetPwdResult(oBean, ulRet);
}

void CDevCmdThread::changePwdSlot(CUIDeviceBean &oBean, QString strNewPassword)
{
    const DWORD ulRet = DevSession::changePassword(oBean, strNewPassword, oBean.m_strFailReason);
    if (ulRet == 0)
        oBean.m_strPassword = strNewPassword;
    else
        qCDebug(lcDevCmd) << "password change of" << oBean.m_strIp << "failed:" << oBean.m_strFailReason;
    emit sendChangePwdResult(oBean, ulRet);
}
