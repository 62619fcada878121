#include "thread_modifyip.h"
#include "devdiscovery.h"
#include "devsession.h"
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
    DevSession::changeAddress(oNetAddrBean);
    if (oNetAddrBean.m_lResult != DevStatusModifyOk)
        qCDebug(lcModifyIp) << "address change of" << oNetAddrBean.m_strOldIp << "failed:"
                            << oNetAddrBean.m_strFailReason;
    emit sendModifyRltSignal(oNetAddrBean);
}
