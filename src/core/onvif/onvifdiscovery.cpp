#include "onvifdiscovery.h"
#include "onvifguard.h"
#include "onvifprobesocket.h"
#include "onvifxml.h"
#include "udpdrops.h"

#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>
#include <QUrl>
#include <QUuid>

Q_LOGGING_CATEGORY(lcOnvifDiscovery, "corvane.onvif.discovery")

namespace {

const QHostAddress kGroup(QStringLiteral("239.255.255.250"));

// A probe goes out again at these times (ms after the first), under the same
// message id: a device answers a copy only when it missed the earlier ones,
// so a probe lost on the way costs no device its row. At 10 % loss four
// copies still miss one device of a thousand in one search of ten; six
// copies, one in a thousand searches.
constexpr int kRepeatAtMs[] = {100, 200, 350, 500, 700};

// The drop count is read this often while answers may still come (devices
// wait up to half a second before answering the last copy), and a search
// sends at most this many rounds under fresh ids. Where the system does not
// count drops, one such round follows the last copy of the first regardless.
constexpr int kDropCheckMs = 250;
constexpr int kDropChecks = 6;
constexpr int kBlindRoundAtCheck = 3;
constexpr int kMaxExtraRounds = 3;
// Hellos and Byes kept between searches: hosts announcing new endpoints
// without end must not grow the program's memory without end.
constexpr int kMaxKeptAnnouncements = 4096;

// The interfaces a multicast probe leaves through: loopback only under
// CORVANE_LOOPBACK_ONLY=1, else every running IPv4 interface that multicasts.
QList<QNetworkInterface> probeInterfaces()
{
    QList<QNetworkInterface> list;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning))
            continue;
        const bool bLoopback = flags & QNetworkInterface::IsLoopBack;
        if (OnvifGuard::loopbackOnly() ? !bLoopback : !(flags & QNetworkInterface::CanMulticast))
            continue;
        list.append(iface);
    }
    return list;
}

QString scopeValue(const QStringList &listScopes, const QStringList &listKinds)
{
    for (const QString &strKind : listKinds) {
        const QString strPrefix = QStringLiteral("onvif://www.onvif.org/") + strKind + QLatin1Char('/');
        for (const QString &strScope : listScopes) {
            if (strScope.startsWith(strPrefix, Qt::CaseInsensitive))
                return QUrl::fromPercentEncoding(strScope.mid(strPrefix.size()).toUtf8());
        }
    }
    return QString();
}

stDiscoveryBean toBean(const COnvifNode &match, const QHostAddress &sender)
{
    stDiscoveryBean bean;
    bean.strProtocol = QStringLiteral("onvif");
    if (const COnvifNode *pRef = match.child(OnvifNs::kAddressing, QStringLiteral("EndpointReference")))
        bean.strEndpoint = pRef->childText(OnvifNs::kAddressing, QStringLiteral("Address"));
    const QStringList listScopes =
        match.childText(OnvifNs::kDiscovery, QStringLiteral("Scopes")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bean.strName = scopeValue(listScopes, {QStringLiteral("name")});
    bean.strModel = scopeValue(listScopes, {QStringLiteral("hardware")});
    bean.strLocation = scopeValue(listScopes, {QStringLiteral("location")});
    // Not a standard scope, but many cameras name their maker so.
    bean.strManufacturer = scopeValue(listScopes, {QStringLiteral("manufacturer"), QStringLiteral("mfr")});
    bean.strTypes = match.childText(OnvifNs::kDiscovery, QStringLiteral("Types"));
    bool bV4 = false;
    const QString strSender = QHostAddress(sender.toIPv4Address(&bV4)).toString();
    // The first HTTP address; one that points elsewhere is taken at the
    // answering address with its own port.
    for (const QString &strXAddr :
         match.childText(OnvifNs::kDiscovery, QStringLiteral("XAddrs")).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QUrl url(strXAddr);
        if (!url.isValid() || !url.scheme().startsWith(QLatin1String("http")))
            continue;
        if (bV4 && url.host() != strSender) {
            qCInfo(lcOnvifDiscovery) << "XAddr" << strXAddr << "points away from" << strSender << "- using"
                                     << strSender;
            url.setHost(strSender);
            bean.bXAddrMoved = true;
        }
        bean.strXAddr = url.toString();
        break;
    }
    bean.strIp = bV4 ? strSender : QUrl(bean.strXAddr).host();
    return bean;
}

} // namespace

quint16 COnvifDiscovery::port()
{
    // A process that keeps its native search to itself does the same with
    // this one, so that the devices of other simulators on the machine stay out.
    for (const char *pszName : {"CORVANE_ONVIF_DISCOVERY_PORT", "CORVANE_DISCOVERY_PORT"}) {
        bool bOk = false;
        const uint uPort = qEnvironmentVariable(pszName).toUInt(&bOk);
        if (bOk && uPort > 0 && uPort <= 0xFFFF)
            return quint16(uPort);
    }
    return kPort;
}

