#ifndef ONVIFDISCOVERY_H
#define ONVIFDISCOVERY_H

#include "discoverybean.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class COnvifProbeSocket;
class QNetworkDatagram;
class QTimer;
class QUdpSocket;

// WS-Discovery of ONVIF devices: Probes (multicast on the interfaces the
// search uses, unicast to each address of a range) from one socket, read on
// a thread of its own (COnvifProbeSocket), whose answers become discovery
// records, and a listener on the multicast group
// that keeps Hellos for the next refresh and notes Byes. Lives on the thread
// that creates it; answers arrive through its event loop.
class COnvifDiscovery : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 kPort = 3702;
    // The WS-Discovery port: CORVANE_ONVIF_DISCOVERY_PORT, else the port a
    // process given CORVANE_DISCOVERY_PORT keeps its discovery traffic to,
    // else kPort.
    static quint16 port();

    // found receives every device answer (ProbeMatch or Hello).
    explicit COnvifDiscovery(std::function<void(const stDiscoveryBean &)> found, QObject *parent = nullptr);
    ~COnvifDiscovery() override;

    // Each probe is sent a few times within the first second under one
    // message id (devices answer a copy only when they missed the others).
    // Answers the receive buffer throws away are lost under that id, so
    // while the system counts drops the search probes again under a fresh
    // one (a range search only the addresses not heard from).
    void probeMulticast();
    void probeRange(quint32 uFirst, quint32 uLast);
    // Answers of the current search the receive buffer threw away, -1 when
    // the system does not count them.
    qint64 droppedAnswers() const { return m_llDropped; }
    // Hands Hellos received since the last refresh to found again.
    void replayHellos();
    // Byes not followed by an answer of the same endpoint from the same address.
    QSet<DeviceDeparture> departed() const { return m_setDeparted; }
    // departed receives each Bye as it arrives, arrived each Hello.
    void onDeparted(std::function<void(const DeviceDeparture &)> departed) { m_departed = std::move(departed); }
    void onArrived(std::function<void(const stDiscoveryBean &)> arrived) { m_arrived = std::move(arrived); }

    // The Probe datagram, with a fresh message id.
    static QByteArray probeMessage();
    // A ProbeMatches or Hello datagram from sender as records (one per
    // match); a Bye gives its endpoint in strBye. Anything else, nothing.
    static QList<stDiscoveryBean> parseAnswer(const QByteArray &datagram, const QHostAddress &sender, QString &strBye);

private slots:
    void probeAnswersSlot(const QList<QNetworkDatagram> &listDatagrams);
    void readGroupSocketSlot();
    void checkDropsSlot();

private:
    using RoundSender = std::function<void(const QByteArray &probe)>;

    void send(const QByteArray &datagram, const QHostAddress &address);
    void startSearch(RoundSender sendRound);
    void repeated(const RoundSender &sendRound);
    void handle(const QByteArray &datagram, const QHostAddress &sender);
    void noteBye(const QString &strEndpoint, const QHostAddress &sender);
    // False (logged once) when iKept Hellos or Byes are kept already.
    bool keepAnnouncement(int iKept);

    std::function<void(const stDiscoveryBean &)> m_found;
    std::function<void(const DeviceDeparture &)> m_departed;
    std::function<void(const stDiscoveryBean &)> m_arrived;
    COnvifProbeSocket *m_pProbeSocket = nullptr;
    QUdpSocket *m_pGroupSocket = nullptr;
    QList<stDiscoveryBean> m_listHellos;
    bool m_bAnnouncementsDropped = false;
    QSet<DeviceDeparture> m_setDeparted;
    // The current search: how to send a round, who answered, the drop count watched.
    RoundSender m_sendRound;
    QSet<quint32> m_setHeard;
    QTimer *m_pDropTimer = nullptr;
    qint64 m_llDropsAtCheck = -1;
    qint64 m_llDropped = -1;
    int m_iChecks = 0; // drop checks since the latest round
    int m_iExtraRounds = 0;
};

#endif // ONVIFDISCOVERY_H
