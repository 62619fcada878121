#ifndef CFGSELECTION_H
#define CFGSELECTION_H

#include "devsession.h"
#include "uidevicebean.h"

#include <QList>
#include <QString>

// The rules for commands that send one setting to several devices at once.
namespace CfgSelection {

// Batch configuration: every device an IPC, all of one model. Why the
// devices cannot be configured together; empty when they can.
QString refusal(const QList<CUIDeviceBean> &listDev);
// Daylight saving: any set of IPCs, whatever their models.
QString dstRefusal(const QList<CUIDeviceBean> &listDev);

} // namespace CfgSelection

#endif // CFGSELECTION_H