COnvifDiscovery::COnvifDiscovery(std::function<void(const stDiscoveryBean &)> found, QObject *parent)
    : QObject(parent)
    , m_found(std::move(found))
    , m_pProbeSocket(new COnvifProbeSocket(this))
    , m_pGroupSocket(new QUdpSocket(this))
    , m_pDropTimer(new QTimer(this))
{
    m_pDropTimer->setInterval(kDropCheckMs);
    connect(m_pDropTimer, &QTimer::timeout, this, &COnvifDiscovery::checkDropsSlot);
    connect(m_pProbeSocket, &COnvifProbeSocket::sendReceived, this, &COnvifDiscovery::probeAnswersSlot);
    // Bound to the group itself where the system allows it, the listener
    // leaves the port free for a device on this machine bound to its own
    // address (a simulator); elsewhere to every address.
    const QUdpSocket::BindMode eMode = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
    if (m_pGroupSocket->bind(kGroup, port(), eMode) || m_pGroupSocket->bind(QHostAddress::AnyIPv4, port(), eMode)) {
        for (const QNetworkInterface &iface : probeInterfaces())
            m_pGroupSocket->joinMulticastGroup(kGroup, iface);
        connect(m_pGroupSocket, &QUdpSocket::readyRead, this, &COnvifDiscovery::readGroupSocketSlot);
    } else {
        qCDebug(lcOnvifDiscovery) << "no Hello listener:" << m_pGroupSocket->errorString();
    }
}

COnvifDiscovery::~COnvifDiscovery() = default;

QByteArray COnvifDiscovery::probeMessage()
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
               "<s:Envelope xmlns:s=\"%1\" xmlns:a=\"%2\" xmlns:d=\"%3\" xmlns:dn=\"%4\" xmlns:tds=\"%5\">"
               "<s:Header><a:Action s:mustUnderstand=\"1\">http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe"
               "</a:Action><a:MessageID>urn:uuid:%6</a:MessageID>"
               "<a:To s:mustUnderstand=\"1\">urn:schemas-xmlsoap-org:ws:2005:04:discovery</a:To></s:Header>"
               "<s:Body><d:Probe><d:Types>dn:NetworkVideoTransmitter tds:Device</d:Types></d:Probe></s:Body>"
               "</s:Envelope>")
        .arg(OnvifNs::kSoap, OnvifNs::kAddressing, OnvifNs::kDiscovery, OnvifNs::kNetwork, OnvifNs::kDevice,
             QUuid::createUuid().toString(QUuid::WithoutBraces))
        .toUtf8();
}

QList<stDiscoveryBean> COnvifDiscovery::parseAnswer(const QByteArray &datagram, const QHostAddress &sender,
                                                    QString &strBye)
{
    QList<stDiscoveryBean> list;
    COnvifNode root;
    QString strError;
    if (!OnvifXml::parse(datagram, root, strError) || !root.is(OnvifNs::kSoap, QStringLiteral("Envelope")))
        return list;
    const COnvifNode *pBody = root.child(OnvifNs::kSoap, QStringLiteral("Body"));
    if (!pBody)
        return list;
    if (const COnvifNode *pMatches = pBody->child(OnvifNs::kDiscovery, QStringLiteral("ProbeMatches"))) {
        for (const COnvifNode *pMatch : pMatches->children(OnvifNs::kDiscovery, QStringLiteral("ProbeMatch")))
            list.append(toBean(*pMatch, sender));
    } else if (const COnvifNode *pHello = pBody->child(OnvifNs::kDiscovery, QStringLiteral("Hello"))) {
        list.append(toBean(*pHello, sender));
    } else if (const COnvifNode *pBye = pBody->child(OnvifNs::kDiscovery, QStringLiteral("Bye"))) {
        if (const COnvifNode *pRef = pBye->child(OnvifNs::kAddressing, QStringLiteral("EndpointReference")))
            strBye = pRef->childText(OnvifNs::kAddressing, QStringLiteral("Address"));
    }
    // A match without an endpoint or an address cannot become a row.
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](const stDiscoveryBean &bean) {
                                  return bean.strEndpoint.isEmpty() || bean.strXAddr.isEmpty();
                              }),
               list.end());
    return list;
}

void COnvifDiscovery::send(const QByteArray &datagram, const QHostAddress &address)
{
    if (!OnvifGuard::destinationAllowed(address)) {
        qCDebug(lcOnvifDiscovery) << "probe to" << address << "refused: loopback only";
        return;
    }
    m_pProbeSocket->send(datagram, address, port());
}

void COnvifDiscovery::repeated(const RoundSender &sendRound)
{
    const auto sendOnce = [sendRound, probe = probeMessage()] { sendRound(probe); };
    sendOnce();
    for (int iMs : kRepeatAtMs)
        QTimer::singleShot(iMs, this, sendOnce);
}

