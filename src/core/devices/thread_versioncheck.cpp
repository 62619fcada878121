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
    // A device restarted on purpose has been away already by the first attempt.
    const bool bAway = oBean.m_lStatus == DevStatusRestarting;
    QTimer::singleShot(m_iFirstTryMs.load(), this,
                       [this, oCopy, oSince, bAway] { attempt(oCopy, oSince, bAway); });
}

void CVersionCheckThread::attempt(const CUIDeviceBean &oBean, const QElapsedTimer &oSince, bool bWasAway)
{
    CUIDeviceBean oProbe = oBean;
    CDevThread::loginDevice(&oProbe);
    const bool bAnswered = oProbe.m_lStatus == DevStatusLogged;
    if (bAnswered)
        DevSession::logout(oProbe); // the session was opened to read the version alone
    // A device that has not been away yet and still reports the old version
    // may not have begun its restart: ask again later.
    const bool bSettled = bAnswered && (bWasAway || oProbe.m_strVersion != oBean.m_strVersion);
    if (bSettled) {
        CUIDeviceBean oResult = oBean;
        oResult.m_strVersion = oProbe.m_strVersion;
        qCDebug(lcVersionCheck) << oBean.m_strIp << "runs" << oResult.m_strVersion << "after"
                                << oSince.elapsed() << "ms";
        emit sendVersionSignal(oResult);
        return;
    }
    if (oSince.elapsed() + m_iRetryMs > m_iGiveUpMs) {
        qCDebug(lcVersionCheck) << oBean.m_strIp << "did not come back with a new version within" << m_iGiveUpMs
                                << "ms after its upgrade; version not read again:" << oProbe.m_strFailReason;
        return;
    }
    const bool bAway = bWasAway || !bAnswered;
    QTimer::singleShot(m_iRetryMs.load(), this, [this, oBean, oSince, bAway] { attempt(oBean, oSince, bAway); });
}
