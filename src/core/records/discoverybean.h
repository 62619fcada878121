#ifndef DISCOVERYBEAN_H
#define DISCOVERYBEAN_H

#include <QPair>
#include <QString>

// One discovery answer: the six texts of a native answer, or what an ONVIF
// device announces (protocol "onvif", endpoint reference, XAddr, scopes).
struct stDiscoveryBean
{
    QString strIp;
    QString strModel;
    QString strManufacturer;
    QString strSerial;
    QString strMac;
    QString strReserved;
    QString strVersion;
    // The host that sent this answer for another address (strIp); empty when
    // the device answered for itself.
    QString strRelay;
    QString strProtocol;
    QString strEndpoint;
    QString strXAddr;
    QString strName;
    QString strLocation;
    QString strTypes;
    // The device announced an XAddr at another host; strXAddr is at strIp.
    bool bXAddrMoved = false;
};

// A device that announced it is leaving: its endpoint reference and the
// address that said so.
using DeviceDeparture = QPair<QString, QString>;

#endif // DISCOVERYBEAN_H
