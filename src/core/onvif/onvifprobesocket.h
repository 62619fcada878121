#ifndef ONVIFPROBESOCKET_H
#define ONVIFPROBESOCKET_H

#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QObject>
#include <QThread>

class QUdpSocket;

// The socket WS-Discovery probes leave from and their answers come back to,
// read on a thread of its own that does nothing else: a thousand devices
// answer within a fraction of a second, and a stock receive buffer holds
// about a hundred and fifty answers, so a reader busy parsing or waiting for
// its turn on a loaded machine loses answers. Datagrams reach the owner's
// thread in batches through sendReceived.
class COnvifProbeSocket : public QObject
{
    Q_OBJECT

signals:
    void sendReceived(const QList<QNetworkDatagram> &listDatagrams);

public:
    explicit COnvifProbeSocket(QObject *parent = nullptr);
    ~COnvifProbeSocket() override;

    quint16 localPort() const { return m_uPort; }
    // Sent from the reading thread; with an interface, to the multicast group through it.
    void send(const QByteArray &datagram, const QHostAddress &address, quint16 uPort);
    void sendMulticast(const QByteArray &datagram, const QHostAddress &group, quint16 uPort,
                       const QList<QNetworkInterface> &listInterfaces);

private:
    class CReader;

    QThread m_thread;
    CReader *m_pReader = nullptr;
    quint16 m_uPort = 0;
};

#endif // ONVIFPROBESOCKET_H
