#ifndef CFGSELECTION_H
#define CFGSELECTION_H

#include "devsession.h"
#include "uidevicebean.h"

#include <QList>
#include <QString>

// The rule for commands that send one setting to several devices at once:
// every device offers the feature, all of one model.
namespace CfgSelection {

// Why the devices cannot be configured together; empty when they can.
QString refusal(const QList<CUIDeviceBean> &listDev, DevSession::EFeature eFeature);

} // namespace CfgSelection

#endif // CFGSELECTION_H
