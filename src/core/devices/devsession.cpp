#include "devsession.h"
#include "devfailreason.h"
#include "devtext.h"

#include "zelt_mw_sdk.h"

#include <QLoggingCategory>

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcSession, "corvane.session")

namespace DevSession {

const QString kTypeIpc = QStringLiteral("IPC");
const QString kTypeNvr = QStringLiteral("NVR");

namespace {
std::atomic<int> g_iLogoutsRunning{0};
}

bool isIpc(const CUIDeviceBean &oDev)
{
    return !oDev.isOnvif() && oDev.m_strDevType == kTypeIpc;
}

bool isNvr(const CUIDeviceBean &oDev)
{
    return !oDev.isOnvif() && oDev.m_strDevType == kTypeNvr;
}

bool isOnvif(const CUIDeviceBean &oDev)
{
    return oDev.isOnvif();
}

DWORD loginIpc(const CUIDeviceBean &oDev, QString &strUserId, ZELT_MW_INFO_QUERY *pQueries, DWORD ulQueries)
{
    std::array<char, ZELT_MW_USERID_LEN> szUserId{};
    const DWORD ulRet = ZELT_MW_LoginQuery(oDev.m_strUserName.toUtf8().constData(),
                                           oDev.m_strPassword.toUtf8().constData(),
                                           oDev.m_strIp.toLatin1().constData(), 0, szUserId.data(), 0, pQueries,
                                           ulQueries);
    if (ulRet == 0)
        strUserId = DevText::fromBuffer(szUserId.data(), szUserId.size());
    return ulRet;
}

DWORD loginNvr(const CUIDeviceBean &oDev, DWORD &ulHandle, decltype(&TLSDK_Login) pfnLogin)
{
    std::array<char, kNvrLoginInfoSize> aInfo{};
    const DWORD ulRet = pfnLogin(oDev.m_strIp.toLatin1().constData(), TLSDK_DEFAULT_PORT,
                                 oDev.m_strUserName.toUtf8().constData(),
                                 oDev.m_strPassword.toUtf8().constData(), &ulHandle, aInfo.data());
    if (ulRet != 0)
        qCDebug(lcSession) << "TLSDK_Login" << oDev.m_strIp << "failed:" << ulRet;
    return ulRet;
}

void logout(const CUIDeviceBean &oDev)
{
    if (isIpc(oDev)) {
        ZELT_MW_Logout(oDev.m_strLoginKey.toLatin1().constData());
    } else if (isNvr(oDev)) {
        bool bOk = false;
        const DWORD ulHandle = oDev.m_strLoginKey.toUInt(&bOk);
        // A record without a valid handle has no session to close.
        if (bOk)
            TLSDK_Logout(ulHandle);
    }
}

bool logoutAll(const QList<CUIDeviceBean> &listDev, unsigned long ulTimeoutMs)
{
    struct stPending
    {
        std::mutex mutex;
        std::condition_variable cond;
        int iLeft = 0;
    };
    auto pPending = std::make_shared<stPending>();
    for (const CUIDeviceBean &dev : listDev) {
        if (!isIpc(dev) && !isNvr(dev))
            continue;
        {
            std::lock_guard<std::mutex> lock(pPending->mutex);
            ++pPending->iLeft;
        }
        ++g_iLogoutsRunning;
        // Detached: a logout still waiting on a silent device must not hold up the exit.
        std::thread([pPending, dev] {
            logout(dev);
            --g_iLogoutsRunning;
            std::lock_guard<std::mutex> lock(pPending->mutex);
            if (--pPending->iLeft == 0)
                pPending->cond.notify_all();
        }).detach();
    }
    std::unique_lock<std::mutex> lock(pPending->mutex);
    const bool bDone = pPending->cond.wait_for(lock, std::chrono::milliseconds(ulTimeoutMs),
                                               [&pPending] { return pPending->iLeft == 0; });
    if (!bDone)
        qCDebug(lcSession) << pPending->iLeft << "logouts still running at exit";
    return bDone;
}

int logoutsRunning()
{
    return g_iLogoutsRunning;
}

DWORD startLiveStream(const QByteArray &userId, DWORD &ulStreamHd)
{
    ulStreamHd = 0;
    const DWORD ulResult = ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &ulStreamHd);
    if (!isStreamRunning(ulResult))
        ulStreamHd = 0;
    return ulResult;
}

bool isStreamRunning(DWORD ulResult)
{
    return ulResult == ZELT_MW_OK || ulResult == ZELT_MW_STREAM_SHARED || ulResult == ZELT_MW_STREAM_NO_AUDIO;
}

bool isDeviceGone(DWORD ulIpcResult)
{
    return ulIpcResult == ZELT_MW_ERR_CONNECT || ulIpcResult == ZELT_MW_ERR_TIMEOUT
        || ulIpcResult == ZELT_MW_ERR_USERID;
}

DWORD restart(const CUIDeviceBean &oDev, QString &strReason)
{
    if (isOnvif(oDev)) {
        const COnvifError error = onvifReboot(oDev);
        strReason = error.reason();
        return DWORD(error.kind());
    }
    DWORD ulRet = 0;
    if (isIpc(oDev)) {
        ulRet = ZELT_MW_Reboot(oDev.m_strLoginKey.toLatin1().constData());
    } else {
        DWORD ulHandle = 0;
        ulRet = loginNvr(oDev, ulHandle);
        if (ulRet == 0) {
            ulRet = TLSDK_Restart(ulHandle);
            // The session was opened for the restart alone.
            TLSDK_Logout(ulHandle);
        }
    }
    strReason = CDevFailReason::ofDevice(oDev, ulRet);
    return ulRet;
}

} // namespace DevSession
