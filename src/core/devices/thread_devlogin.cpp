#include "thread_devlogin.h"
#include "devfailreason.h"
#include "devsession.h"
#include "devtext.h"

#include "TolanNetSDK.h"
#include "tolan_cfg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QPointer>
#include <QVector>

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

Q_LOGGING_CATEGORY(lcDevLogin, "corvane.devlogin")

namespace {

// Native devices logged in at once: each login blocks a helper thread while
// it mostly waits on its device, so several overlap without loading the
// machine. A first contact's TLS handshake is mostly computation; eight
// keep two cores busy where four left them idle a third of the time.
constexpr int kParallelLogins = 8;
// ONVIF logins under way at once on the worker's own client; they cost no
// thread, only a connection each.
constexpr int kOnvifInFlight = 128;

} // namespace

CDevThread::CDevThread(QObject *pReceiver)
    : QObject(nullptr)
    , m_pReceiver(pReceiver)
{
    connect(this, SIGNAL(sendLoginResult(QList<CUIDeviceBean>&,ulong)),
            m_pReceiver, SLOT(getLoginResultSlot(QList<CUIDeviceBean>&,ulong)));
    connect(this, SIGNAL(sendResultSingle(CUIDeviceBean&)),
            m_pReceiver, SLOT(getResultSlot(CUIDeviceBean&)));
}

void CDevThread::devLoginSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventTpye)
{
    // ONVIF logins wait in an event loop here, where a further list may
    // arrive: it is taken after the current one, as a blocked worker would.
    m_listQueued.append({oDevList, ulEventTpye});
    if (m_bBusy)
        return;
    m_bBusy = true;
    while (!m_listQueued.isEmpty()) {
        QPair<QList<CUIDeviceBean>, ulong> job = m_listQueued.takeFirst();
        if (!loginList(job.first))
            break;
        emit sendLoginResult(job.first, job.second);
    }
    m_listQueued.clear();
    m_bBusy = false;
}

bool CDevThread::loginList(QList<CUIDeviceBean> &oDevList)
{
    // Native records go to a few helper threads, ONVIF records to this
    // thread's client many at once; the results still go out one per record,
    // in list order. The pointers are taken here, so the list detaches on
    // this thread.
    QEventLoop loop;
    // Callbacks run only inside loop.exec(); one that comes after this call
    // gave up (the thread is stopping) finds the loop gone and is dropped.
    const QPointer<QEventLoop> pAlive(&loop);
    QVector<CUIDeviceBean *> vecBeans;
    QVector<int> vecNative;
    QVector<int> vecOnvif;
    for (CUIDeviceBean &oBean : oDevList) {
        (DevSession::isOnvif(oBean) ? vecOnvif : vecNative).append(vecBeans.size());
        vecBeans.append(&oBean);
    }
    const int iCount = vecBeans.size();
    std::mutex mutex;
    std::vector<char> vecDone(static_cast<size_t>(iCount), 0);
    int iEmitted = 0;
    auto markDone = [&](int i) {
        std::lock_guard<std::mutex> lock(mutex);
        vecDone[static_cast<size_t>(i)] = 1;
    };
    auto emitReady = [&] {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (iEmitted == iCount || !vecDone[static_cast<size_t>(iEmitted)])
                    break;
            }
            emit sendResultSingle(*vecBeans[iEmitted++]);
        }
        if (iEmitted == iCount)
            loop.quit();
    };

    std::atomic<int> iNextNative{0};
    std::vector<std::thread> vecThreads;
    for (int t = 0; t < std::min(kParallelLogins, int(vecNative.size())); ++t) {
        vecThreads.emplace_back([&] {
            for (int n = iNextNative++; n < vecNative.size(); n = iNextNative++) {
                loginDevice(vecBeans[vecNative[n]]);
                markDone(vecNative[n]);
                QMetaObject::invokeMethod(&loop, emitReady, Qt::QueuedConnection);
            }
        });
    }

    int iNextOnvif = 0;
    std::function<void()> startNextOnvif = [&] {
        if (iNextOnvif >= vecOnvif.size())
            return;
        const int i = vecOnvif[iNextOnvif++];
        DevSession::startOnvifLogin(*vecBeans[i], [&, pAlive, i](const CUIDeviceBean &oResult) {
            if (!pAlive)
                return;
            *vecBeans[i] = oResult;
            markDone(i);
            startNextOnvif();
            emitReady();
        });
    };
    for (int n = 0; n < kOnvifInFlight; ++n)
        startNextOnvif();

    emitReady();
    if (iEmitted < iCount)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    for (std::thread &thread : vecThreads)
        thread.join();
    const bool bComplete = iEmitted == iCount;
    // The loop also ends when the thread is told to quit (its work was
    // abandoned): logins that finished all the same still go out, so that
    // the owner closes the sessions they opened on the devices.
    int iUnfinished = 0;
    for (; iEmitted < iCount; ++iEmitted) {
        if (vecDone[static_cast<size_t>(iEmitted)])
            emit sendResultSingle(*vecBeans[iEmitted]);
        else
            ++iUnfinished;
    }
    if (!bComplete)
        qCDebug(lcDevLogin) << "worker stopped with" << iUnfinished << "logins unfinished";
    return bComplete;
}

