#include "thread_versioncheck.h"
#include "devsession.h"
#include "thread_devlogin.h"

#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcVersionCheck, "corvane.versioncheck")

void CVersionCheckThread::setTiming(int iFirstTryMs, int iRetryMs, int iGiveUpMs)
{
    m_iFirstTryMs = iFirstTryMs;
    m_iRetryMs = iRetryMs;
    m_iGiveUpMs = iGiveUpMs;
}

void CVersionCheckThread::readVersionSlot(CUIDeviceBean &oBean)
{
    QElapsedTimer oSince;
    oSince.start();
    const CUIDeviceBean oCopy = oBean;
    QTimer::singleShot(m_iFirstTryMs.load(), this, [this, oCopy, oSince] { attempt(oCopy, oSince); });
}

void CVersionCheckThread::attempt(const CUIDeviceBean &oBean, const QElapsedTimer &oSince)
{
    CUIDeviceBean oProbe = oBean;
    CDevThread::loginDevice(&oProbe);
    if (oProbe.m_lStatus == DevStatusLogged) {
        // The session was opened to read the version alone.
        DevSession::logout(oProbe);
        CUIDeviceBean oResult = oBean;
        oResult.m_strVersion = oProbe.m_strVersion;
        qCDebug(lcVersionCheck) << oBean.m_strIp << "runs" << oResult.m_strVersion << "after"
                                << oSince.elapsed() << "ms";
        emit sendVersionSignal(oResult);
        return;
    }
    if (oSince.elapsed() + m_iRetryMs > m_iGiveUpMs) {
        qCDebug(lcVersionCheck) << oBean.m_strIp << "did not answer within" << m_iGiveUpMs
                                << "ms after its upgrade; version not read:" << oProbe.m_strFailReason;
        return;
    }
    QTimer::singleShot(m_iRetryMs.load(), this, [this, oBean, oSince] { attempt(oBean, oSince); });
}
