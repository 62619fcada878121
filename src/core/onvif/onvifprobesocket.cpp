#include "onvifprobesocket.h"

#include <QMetaObject>
#include <QUdpSocket>

Q_DECLARE_METATYPE(QList<QNetworkDatagram>)

class COnvifProbeSocket::CReader : public QObject
{
public:
    explicit CReader(COnvifProbeSocket *pOwner)
        : m_pOwner(pOwner)
        , m_pSocket(new QUdpSocket(this))
    {
        m_pSocket->bind(QHostAddress::AnyIPv4, 0);
        // Granted up to what the system allows an unprivileged program.
        m_pSocket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 * 1024 * 1024);
        connect(m_pSocket, &QUdpSocket::readyRead, this, &CReader::read);
    }

    QUdpSocket *socket() const { return m_pSocket; }

private:
    void read()
    {
        QList<QNetworkDatagram> list;
        while (m_pSocket->hasPendingDatagrams())
            list.append(m_pSocket->receiveDatagram(65536));
        if (!list.isEmpty())
            emit m_pOwner->sendReceived(list);
    }

    COnvifProbeSocket *m_pOwner;
    QUdpSocket *m_pSocket;
};

COnvifProbeSocket::COnvifProbeSocket(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<QList<QNetworkDatagram>>();
    // Bound here, then handed to its thread with its notifiers.
    m_pReader = new CReader(this);
    m_uPort = m_pReader->socket()->localPort();
    m_pReader->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_pReader, &QObject::deleteLater);
    m_thread.setObjectName(QStringLiteral("onvif-probe-socket"));
    m_thread.start();
}

COnvifProbeSocket::~COnvifProbeSocket()
{
    m_thread.quit();
    m_thread.wait();
}

void COnvifProbeSocket::send(const QByteArray &datagram, const QHostAddress &address, quint16 uPort)
{
    QMetaObject::invokeMethod(m_pReader, [pSocket = m_pReader->socket(), datagram, address, uPort] {
        pSocket->writeDatagram(datagram, address, uPort);
    });
}

void COnvifProbeSocket::sendMulticast(const QByteArray &datagram, const QHostAddress &group, quint16 uPort,
                                      const QList<QNetworkInterface> &listInterfaces)
{
    QMetaObject::invokeMethod(m_pReader, [pSocket = m_pReader->socket(), datagram, group, uPort, listInterfaces] {
        for (const QNetworkInterface &iface : listInterfaces) {
            pSocket->setMulticastInterface(iface);
            pSocket->writeDatagram(datagram, group, uPort);
        }
    });
}
