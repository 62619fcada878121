#ifndef DISCOVERYBEAN_H
#define DISCOVERYBEAN_H

#include <QString>

// The six texts of one discovery answer.
struct stDiscoveryBean
{
    QString strIp;
    QString strModel;
    QString strSerial;
    QString strMac;
    QString strReserved;
    QString strVersion;
};

#endif // DISCOVERYBEAN_H
