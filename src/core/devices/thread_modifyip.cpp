#include "thread_modifyip.h"
#include "devdiscovery.h"
#include "uidevicebean.h"

#include "Discovery.h"

#include <QLoggingCategory>
#include <QRegExp>

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
    static const QRegExp rxAddr(QStringLiteral(
        "((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)"));
    if (!rxAddr.exactMatch(strIp))
        return false;
    // A host part that is not a number counts as 0.
    return strIp.mid(strIp.lastIndexOf(QLatin1Char('.')) + 1).toInt() != 0;
}

void CModifyIPThread::modifyAddrSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    if (!isUsableAddress(oNetAddrBean.m_strNewIp)) {
        oNetAddrBean.m_lResult = DevStatusModifyInvalid;
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
    if (iRet != RVNA_OK)
        qCDebug(lcModifyIp) << "address change of" << oNetAddrBean.m_strOldIp << "failed:" << iRet;
    emit sendModifyRltSignal(oNetAddrBean);
}