void CDevThread::loginDevice(CUIDeviceBean *pBean)
{
    if (DevSession::isOnvif(*pBean)) {
        DevSession::loginOnvif(*pBean);
        return;
    }
    const DWORD ulIpc = loginIpc(*pBean);
    if (ulIpc == 0)
        return;
    const DWORD ulNvr = loginNvr(*pBean);
    if (ulNvr == 0)
        return;
    pBean->m_lStatus = DevStatusLoginFailed;
    // A device answers only the library that serves it; the other one merely
    // finds nothing there, which says less than the answering library's code.
    pBean->m_strFailReason = ulIpc != ZELT_MW_ERR_CONNECT || ulNvr == TLSDK_ERR_CONNECT
        ? CDevFailReason::ofIpc(ulIpc)
        : CDevFailReason::ofNvr(ulNvr);
    // The right password does not help while the device keeps the account locked.
    if (ulIpc == ZELT_MW_ERR_LOCKED || ulNvr == TLSDK_ERR_LOCKED) {
        pBean->m_lStatus = DevStatusLoginLocked;
        pBean->m_strFailReason = CDevFailReason::lockedFor(ulIpc == ZELT_MW_ERR_LOCKED ? ZELT_MW_GetLockTime() : 0);
    }
    qCDebug(lcDevLogin) << "login failed on both libraries:" << pBean->m_strIp << ulIpc << ulNvr;
}

void CDevThread::devLogoutSlot(CUIDeviceBean &oBean)
{
    DevSession::logout(oBean);
}

DWORD CDevThread::loginIpc(CUIDeviceBean &oBean)
{
    // The three information queries travel with the login request: one round
    // trip after the challenge instead of four. Failed queries leave their
    // buffers zeroed, which reads as empty texts.
    std::array<char, ZELT_QUERY_BASE_SIZE> aBase{};
    std::array<char, ZELT_QUERY_NET_SIZE> aNet{};
    std::array<char, ZELT_QUERY_REG_SIZE> aReg{};
    ZELT_MW_INFO_QUERY aQueries[] = {{ZELT_MW_QUERY_DEVICE_BASE, aBase.data(), 0},
                                     {ZELT_MW_QUERY_NETWORK, aNet.data(), 0},
                                     {ZELT_MW_QUERY_REGISTER, aReg.data(), 0}};
    QString strUserId;
    const DWORD ulRet = DevSession::loginIpc(oBean, strUserId, aQueries, DWORD(std::size(aQueries)));
    if (ulRet != 0) {
        qCDebug(lcDevLogin) << "configuration library refused" << oBean.m_strIp << "result" << ulRet;
        return ulRet;
    }
    oBean.m_lStatus = DevStatusLogged;
    oBean.m_strFailReason.clear();
    oBean.m_strDevType = DevSession::kTypeIpc;
    oBean.m_strLoginKey = strUserId;
    oBean.m_strModel = DevText::fromBuffer(aBase.data() + ZELT_QUERY_BASE_MODEL, ZELT_QUERY_BASE_TEXT_LEN);
    oBean.m_strVersion = DevText::fromBuffer(aBase.data() + ZELT_QUERY_BASE_VERSION, ZELT_QUERY_BASE_TEXT_LEN);
    oBean.m_strMask = DevText::fromBuffer(aNet.data() + ZELT_QUERY_NET_MASK, ZELT_QUERY_NET_TEXT_LEN);
    oBean.m_strGateway = DevText::fromBuffer(aNet.data() + ZELT_QUERY_NET_GATEWAY, ZELT_QUERY_NET_TEXT_LEN);
    const QString strExt = oBean.m_strSerial
        + DevText::fromBuffer(aReg.data() + ZELT_QUERY_REG_TEXT, ZELT_QUERY_REG_TEXT_LEN);
    oBean.m_strExtSerial = (strExt == oBean.m_strSerial) ? QString() : strExt;
    return 0;
}

DWORD CDevThread::loginNvr(CUIDeviceBean &oBean)
{
    DWORD ulHandle = 0;
    const DWORD ulRet = DevSession::loginNvr(oBean, ulHandle);
    if (ulRet != 0)
        return ulRet;
    // The session stays open; its handle is the login key for the later logout.
    oBean.m_lStatus = DevStatusLogged;
    oBean.m_strFailReason.clear();
    oBean.m_strDevType = DevSession::kTypeNvr;
    oBean.m_strLoginKey = QString::number(ulHandle);

    std::array<char, TLSDK_DEVICE_INFO_SIZE> aDev{};
    TLSDK_GetDevCfg(ulHandle, TLSDK_CFG_DEVICE_INFO, aDev.data());
    oBean.m_strModel = DevText::fromBuffer(aDev.data() + TLSDK_DEVINFO_MODEL, TLSDK_DEVINFO_MODEL_LEN);
    oBean.m_strSerial = DevText::fromBuffer(aDev.data() + TLSDK_DEVINFO_SERIAL, TLSDK_DEVINFO_SERIAL_LEN);
    oBean.m_strVersion = DevText::fromBuffer(aDev.data() + TLSDK_DEVINFO_VERSION, TLSDK_DEVINFO_VERSION_LEN);

    std::array<char, TLSDK_NETWORK_INFO_SIZE> aNet{};
    TLSDK_GetDevCfg(ulHandle, TLSDK_CFG_NETWORK, aNet.data());
    oBean.m_strMask = DevText::fromBuffer(aNet.data() + TLSDK_NETINFO_MASK, TLSDK_NETINFO_ADDR_LEN);
    oBean.m_strGateway = DevText::fromBuffer(aNet.data() + TLSDK_NETINFO_GATEWAY, TLSDK_NETINFO_ADDR_LEN);
    oBean.m_strMac = DevText::macText(reinterpret_cast<const unsigned char *>(aNet.data() + TLSDK_NETINFO_MAC));
    return 0;
}
