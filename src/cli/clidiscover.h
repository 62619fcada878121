#ifndef CLIDISCOVER_H
#define CLIDISCOVER_H

#include "uidevicebean.h"

#include <QList>
#include <QString>
#include <QStringList>

// Finds devices through the discovery service, as the device tab does, and
// lists them as device records in numeric order of their addresses.
namespace CliDiscover {

// Every device that answers the multicast probe and/or the range probe
// (strFirst to strLast, both empty for none) within iWaitMs.
QList<CUIDeviceBean> fleet(bool bMulticast, const QString &strFirst, const QString &strLast, int iWaitMs);

// The devices at these addresses; returns once all answered, at the latest after iWaitMs.
QList<CUIDeviceBean> atAddresses(const QStringList &listIp, int iWaitMs);

} // namespace CliDiscover

#endif // CLIDISCOVER_H
