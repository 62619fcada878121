#include "devdiscovery.h"
#include "ipv4.h"
#include "onvifdiscovery.h"

#include <QLoggingCategory>

#include <cstring>

Q_LOGGING_CATEGORY(lcDiscovery, "corvane.discovery")

namespace {

const unsigned char PasswordKey = 0x6E;
const std::size_t PasswordBufferSize = 256;

QString slotToString(const char *pSlot)
{
    return QString::fromUtf8(pSlot, int(strnlen(pSlot, RVNA_TEXT_LEN)));
}

} // namespace

const char *const CDevDiscovery::EmptyPasswordMarker = "nullpassword";

CDevDiscovery::CDevDiscovery()
{
    RVNA_InitDiscovery();
    RVNA_SetDiscoverySenderCallBack(&CDevDiscovery::discoveryCallBack, this);
}

CDevDiscovery::~CDevDiscovery()
{
    // Delivery stops first, so that no answer can arrive in a half-destroyed instance.
    RVNA_SetDiscoverySenderCallBack(nullptr, this);
    RVNA_UninitDiscovery();
    std::lock_guard<std::mutex> lock(m_resultMutex);
    m_results.clear();
    m_resultKeys.clear();
    m_resultEndpoints.clear();
}

COnvifDiscovery &CDevDiscovery::onvif()
{
    if (!m_pOnvif) {
        m_pOnvif.reset(new COnvifDiscovery([this](const stDiscoveryBean &bean) { addOnvifAnswer(bean); }));
        m_pOnvif->onDeparted(m_departed);
        m_pOnvif->onArrived(m_arrived);
    }
    return *m_pOnvif;
}

void CDevDiscovery::onDeparted(std::function<void(const DeviceDeparture &)> departed)
{
    m_departed = std::move(departed);
    if (m_pOnvif)
        m_pOnvif->onDeparted(m_departed);
}

void CDevDiscovery::onArrived(std::function<void(const stDiscoveryBean &)> arrived)
{
    m_arrived = std::move(arrived);
    if (m_pOnvif)
        m_pOnvif->onArrived(m_arrived);
}

QSet<DeviceDeparture> CDevDiscovery::departedEndpoints() const
{
    return m_pOnvif ? m_pOnvif->departed() : QSet<DeviceDeparture>();
}

void CDevDiscovery::attach()
{
    RVNA_SetDiscoverySenderCallBack(&CDevDiscovery::discoveryCallBack, this);
}

void CDevDiscovery::detach()
{
    RVNA_SetDiscoverySenderCallBack(nullptr, this);
}

void CDevDiscovery::sendProbe1()
{
    RVNA_SendProbe1(0);
    onvif().replayHellos();
    onvif().probeMulticast();
}

void CDevDiscovery::sendProbe2(const QString &strFirstIp, const QString &strLastIp)
{
    unsigned int uFirst = 0;
    unsigned int uLast = 0;
    if (!Ipv4::parse(strFirstIp, uFirst) || !Ipv4::parse(strLastIp, uLast)) {
        qCDebug(lcDiscovery) << "range probe skipped, bad range" << strFirstIp << strLastIp;
        return;
    }
    RVNA_SendProbe2(uFirst, uLast);
    onvif().replayHellos();
    onvif().probeRange(uFirst, uLast);
}

QList<stDiscoveryBean> CDevDiscovery::takeResults()
{
    std::lock_guard<std::mutex> lock(m_resultMutex);
    QList<stDiscoveryBean> results;
    results.swap(m_results);
    m_resultKeys.clear();
    m_hashRelayed.clear();
    m_hashAtAddress.clear();
    m_resultEndpoints.clear();
    return results;
}

QList<stDiscoveryBean> CDevDiscovery::results() const
{
    std::lock_guard<std::mutex> lock(m_resultMutex);
    return m_results;
}

int CDevDiscovery::resultCount() const
{
    std::lock_guard<std::mutex> lock(m_resultMutex);
    return m_results.size();
}