void COnvifDiscovery::startSearch(RoundSender sendRound)
{
    m_sendRound = std::move(sendRound);
    m_setHeard.clear();
    m_llDropsAtCheck = UdpDrops::count(m_pProbeSocket->localPort());
    m_llDropped = m_llDropsAtCheck < 0 ? -1 : 0;
    m_iExtraRounds = 0;
    m_iChecks = 0;
    repeated(m_sendRound);
    m_pDropTimer->start();
}

void COnvifDiscovery::checkDropsSlot()
{
    ++m_iChecks;
    const qint64 llDrops = UdpDrops::count(m_pProbeSocket->localPort());
    bool bLost = false;
    if (llDrops < 0 || m_llDropsAtCheck < 0) {
        bLost = m_iExtraRounds == 0 && m_iChecks == kBlindRoundAtCheck;
    } else if (llDrops > m_llDropsAtCheck) {
        qCInfo(lcOnvifDiscovery) << llDrops - m_llDropsAtCheck << "answers dropped by a full receive buffer";
        m_llDropped += llDrops - m_llDropsAtCheck;
        m_llDropsAtCheck = llDrops;
        bLost = true;
    }
    if (bLost && m_iExtraRounds < kMaxExtraRounds) {
        qCInfo(lcOnvifDiscovery) << "probing again under a new message id";
        ++m_iExtraRounds;
        m_iChecks = 0;
        repeated(m_sendRound);
    } else if (m_iChecks >= kDropChecks) {
        m_pDropTimer->stop();
    }
}

void COnvifDiscovery::probeMulticast()
{
    startSearch([this](const QByteArray &probe) {
        // The group itself is no destination outside the machine when only loopback carries it.
        m_pProbeSocket->sendMulticast(probe, kGroup, port(), probeInterfaces());
    });
}

void COnvifDiscovery::probeRange(quint32 uFirst, quint32 uLast)
{
    startSearch([this, uFirst, uLast](const QByteArray &probe) {
        for (quint64 u = uFirst; u <= uLast; ++u) {
            if (!m_setHeard.contains(quint32(u)))
                send(probe, QHostAddress(quint32(u)));
        }
    });
}

void COnvifDiscovery::replayHellos()
{
    for (const stDiscoveryBean &bean : qAsConst(m_listHellos))
        m_found(bean);
    m_listHellos.clear();
    m_bAnnouncementsDropped = false;
}

void COnvifDiscovery::handle(const QByteArray &datagram, const QHostAddress &sender)
{
    QString strBye;
    const QList<stDiscoveryBean> list = parseAnswer(datagram, sender, strBye);
    if (!strBye.isEmpty())
        noteBye(strBye, sender);
    if (!list.isEmpty())
        m_setHeard.insert(sender.toIPv4Address());
    for (const stDiscoveryBean &bean : list) {
        m_setDeparted.remove({bean.strEndpoint, bean.strIp});
        m_found(bean);
    }
}

bool COnvifDiscovery::keepAnnouncement(int iKept)
{
    if (iKept < kMaxKeptAnnouncements)
        return true;
    if (!m_bAnnouncementsDropped)
        qCInfo(lcOnvifDiscovery) << "more than" << kMaxKeptAnnouncements << "Hellos or Byes since the last search;"
                                 << "further ones are not kept";
    m_bAnnouncementsDropped = true;
    return false;
}

void COnvifDiscovery::noteBye(const QString &strEndpoint, const QHostAddress &sender)
{
    // Only the address that leaves can say so: a Bye names no address of its own.
    const DeviceDeparture departure{strEndpoint, QHostAddress(sender.toIPv4Address()).toString()};
    if (keepAnnouncement(m_setDeparted.size()))
        m_setDeparted.insert(departure);
    if (m_departed)
        m_departed(departure);
}

void COnvifDiscovery::probeAnswersSlot(const QList<QNetworkDatagram> &listDatagrams)
{
    for (const QNetworkDatagram &datagram : listDatagrams)
        handle(datagram.data(), datagram.senderAddress());
}

void COnvifDiscovery::readGroupSocketSlot()
{
    while (m_pGroupSocket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_pGroupSocket->receiveDatagram(65536);
        QString strBye;
        const QList<stDiscoveryBean> list = parseAnswer(datagram.data(), datagram.senderAddress(), strBye);
        if (!strBye.isEmpty())
            noteBye(strBye, datagram.senderAddress());
        for (const stDiscoveryBean &bean : list) {
            m_setDeparted.remove({bean.strEndpoint, bean.strIp});
            if (keepAnnouncement(m_listHellos.size()))
                m_listHellos.append(bean);
            if (m_arrived)
                m_arrived(bean);
        }
    }
}
