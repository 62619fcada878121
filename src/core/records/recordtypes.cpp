#include "recordtypes.h"

#include "batcheditnetaddrbean.h"
#include "devcapacityinfo.h"
#include "uidevicebean.h"

#include <QMetaType>

void registerRecordTypes()
{
    qRegisterMetaType<CUIDeviceBean>();
    qRegisterMetaType<QList<CUIDeviceBean>>();
    qRegisterMetaType<CBatchEditNetAddrBean>();
    qRegisterMetaType<stDevCapacityInfo>();
    qRegisterMetaType<QList<stDevCapacityInfo>>();

    qRegisterMetaType<QList<CUIDeviceBean>>("QList <CUIDeviceBean>&");
    qRegisterMetaType<CUIDeviceBean>("CUIDeviceBean &");
    qRegisterMetaType<CBatchEditNetAddrBean>("CBatchEditNetAddrBean &");
    qRegisterMetaType<QList<stDevCapacityInfo>>("QList <stDevCapacityInfo>&");
    qRegisterMetaType<stDevCapacityInfo>("stDevCapacityInfo &");
}