void CDevDiscovery::addAnswer(const RVNA_DEVICE_INFO &info, quint32 uSender)
{
    stDiscoveryBean bean = toBean(info);
    const QString strSender = Ipv4::format(uSender);
    quint32 uClaimed = 0;
    const bool bAddressed = Ipv4::parse(bean.strIp, uClaimed);
    if (bAddressed && uClaimed != uSender)
        bean.strRelay = strSender;
    std::lock_guard<std::mutex> lock(m_resultMutex);
    if (bAddressed) {
        const QString strKey =
            QStringList{bean.strIp, bean.strMac.toLower(), bean.strSerial, bean.strRelay}.join(QLatin1Char('/'));
        if (m_resultKeys.contains(strKey))
            return;
        if (!admitLocked(strSender + QLatin1Char('>') + bean.strIp, strSender, !bean.strRelay.isEmpty()))
            return;
        m_resultKeys.insert(strKey);
    }
    m_results.append(bean);
}

void CDevDiscovery::addOnvifAnswer(const stDiscoveryBean &bean)
{
    std::lock_guard<std::mutex> lock(m_resultMutex);
    const QString strKey = bean.strEndpoint + QLatin1Char('@') + bean.strIp;
    if (m_resultEndpoints.contains(strKey))
        return;
    // Counted apart from the native answers: a camera answering both ways is one device in each.
    if (!admitLocked(QStringLiteral("onvif>") + bean.strIp, bean.strIp, false))
        return;
    m_resultEndpoints.insert(strKey);
    m_results.append(bean);
}

bool CDevDiscovery::admitLocked(const QString &strAtAddress, const QString &strSender, bool bRelayed)
{
    // Counted even when refused, so that only the first refusal is logged.
    const int iAtAddress = ++m_hashAtAddress[strAtAddress];
    const int iRelayed = bRelayed ? ++m_hashRelayed[strSender] : 0;
    if (iAtAddress <= MaxDevicesPerAddress && iRelayed <= MaxRelayedPerSender)
        return true;
    if (iAtAddress == MaxDevicesPerAddress + 1 || iRelayed == MaxRelayedPerSender + 1)
        qCInfo(lcDiscovery) << "further answers from" << strSender << "left out of this search";
    return false;
}

void CDevDiscovery::discoveryCallBack(const RVNA_DEVICE_INFO *pDevInfo, unsigned int uSender, void *pContext)
{
    if (pDevInfo && pContext)
        static_cast<CDevDiscovery *>(pContext)->addAnswer(*pDevInfo, uSender);
}

DWORD CDevDiscovery::resetPassword(const QString &strIp, const QString &strSerial, const QString &strMac,
                                   const QString &strSecurityCode)
{
    unsigned int uIp = 0;
    if (!Ipv4::parse(strIp, uIp))
        return RVNA_ERR_PARAM;
    const RVNA_DEV_IDENTITY identity = makeIdentity(strSerial, strMac);
    const QByteArray code = strSecurityCode.toUtf8();
    const int iRet = RVNA_ResetDevPasswd(uIp, &identity, code.constData());
    if (iRet != RVNA_OK)
        qCDebug(lcDiscovery) << "password reset of" << strIp << "failed:" << iRet;
    return DWORD(iRet);
}

DWORD CDevDiscovery::setDevIpAddr(const QString &strIp, const QString &strPassword, const QString &strUserName,
                                  const QString &strSerial, const QString &strMac, const QString &strNewIp,
                                  const QString &strNewMask, const QString &strNewGateway)
{
    unsigned int uIp = 0;
    if (!Ipv4::parse(strIp, uIp))
        return RVNA_ERR_PARAM;
    RVNA_DEV_ACCOUNT account;
    const DWORD dwEncode = makeAccount(strUserName, strPassword, account);
    if (dwEncode != 0) {
        qCDebug(lcDiscovery) << "address change of" << strIp << "refused: password too long to send";
        return dwEncode;
    }
    const RVNA_DEV_IDENTITY identity = makeIdentity(strSerial, strMac);
    const RVNA_DEV_NETADDR netAddr = makeNetAddr(strNewIp, strNewMask, strNewGateway);
    const int iRet = RVNA_SetDevIpAddr(uIp, &account, &identity, &netAddr);
    if (iRet != RVNA_OK)
        qCDebug(lcDiscovery) << "address change of" << strIp << "failed:" << iRet;
    return DWORD(iRet);
}

