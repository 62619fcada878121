#ifndef DEVREQUESTS_H
#define DEVREQUESTS_H

#include "batcheditnetaddrbean.h"
#include "uidevicebean.h"

#include <QList>
#include <QString>

// The requests the device tab sends to its workers, built from list entries.
namespace DevRequests {

// Prepares the entries at listRows for a login with the given account:
// each takes the account, is marked connecting and loses its login key.
// Returns the records to log in; listClose receives the records, as they
// were before, whose earlier session is to be closed first.
QList<CUIDeviceBean> prepareLogin(QList<CUIDeviceBean> &listDev, const QList<int> &listRows,
                                  const QString &strUser, const QString &strPassword,
                                  QList<CUIDeviceBean> &listClose);

// One address change of a device, as the address dialog gives it.
CBatchEditNetAddrBean addressChange(const CUIDeviceBean &oDev, const QString &strNewIp, const QString &strMask,
                                    const QString &strGateway, const QString &strInputPassword);

// The rows of the batch-address dialog: one per device, named model_address,
// with the device's own password as the entered one.
QList<CBatchEditNetAddrBean> batchRows(const QList<CUIDeviceBean> &listDev);

} // namespace DevRequests

#endif // DEVREQUESTS_H
