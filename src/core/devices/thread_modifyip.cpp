#include "thread_modifyip.h"
#include "devdiscovery.h"
#include "devfailreason.h"
#include "ipv4.h"
#include "uidevicebean.h"

#include "Discovery.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcModifyIp, "corvane.modifyip")

CModifyIPThread::CModifyIPThread(QObject *pReceiver)
    : QObject(nullptr)
    , m_pReceiver(pReceiver)
{
    connect(this, SIGNAL(sendModifyRltSignal(CBatchEditNetAddrBean&)),
            m_pReceiver, SLOT(getModifyRltSlot(CBatchEditNetAddrBean&)));
    m_pDiscovery.reset(new CDevDiscovery);
}

CModifyIPThread::~CModifyIPThread() = default;

bool CModifyIPThread::isUsableAddress(const QString &strIp)
{
    return Ipv4::isUsableHost(strIp);
}

void CModifyIPThread::modifyAddrSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    if (!isUsableAddress(oNetAddrBean.m_strNewIp)) {
        oNetAddrBean.m_lResult = DevStatusModifyInvalid;
        oNetAddrBean.m_strFailReason.clear();
        emit sendModifyRltSignal(oNetAddrBean);
        return;
    }
    const DWORD iRet = CDevDiscovery::setDevIpAddr(
        oNetAddrBean.m_strOldIp, oNetAddrBean.m_strInputPassword, oNetAddrBean.m_strUserName,
        oNetAddrBean.m_strSerial, oNetAddrBean.m_strMac, oNetAddrBean.m_strNewIp,
        oNetAddrBean.m_strMask, oNetAddrBean.m_strGateway);
    if (iRet == RVNA_OK)
        oNetAddrBean.m_lResult = DevStatusModifyOk;
    else if (iRet == RVNA_ERR_ADDR_CONFLICT)
        oNetAddrBean.m_lResult = DevStatusModifyConflict;
    else
        oNetAddrBean.m_lResult = DevStatusModifyFailed;
    oNetAddrBean.m_strFailReason = CDevFailReason::ofDiscovery(iRet);
    if (iRet != RVNA_OK)
        qCDebug(lcModifyIp) << "address change of" << oNetAddrBean.m_strOldIp << "failed:" << iRet;
    emit sendModifyRltSignal(oNetAddrBean);
}
