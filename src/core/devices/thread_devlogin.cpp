#include "thread_devlogin.h"
#include "devsession.h"
#include "devtext.h"

#include "TolanNetSDK.h"
#include "tolan_cfg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QLoggingCategory>

#include <array>

Q_LOGGING_CATEGORY(lcDevLogin, "corvane.devlogin")

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
    for (CUIDeviceBean &oBean : oDevList) {
        if (!loginIpc(oBean) && !loginNvr(oBean)) {
            oBean.m_lStatus = DevStatusLoginFailed;
            qCDebug(lcDevLogin) << "login failed on both libraries:" << oBean.m_strIp;
        }
        emit sendResultSingle(oBean);
    }
    emit sendLoginResult(oDevList, ulEventTpye);
}

void CDevThread::devLogoutSlot(CUIDeviceBean &oBean)
{
    DevSession::logout(oBean);
}

bool CDevThread::loginIpc(CUIDeviceBean &oBean)
{
    QString strUserId;
    const DWORD ulRet = DevSession::loginIpc(oBean, strUserId);
    if (ulRet != 0) {
        qCDebug(lcDevLogin) << "configuration library refused" << oBean.m_strIp << "result" << ulRet;
        return false;
    }
    oBean.m_lStatus = DevStatusLogged;
    oBean.m_strDevType = DevSession::kTypeIpc;
    oBean.m_strLoginKey = strUserId;
    const QByteArray baUserId = oBean.m_strLoginKey.toLatin1();

    // Failed queries leave their buffers zeroed, which reads as empty texts.
    std::array<char, ZELT_QUERY_BASE_SIZE> aBase{};
    ZELT_MW_QueryDeviceInfo(baUserId.constData(), 0, ZELT_MW_QUERY_DEVICE_BASE, aBase.data());
    oBean.m_strModel = DevText::fromBuffer(aBase.data() + ZELT_QUERY_BASE_MODEL, ZELT_QUERY_BASE_TEXT_LEN);
    oBean.m_strVersion = DevText::fromBuffer(aBase.data() + ZELT_QUERY_BASE_VERSION, ZELT_QUERY_BASE_TEXT_LEN);

    std::array<char, ZELT_QUERY_NET_SIZE> aNet{};
    ZELT_MW_QueryDeviceInfo(baUserId.constData(), 0, ZELT_MW_QUERY_NETWORK, aNet.data());
    oBean.m_strMask = DevText::fromBuffer(aNet.data() + ZELT_QUERY_NET_MASK, ZELT_QUERY_NET_TEXT_LEN);
    oBean.m_strGateway = DevText::fromBuffer(aNet.data() + ZELT_QUERY_NET_GATEWAY, ZELT_QUERY_NET_TEXT_LEN);

    std::array<char, ZELT_QUERY_REG_SIZE> aReg{};
    ZELT_MW_QueryDeviceInfo(baUserId.constData(), 0, ZELT_MW_QUERY_REGISTER, aReg.data());
    const QString strExt = oBean.m_strSerial
        + DevText::fromBuffer(aReg.data() + ZELT_QUERY_REG_TEXT, ZELT_QUERY_REG_TEXT_LEN);
    oBean.m_strExtSerial = (strExt == oBean.m_strSerial) ? QString() : strExt;
    return true;
}

bool CDevThread::loginNvr(CUIDeviceBean &oBean)
{
    DWORD ulHandle = 0;
    if (DevSession::loginNvr(oBean, ulHandle) != 0)
        return false;
    // The session stays open; its handle is the login key for the later logout.
    oBean.m_lStatus = DevStatusLogged;
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
    return true;
}