DWORD CDevDiscovery::encodePassword(const QString &strPassword, QByteArray &encoded)
{
    char szBuffer[PasswordBufferSize];
    const QByteArray password = strPassword.toUtf8();
    const DWORD dwRet = encodePassword(password.constData(), szBuffer, sizeof szBuffer);
    encoded = dwRet == 0 ? QByteArray(szBuffer) : QByteArray();
    return dwRet;
}

DWORD CDevDiscovery::encodePassword(const char *pInput, char *pOutput, std::size_t nOutputSize)
{
    if (pInput == nullptr || pOutput == nullptr)
        return EncodeNullPointer;
    const std::size_t n = std::strlen(pInput);
    if (n == 0) {
        const std::size_t nMarker = std::strlen(EmptyPasswordMarker) + 1;
        if (nOutputSize < nMarker)
            return EncodeNoRoom;
        std::memcpy(pOutput, EmptyPasswordMarker, nMarker);
        return 0;
    }
    if (nOutputSize < 2 * n + 1)
        return EncodeNoRoom;
    unsigned char key = PasswordKey;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(pInput[i]) ^ key;
        pOutput[2 * i] = char(33 + 5 * (x >> 4));
        pOutput[2 * i + 1] = char(33 + 5 * (x & 0x0F));
        key = static_cast<unsigned char>(~key);
    }
    pOutput[2 * n] = '\0';
    return 0;
}

stDiscoveryBean CDevDiscovery::toBean(const RVNA_DEVICE_INFO &info)
{
    stDiscoveryBean bean;
    bean.strIp = slotToString(info.szIp);
    bean.strModel = slotToString(info.szModel);
    bean.strSerial = slotToString(info.szSerial);
    bean.strMac = slotToString(info.szMac);
    bean.strReserved = slotToString(info.szReserved);
    bean.strVersion = slotToString(info.szVersion);
    return bean;
}

RVNA_DEV_IDENTITY CDevDiscovery::makeIdentity(const QString &strSerial, const QString &strMac)
{
    RVNA_DEV_IDENTITY identity;
    copyToSlot(identity.szSerial, sizeof identity.szSerial, strSerial.toUtf8());
    copyToSlot(identity.szMac, sizeof identity.szMac, strMac.toUtf8());
    return identity;
}

RVNA_DEV_NETADDR CDevDiscovery::makeNetAddr(const QString &strIp, const QString &strMask, const QString &strGateway)
{
    RVNA_DEV_NETADDR netAddr;
    copyToSlot(netAddr.szIp, sizeof netAddr.szIp, strIp.toUtf8());
    copyToSlot(netAddr.szMask, sizeof netAddr.szMask, strMask.toUtf8());
    copyToSlot(netAddr.szGateway, sizeof netAddr.szGateway, strGateway.toUtf8());
    return netAddr;
}

DWORD CDevDiscovery::makeAccount(const QString &strUserName, const QString &strPassword, RVNA_DEV_ACCOUNT &account)
{
    std::memset(&account, 0, sizeof account);
    copyToSlot(account.szUserName, sizeof account.szUserName, strUserName.toUtf8());
    const QByteArray password = strPassword.toUtf8();
    // Encoded straight into the slot: a form that does not fit is refused, never cut.
    return encodePassword(password.constData(), account.szPassword, sizeof account.szPassword);
}

void CDevDiscovery::copyToSlot(char *pSlot, std::size_t nSlotSize, const QByteArray &text)
{
    std::memset(pSlot, 0, nSlotSize);
    std::memcpy(pSlot, text.constData(), qMin<std::size_t>(nSlotSize, std::size_t(text.size())));
}
